// Byte-level rules of code page 932 text for the whole layer: which bytes
// start a double-byte character, comparing names without regard to ASCII
// case, and cutting names to fixed-size record fields. A trail byte
// (0x40-0xFC after a lead byte) is never taken for an ASCII letter,
// separator or bracket.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace hp::kernel32 {

namespace cp932_detail {

// What each byte value can be: bit 0 a lead byte, bit 1 a trail byte. Every
// file name, path and settings text passes through these tests byte by byte,
// so they are one table look-up each.
constexpr unsigned char kLead = 1;
constexpr unsigned char kTrail = 2;

struct ByteClasses {
    unsigned char of[256];
};

constexpr ByteClasses makeByteClasses()
{
    ByteClasses classes{};
    for (int byte = 0; byte < 256; ++byte) {
        unsigned char bits = 0;
        if ((byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC))
            bits |= kLead;
        if (byte >= 0x40 && byte <= 0xFC)
            bits |= kTrail;
        classes.of[byte] = bits;
    }
    return classes;
}

inline constexpr ByteClasses kByteClasses = makeByteClasses();

}  // namespace cp932_detail

// 0x81-0x9F and 0xE0-0xFC start a double-byte character.
inline bool isCp932LeadByte(unsigned char byte)
{
    return (cp932_detail::kByteClasses.of[byte] & cp932_detail::kLead) != 0;
}

// 0x40-0xFC may follow a lead byte.
inline bool isCp932TrailByte(unsigned char byte)
{
    return (cp932_detail::kByteClasses.of[byte] & cp932_detail::kTrail) != 0;
}

// Length of the character that starts at position: 2 for a lead byte with a
// byte after it, whatever that byte is; 1 otherwise, so a lead byte at the
// very end stands alone.
size_t cp932CharacterLength(std::string_view text, size_t position);

// Walks a CP932 text byte by byte and tells, for each byte, whether it is
// the second byte of a double-byte character.
class Cp932Scanner {
public:
    // True when the byte just given is a trail byte.
    bool step(unsigned char byte)
    {
        if (afterLead_ && isCp932TrailByte(byte)) {
            afterLead_ = false;
            return true;
        }
        afterLead_ = isCp932LeadByte(byte);
        return false;
    }

private:
    bool afterLead_ = false;
};

// The text with 'a'-'z' upper-cased, trail bytes left alone.
std::string upperAsciiCp932(std::string_view text);

// The text with 'A'-'Z' lower-cased, trail bytes left alone.
std::string lowerAsciiCp932(std::string_view text);

// Equal when the texts differ at most in the case of ASCII letters.
bool equalIgnoringAsciiCase(std::string_view first, std::string_view second);

// Index of the last occurrence of an ASCII byte that is not a trail byte,
// or npos.
size_t findLastSingleByte(std::string_view text, char wanted);

// Copies as many whole characters of text as fit in a field of fieldBytes
// bytes with its terminator, and terminates. fieldBytes must be at least 1.
void copyCp932Field(char *field, size_t fieldBytes, std::string_view text);

}  // namespace hp::kernel32
