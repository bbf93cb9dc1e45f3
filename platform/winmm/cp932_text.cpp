#include "platform/winmm/cp932_text.h"

#include <cstring>

namespace hp::winmm {
namespace {

bool isLeadByte(unsigned char byte)
{
    return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
}

// Length of the character that starts at position; a lead byte at the very
// end stands alone.
size_t characterLength(std::string_view text, size_t position)
{
    if (isLeadByte(static_cast<unsigned char>(text[position])) && position + 1 < text.size())
        return 2;
    return 1;
}

char foldAscii(char byte)
{
    return (byte >= 'A' && byte <= 'Z') ? static_cast<char>(byte - 'A' + 'a') : byte;
}

}  // namespace

void copyCp932Field(char *field, size_t fieldBytes, std::string_view text)
{
    const size_t room = fieldBytes - 1;
    size_t length = 0;
    while (length < text.size()) {
        const size_t next = length + characterLength(text, length);
        if (next > room)
            break;
        length = next;
    }
    std::memcpy(field, text.data(), length);
    field[length] = '\0';
}

bool equalsIgnoringAsciiCase(std::string_view first, std::string_view second)
{
    if (first.size() != second.size())
        return false;
    size_t position = 0;
    while (position < first.size()) {
        const size_t length = characterLength(first, position);
        if (length == 2) {
            if (first.compare(position, 2, second, position, 2) != 0)
                return false;
        } else if (foldAscii(first[position]) != foldAscii(second[position])) {
            return false;
        }
        position += length;
    }
    return true;
}

std::string lowerAscii(std::string_view text)
{
    std::string lowered(text);
    size_t position = 0;
    while (position < lowered.size()) {
        const size_t length = characterLength(lowered, position);
        if (length == 1)
            lowered[position] = foldAscii(lowered[position]);
        position += length;
    }
    return lowered;
}

}  // namespace hp::winmm
