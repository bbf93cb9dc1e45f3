// The CP932 <-> host conversions on arbitrary bytes: display conversions
// never fail and give well-formed text, and every host name survives the
// round trip through its CP932 form. (Paths: fuzz_path_model.)
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "platform/host/charset.h"
#include "platform/win32.h"

namespace {

bool isWellFormedUtf8(std::string_view text)
{
    size_t i = 0;
    while (i < text.size()) {
        unsigned char first = static_cast<unsigned char>(text[i]);
        size_t length = first < 0x80 ? 1 : (first >= 0xC2 && first <= 0xDF) ? 2
                                     : (first >= 0xE0 && first <= 0xEF)   ? 3
                                     : (first >= 0xF0 && first <= 0xF4)   ? 4
                                                                          : 0;
        if (length == 0 || i + length > text.size())
            return false;
        for (size_t k = 1; k < length; ++k) {
            if ((static_cast<unsigned char>(text[i + k]) & 0xC0) != 0x80)
                return false;
        }
        i += length;
    }
    return true;
}

void require(bool condition)
{
    if (!condition)
        std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    // The program's texts (paths, titles, status lines) hold at most
    // MAX_PATH bytes; longer ones take no other road, only longer.
    if (size > MAX_PATH)
        return 0;
    std::string input(reinterpret_cast<const char *>(data), size);

    require(isWellFormedUtf8(hp::host::utf8FromCp932(input)));
    std::string cp932 = hp::host::cp932FromUtf8(input);
    require(cp932.size() <= 2 * input.size());

    std::string back;
    require(hp::host::hostNameFromCp932(hp::host::hostNameToCp932(input), back));
    require(back == input);

    // Decoding arbitrary CP932 must not crash; what it accepts, it gives
    // back again from the form it hands out.
    std::string decoded;
    if (hp::host::hostNameFromCp932(input, decoded)) {
        std::string again;
        require(hp::host::hostNameFromCp932(hp::host::hostNameToCp932(decoded), again));
        require(again == decoded);
    }
    return 0;
}
