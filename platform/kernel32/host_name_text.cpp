#include "platform/kernel32/host_name_text.h"

#include "platform/host/utf8.h"

#include <cstdint>

namespace hp::kernel32 {
namespace {

constexpr char32_t escapedByteBase = 0xDC00;

}  // namespace

std::u32string codePointsOf(std::string_view hostName)
{
    std::u32string out;
    size_t i = 0;
    while (i < hostName.size()) {
        char32_t scalar = 0;
        size_t length = utf8::sequenceAt(hostName, i, scalar);
        if (length == 0) {
            out += escapedByteBase + static_cast<unsigned char>(hostName[i]);
            ++i;
        } else {
            out += scalar;
            i += length;
        }
    }
    return out;
}

std::u16string collationKeyOf(std::string_view hostName)
{
    std::u16string key;
    for (char32_t c : codePointsOf(hostName)) {
        if (c >= 'a' && c <= 'z')
            c = c - 'a' + 'A';
        if (c >= 0x10000) {
            c -= 0x10000;
            key += static_cast<char16_t>(0xD800 + (c >> 10));
            key += static_cast<char16_t>(0xDC00 + (c & 0x3FF));
        } else {
            key += static_cast<char16_t>(c);
        }
    }
    return key;
}

}  // namespace hp::kernel32
