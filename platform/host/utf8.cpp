#include "platform/host/utf8.h"

namespace hp::utf8 {

size_t sequenceAt(std::string_view text, size_t index, char32_t &scalar)
{
    const auto byte = [&](size_t k) { return static_cast<unsigned char>(text[k]); };
    const unsigned char first = byte(index);
    size_t length;
    char32_t minimum;
    if (first < 0x80) {
        scalar = first;
        return 1;
    }
    if (first >= 0xC2 && first <= 0xDF) {
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
    if (index + length > text.size())
        return 0;
    for (size_t k = 1; k < length; ++k) {
        if ((byte(index + k) & 0xC0) != 0x80)
            return 0;
        scalar = (scalar << 6) | (byte(index + k) & 0x3F);
    }
    if (scalar < minimum || scalar > 0x10FFFF || (scalar >= 0xD800 && scalar <= 0xDFFF))
        return 0;
    return length;
}

void append(char32_t scalar, std::string &out)
{
    if (scalar < 0x80) {
        out += static_cast<char>(scalar);
    } else if (scalar < 0x800) {
        out += static_cast<char>(0xC0 | (scalar >> 6));
        out += static_cast<char>(0x80 | (scalar & 0x3F));
    } else if (scalar < 0x10000) {
        out += static_cast<char>(0xE0 | (scalar >> 12));
        out += static_cast<char>(0x80 | ((scalar >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (scalar & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (scalar >> 18));
        out += static_cast<char>(0x80 | ((scalar >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((scalar >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (scalar & 0x3F));
    }
}

char32_t firstScalar(std::string_view text, char32_t otherwise)
{
    char32_t scalar = 0;
    if (text.empty() || sequenceAt(text, 0, scalar) == 0)
        return otherwise;
    return scalar;
}

}  // namespace hp::utf8
