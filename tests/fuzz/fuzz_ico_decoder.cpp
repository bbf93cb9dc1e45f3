// Icon and cursor files on arbitrary bytes, read as either kind: a decoded
// picture holds exactly its pixels and says what it is; a file that does
// not decode leaves the picture as it was.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "platform/user32/ico_decoder.h"

namespace {

void require(bool condition)
{
    if (!condition)
        std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    for (bool cursor : {false, true}) {
        hp::user32::IconPicture picture;
        picture.width = -1;
        if (hp::user32::decodeIconFile(data, size, cursor, 32, 32, picture)) {
            require(picture.width > 0 && picture.height > 0);
            require(picture.argb.size() == static_cast<size_t>(picture.width) * picture.height);
            require(picture.isCursor == cursor);
        } else {
            require(picture.width == -1 && picture.argb.empty());
        }
    }
    return 0;
}
