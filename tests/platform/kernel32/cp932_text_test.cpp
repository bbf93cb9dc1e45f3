#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "platform/kernel32/cp932_text.h"

namespace {

using hp::kernel32::copyCp932Field;
using hp::kernel32::equalIgnoringAsciiCase;
using hp::kernel32::lowerAsciiCp932;
using hp::kernel32::upperAsciiCp932;

// "ソ" is 0x83 0x5C and "ア" is 0x83 0x41: second bytes that look like "\" and "A".
const std::string so = "\x83\x5C";
const std::string a = "\x83\x41";

TEST(Cp932Text, FieldsHoldWholeCharactersOnly)
{
    struct Case {
        std::string text;
        size_t fieldBytes;
        std::string expected;
    };
    const Case cases[] = {
        {"Wave", 16, "Wave"},
        {"0123456789ABCDEFGH", 16, "0123456789ABCDE"},
        {"0123456789012" + so, 16, "0123456789012" + so},   // exactly 15 bytes
        {"01234567890123" + so, 16, "01234567890123"},      // would end in a lead byte
        {"012345678901" + so + "xy", 16, "012345678901" + so + "x"},
        {so + so, 4, so},
        {so, 2, ""},
        {"x", 1, ""},
        {"abc\x83", 16, "abc\x83"},  // a lone lead byte at the end stands alone
    };
    for (const Case &c : cases) {
        char field[64];
        std::memset(field, 'z', sizeof(field));
        copyCp932Field(field, c.fieldBytes, c.text);
        EXPECT_EQ(c.expected, std::string(field)) << c.text << " in " << c.fieldBytes;
        EXPECT_EQ('z', field[c.fieldBytes]) << "wrote past the field";
    }
}

TEST(Cp932Text, CaseIsFoldedOnlyInAsciiLetters)
{
    EXPECT_TRUE(equalIgnoringAsciiCase("WaveAudio", "waveaudio"));
    EXPECT_TRUE(equalIgnoringAsciiCase("C:\\" + so + ".MP3", "c:\\" + so + ".mp3"));
    EXPECT_FALSE(equalIgnoringAsciiCase("wave", "waves"));
    // The second byte of "ア" is 'A' and must not match 'a'.
    EXPECT_FALSE(equalIgnoringAsciiCase(a, "\x83\x61"));
    EXPECT_FALSE(equalIgnoringAsciiCase("@", "`"));

    EXPECT_EQ("cdaudio", lowerAsciiCp932("CDAudio"));
    EXPECT_EQ(a + "x", lowerAsciiCp932(a + "X"));
    EXPECT_EQ("\x83\x61Y", upperAsciiCp932("\x83\x61y"));
}

TEST(Cp932Text, LeadBytesAreTheTwoRanges)
{
    using hp::kernel32::cp932CharacterLength;
    using hp::kernel32::isCp932LeadByte;
    for (unsigned byte : {0x00u, 0x7Fu, 0x80u, 0xA0u, 0xDFu, 0xFDu, 0xFFu})
        EXPECT_FALSE(isCp932LeadByte(static_cast<unsigned char>(byte))) << byte;
    for (unsigned byte : {0x81u, 0x9Fu, 0xE0u, 0xFCu})
        EXPECT_TRUE(isCp932LeadByte(static_cast<unsigned char>(byte))) << byte;

    const std::string text = "x" + so + "\xB1\x83";  // ASCII, "ソ", half-width "ア", lone lead
    EXPECT_EQ(1u, cp932CharacterLength(text, 0));
    EXPECT_EQ(2u, cp932CharacterLength(text, 1));
    EXPECT_EQ(1u, cp932CharacterLength(text, 3));
    EXPECT_EQ(1u, cp932CharacterLength(text, 4));
}

}  // namespace
