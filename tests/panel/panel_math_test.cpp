// The panel's arithmetic: the marquee's text at a tick, gauge heights and
// percentages, the progress bar's width and the seek position.
#include <gtest/gtest.h>

#include <string>

#include "panel/panel_math.h"

namespace {

std::string marqueeAt(const std::string &title, uint32_t frame)
{
    char shown[marqueeBufferBytes] = {};
    composeMarquee(title.c_str(), frame, shown);
    return std::string(shown).substr(0, textLineBytes);
}

// The tick at which a phase starts: six ticks a phase.
constexpr uint32_t phaseStart(uint32_t phase) { return phase * 6; }

TEST(Marquee, AThirtyByteTitleOverOneCycle)
{
    const std::string title = "ABCDEFGHIJKLMNOPQRSTUVWXYZ1234";
    struct Case {
        uint32_t frame;
        const char *shown;
    };
    const Case cases[] = {
        {0, "ABCDEFGHIJKLMNOPQRSTUVWXYZ1"},
        {113, "ABCDEFGHIJKLMNOPQRSTUVWXYZ1"},           // phase 18: s = 0
        {114, "BCDEFGHIJKLMNOPQRSTUVWXYZ12"},           // phase 19: s = 1
        {phaseStart(18 + 4), "EFGHIJKLMNOPQRSTUVWXYZ1234 "},
        {phaseStart(18 + 29), "4  ABCDEFGHIJKLMNOPQRSTUVWX"},
        {phaseStart(18 + 30), " ABCDEFGHIJKLMNOPQRSTUVWXYZ"},
        {phaseStart(18 + 31), "ABCDEFGHIJKLMNOPQRSTUVWXYZ1"},
        {phaseStart(18 + 59) + 5, "ABCDEFGHIJKLMNOPQRSTUVWXYZ1"},  // last tick of the cycle
        {468, "ABCDEFGHIJKLMNOPQRSTUVWXYZ1"},           // the cycle again
        {468 + 114, "BCDEFGHIJKLMNOPQRSTUVWXYZ12"},
    };
    for (const Case &c : cases)
        EXPECT_EQ(marqueeAt(title, c.frame), c.shown) << "frame " << c.frame;
}

TEST(Marquee, ADoubleByteTitleNeverStartsWithAnOrphanedSecondByte)
{
    // Fifteen characters, thirty bytes.
    const std::string title = "あいうえおかきくけこさしすせそ";
    ASSERT_EQ(title.size(), 30u);
    for (uint32_t s = 0; s < 30; ++s) {
        SCOPED_TRACE(s);
        const std::string shown = marqueeAt(title, phaseStart(18 + s));
        ASSERT_EQ(shown.size(), 27u);
        std::string tail = title.substr(s);
        if (s % 2 == 1)
            tail[0] = ' ';
        const std::string expected = (tail + "  " + title.substr(0, s)).substr(0, 27);
        EXPECT_EQ(shown, expected);
    }
    EXPECT_EQ(marqueeAt(title, phaseStart(18 + 1)).substr(0, 3), " い");
    EXPECT_EQ(marqueeAt(title, phaseStart(18 + 2)).substr(0, 2), "い");
}

TEST(Marquee, TheHalfCharacterScanFollowsTheStateRules)
{
    struct Case {
        const char *text;
        int index;
        bool second;
    };
    const Case cases[] = {
        {"\x82\xA0\x82\xA2", 1, true},   // あい: the second byte of あ
        {"\x82\xA0\x82\xA2", 2, false},  // the lead byte of い
        {"A\x82\xA0", 2, true},
        {"\x82\x30\x41", 2, true},       // a lead byte waits through 0x30 for its pair
        {"\x82\x30", 1, false},
        {"\xFD\x41", 1, false},          // 0xFD leads nothing
        {"\xE0\xFC", 1, true},
        {"\xE0\xFD", 1, false},
    };
    for (const Case &c : cases)
        EXPECT_EQ(isSecondByteAt(c.text, c.index), c.second) << c.index;
}

TEST(GaugeMath, EmptyHeightsAndPercentagesAcrossAndBeyondTheRange)
{
    struct Case {
        int32_t value;
        int empty220;
        int empty222;
        int percent;
    };
    const Case cases[] = {
        {0, 220, 222, 0},
        {32768, 109, 110, 50},
        {65535, 0, 0, 99},
        {65536, 0, 0, 100},
        {65737, 0, 0, 100},
        {-1, 220, 222, 0},
        {-499, 221, 223, 0},
        {500, 218, 220, 0},
        {655, 217, 219, 0},
        {656, 217, 219, 1},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.value);
        EXPECT_EQ(gaugeEmptyHeight(c.value, 220), c.empty220);
        EXPECT_EQ(gaugeEmptyHeight(c.value, 222), c.empty222);
        EXPECT_EQ(gaugePercent(c.value), c.percent);
    }
}

TEST(ProgressMath, WidthsRoundThroughSinglePrecisionAndStopAtTheFullBar)
{
    struct Case {
        int32_t elapsed;
        int32_t length;
        int width;
    };
    const Case cases[] = {
        {3, 19, 23},  {0, 30000, 0}, {180, 180, 152}, {12, 10, 152}, {11, 10, 152},
        {1, 152, 1},  {90, 180, 76}, {0, 0, 0},       {1, 0, 152},
        {2, 0, 152},
    };
    for (const Case &c : cases)
        EXPECT_EQ(progressWidth(c.elapsed, c.length), c.width) << c.elapsed << "/" << c.length;
}

TEST(SeekMath, PressesAlongTheBarPickTheSecond)
{
    struct Case {
        int x;
        int32_t length;
        int32_t second;
    };
    const Case cases[] = {
        {236, 241, 0}, {388, 241, 241}, {312, 241, 120}, {237, 152, 1},
        {387, 180, 178}, {300, 879999, 370525},
    };
    for (const Case &c : cases)
        EXPECT_EQ(seekSecond(c.x, c.length), c.second) << c.x << " of " << c.length;
}

}  // namespace
