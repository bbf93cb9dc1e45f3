// What another process sends the player: the layer's request bytes and the
// program's list of handed-over files. Each reader either refuses the bytes
// or reads what writing it back gives byte for byte.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "app/hand_over.h"
#include "platform/user32/peer_message.h"

namespace {

void require(bool condition)
{
    if (!condition)
        std::abort();
}

void addBack(const char *path, void *list)
{
    require(addHandOverPath(*static_cast<std::string *>(list), path) == 1);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const std::string bytes(reinterpret_cast<const char *>(data), size);

    if (const auto request = hp::user32::decodePeerRequest(bytes))
        require(hp::user32::encodePeerRequest(*request) == bytes);
    if (const auto reply = hp::user32::decodePeerReply(bytes))
        require(hp::user32::encodePeerReply(*reply) == bytes);

    COPYDATASTRUCT copy;
    copy.dwData = handOverTag;
    copy.cbData = static_cast<DWORD>(size);
    copy.lpData = size ? const_cast<char *>(bytes.data()) : nullptr;
    std::string list;
    const int count = readHandOver(&copy, addBack, &list);
    if (count >= 0)
        require(finishHandOver(list) == bytes);
    return 0;
}
