#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "platform/winmm/cp932_text.h"

namespace {

using hp::winmm::copyCp932Field;
using hp::winmm::equalsIgnoringAsciiCase;
using hp::winmm::lowerAscii;

// "ソ" is 0x83 0x5C and "ア" is 0x83 0x41: second bytes that look like "\" and "A".
const std::string so = "\x83\x5C";
const std::string a = "\x83\x41";

TEST(WinmmCp932Text, FieldsHoldWholeCharactersOnly)
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

TEST(WinmmCp932Text, CaseIsFoldedOnlyInAsciiLetters)
{
    EXPECT_TRUE(equalsIgnoringAsciiCase("WaveAudio", "waveaudio"));
    EXPECT_TRUE(equalsIgnoringAsciiCase("C:\\" + so + ".MP3", "c:\\" + so + ".mp3"));
    EXPECT_FALSE(equalsIgnoringAsciiCase("wave", "waves"));
    // The second byte of "ア" is 'A' and must not match 'a'.
    EXPECT_FALSE(equalsIgnoringAsciiCase(a, "\x83\x61"));
    EXPECT_FALSE(equalsIgnoringAsciiCase("@", "`"));

    EXPECT_EQ("cdaudio", lowerAscii("CDAudio"));
    EXPECT_EQ(a + "x", lowerAscii(a + "X"));
}

}  // namespace
