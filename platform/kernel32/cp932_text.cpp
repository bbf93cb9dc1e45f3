#include "platform/kernel32/cp932_text.h"

#include <cstring>

namespace hp::kernel32 {
namespace {

// The text with the ASCII letters from..from+25 moved to to..to+25.
std::string foldAsciiCp932(std::string_view text, char from, char to)
{
    std::string folded(text);
    Cp932Scanner scanner;
    for (char &c : folded) {
        if (!scanner.step(static_cast<unsigned char>(c)) && c >= from && c <= from + 25)
            c = static_cast<char>(c - from + to);
    }
    return folded;
}

}  // namespace

size_t cp932CharacterLength(std::string_view text, size_t position)
{
    if (isCp932LeadByte(static_cast<unsigned char>(text[position])) && position + 1 < text.size())
        return 2;
    return 1;
}

std::string upperAsciiCp932(std::string_view text) { return foldAsciiCp932(text, 'a', 'A'); }

std::string lowerAsciiCp932(std::string_view text) { return foldAsciiCp932(text, 'A', 'a'); }

bool equalIgnoringAsciiCase(std::string_view first, std::string_view second)
{
    if (first.size() != second.size())
        return false;
    // Byte by byte as upperAsciiCp932 folds them, without building either.
    Cp932Scanner firstScanner;
    Cp932Scanner secondScanner;
    for (size_t i = 0; i < first.size(); ++i) {
        char a = first[i];
        char b = second[i];
        if (!firstScanner.step(static_cast<unsigned char>(a)) && a >= 'a' && a <= 'z')
            a = static_cast<char>(a - 'a' + 'A');
        if (!secondScanner.step(static_cast<unsigned char>(b)) && b >= 'a' && b <= 'z')
            b = static_cast<char>(b - 'a' + 'A');
        if (a != b)
            return false;
    }
    return true;
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

void copyCp932Field(char *field, size_t fieldBytes, std::string_view text)
{
    const size_t room = fieldBytes - 1;
    size_t length = 0;
    while (length < text.size()) {
        const size_t next = length + cp932CharacterLength(text, length);
        if (next > room)
            break;
        length = next;
    }
    std::memcpy(field, text.data(), length);
    field[length] = '\0';
}

}  // namespace hp::kernel32
