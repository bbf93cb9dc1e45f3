#include "platform/kernel32/cp932_text.h"

namespace hp::kernel32 {

bool isCp932LeadByte(unsigned char byte)
{
    return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
}

bool isCp932TrailByte(unsigned char byte) { return byte >= 0x40 && byte <= 0xFC; }

bool Cp932Scanner::step(unsigned char byte)
{
    if (afterLead_ && isCp932TrailByte(byte)) {
        afterLead_ = false;
        return true;
    }
    afterLead_ = isCp932LeadByte(byte);
    return false;
}

std::string upperAsciiCp932(std::string_view text)
{
    std::string upper(text);
    Cp932Scanner scanner;
    for (char &c : upper) {
        unsigned char byte = static_cast<unsigned char>(c);
        if (!scanner.step(byte) && byte >= 'a' && byte <= 'z')
            c = static_cast<char>(byte - 'a' + 'A');
    }
    return upper;
}

bool equalIgnoringAsciiCase(std::string_view first, std::string_view second)
{
    return first.size() == second.size() && upperAsciiCp932(first) == upperAsciiCp932(second);
}

size_t findLastSingleByte(std::string_view text, char wanted)
{
    size_t found = std::string_view::npos;
    Cp932Scanner scanner;
    for (size_t i = 0; i < text.size(); ++i) {
        if (!scanner.step(static_cast<unsigned char>(text[i])) && text[i] == wanted)
            found = i;
    }
    return found;
}

}  // namespace hp::kernel32
