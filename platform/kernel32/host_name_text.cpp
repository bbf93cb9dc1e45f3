#include "platform/kernel32/host_name_text.h"

#include <cstdint>

namespace hp::kernel32 {
namespace {

constexpr char32_t escapedByteBase = 0xDC00;

// Length of a well-formed UTF-8 sequence at text[i], or 0.
size_t sequenceAt(std::string_view text, size_t i, char32_t &scalar)
{
    auto byte = [&](size_t k) { return static_cast<unsigned char>(text[k]); };
    unsigned char first = byte(i);
    size_t length;
    char32_t minimum;
    if (first < 0x80) {
        scalar = first;
        return 1;
    } else if (first >= 0xC2 && first <= 0xDF) {
        length = 2;
        scalar = first & 0x1F;
        minimum = 0x80;
    } else if (first >= 0xE0 && first <= 0xEF) {
        length = 3;
        scalar = first & 0x0F;
        minimum = 0x800;
    } else if (first >= 0xF0 && first <= 0xF4) {
        length = 4;
        scalar = first & 0x07;
        minimum = 0x10000;
    } else {
        return 0;
    }
    if (i + length > text.size())
        return 0;
    for (size_t k = 1; k < length; ++k) {
        if ((byte(i + k) & 0xC0) != 0x80)
            return 0;
        scalar = (scalar << 6) | (byte(i + k) & 0x3F);
    }
    if (scalar < minimum || scalar > 0x10FFFF || (scalar >= 0xD800 && scalar <= 0xDFFF))
        return 0;
    return length;
}

}  // namespace

std::u32string codePointsOf(std::string_view hostName)
{
    std::u32string out;
    size_t i = 0;
    while (i < hostName.size()) {
        char32_t scalar = 0;
        size_t length = sequenceAt(hostName, i, scalar);
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
