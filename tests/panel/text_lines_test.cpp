// The text lines, the gauges and the progress bar, drawn into a canvas and
// compared with what they should show: text against the same bytes drawn
// directly with the panel's font and colours, gauge pieces against the
// sprite sheet, the progress bar by its colours.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "app/front_panel.h"
#include "tests/app/support/paint_canvas.h"
#include "tests/app/support/program_harness.h"

namespace {

using hp::apptest::PaintCanvas;
using hp::apptest::panelHeight;
using hp::apptest::panelWidth;
using hp::apptest::ProgramHarness;
using hp::apptest::skinBackground;
using hp::apptest::spriteSheet;

class PanelPaint : public ::testing::Test {
protected:
    void SetUp() override
    {
        program_.writeSettings("[CONFIG]\r\nGraphicEffect=1\r\n");
        program_.startPanel();
    }

    // The bytes as a line of the panel shows them.
    static void drawReference(const PaintCanvas &canvas, int x, int y, const std::string &bytes)
    {
        SelectObject(canvas.dc(), panelFont);
        SetBkColor(canvas.dc(), RGB(255, 204, 204));
        SetTextColor(canvas.dc(), RGB(0, 128, 0));
        TextOutA(canvas.dc(), x, y, bytes.data(), static_cast<int>(bytes.size()));
    }

    static bool samePicture(const PaintCanvas &a, const PaintCanvas &b)
    {
        return a.sameArea(b, 0, 0, panelWidth, panelHeight);
    }

    static void setText(char *field, const std::string &text)
    {
        memset(field, 0, FrontPanel::textCapacity);
        memcpy(field, text.data(), text.size());
    }

    ProgramHarness program_;
};

TEST_F(PanelPaint, TheStatusLineIsAlwaysTwentySevenBytesWide)
{
    struct Case {
        std::string status;
        std::string shown;
    };
    const Case cases[] = {
        {"", std::string(27, ' ')},
        {"Happy New Christmas", "Happy New Christmas        "},
        {"[Play] 100:00", "[Play] 100:00              "},
        {std::string(259, 'X'), std::string(27, 'X')},  // the longest text fits the padding
        // Cut inside the fourteenth character.
        {"ああああああああああああああ", "あああああああああああああ\x82"},
        // Control bytes are blank cells.
        {"\x01[Stop]\t\x1F", " [Stop]                    "},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.status.size());
        setText(frontPanel.statusText, c.status);
        PaintCanvas drawn;
        PaintCanvas expected;
        frontPanel.drawStatusLine(drawn.dc());
        drawReference(expected, 193, 185, c.shown);
        EXPECT_TRUE(samePicture(drawn, expected));
    }
}

TEST_F(PanelPaint, TheTitleLineScrollsLongTitlesAndMarksTheEndOnlyWithTheMarquee)
{
    const std::string alphabet = "ABCDEFGHIJKLMNOPQRSTUVWXYZ1234";
    const std::string kana = "あいうえおかきくけこさしすせそ";
    struct Case {
        const char *name;
        std::string title;
        int marquee;
        uint32_t frame;
        std::string shown;
        bool endMark;
    };
    const Case cases[] = {
        {"standing", alphabet, 1, 0, "ABCDEFGHIJKLMNOPQRSTUVWXYZ1", true},
        {"one byte on", alphabet, 1, 114, "BCDEFGHIJKLMNOPQRSTUVWXYZ12", true},
        {"the gap", alphabet, 1, 6 * (18 + 29), "4  ABCDEFGHIJKLMNOPQRSTUVWX", true},
        {"without the marquee", alphabet, 0, 114, "ABCDEFGHIJKLMNOPQRSTUVWXYZ1", false},
        {"26 bytes stand", alphabet.substr(0, 26), 1, 114, alphabet.substr(0, 26) + " ", true},
        {"half a character", kana, 1, 6 * (18 + 1), " " + kana.substr(2, 26), true},
        {"a whole character", kana, 1, 6 * (18 + 2), kana.substr(2, 27), true},
        {"empty", "", 0, 0, std::string(27, ' '), false},
        // The line feed that ends a found artist, and control bytes passing
        // through a scrolling title, draw nothing but their blank cells.
        {"artist's line feed", "冬の歌／歌手\n", 1, 0, "冬の歌／歌手" + std::string(15, ' '), true},
        {"scrolling controls", "\x1B" + alphabet + "\r", 1, 6 * (18 + 20),
         "TUVWXYZ1234    ABCDEFGHIJKL", true},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        setText(frontPanel.titleText, c.title);
        frontPanel.marqueeOn = c.marquee;
        frontPanel.frameCount = c.frame;
        PaintCanvas drawn;
        PaintCanvas expected;
        frontPanel.drawTitleLine(drawn.dc());
        drawReference(expected, 193, 140, c.shown);
        if (c.endMark)
            drawReference(expected, 440, 140, "　");
        EXPECT_TRUE(samePicture(drawn, expected));
    }
}

struct GaugePlace {
    int32_t FrontPanel::*value;
    int left;
    int top;
    int width;
    int height;
    int emptyX;
    int emptyY;
    int fullX;
};
const GaugePlace cdGauge{&FrontPanel::cdVolume, 557, 67, 14, 219, 164, 74, 186};
const GaugePlace midiGauge{&FrontPanel::midiVolume, 533, 26, 14, 219, 164, 74, 186};
const GaugePlace waveGauge{&FrontPanel::waveVolume, 504, 66, 18, 221, 102, 72, 131};

// "" when rows [0, emptyRows) of the gauge show the empty column and the
// rest down to its height the full one. An empty piece taller than the
// gauge reaches below it; what a piece of negative height draws there is the
// platform's, so below the gauge only an exact fit is checked.
std::string checkGauge(const PaintCanvas &canvas, const GaugePlace &gauge, int emptyRows)
{
    for (int row = 0; row < gauge.height; ++row) {
        const bool empty = row < emptyRows;
        const int sourceX = empty ? gauge.emptyX : gauge.fullX;
        for (int x = 0; x < gauge.width; ++x) {
            if (canvas.pixel(gauge.left + x, gauge.top + row) !=
                spriteSheet().pixel(sourceX + x, gauge.emptyY + row))
                return "row " + std::to_string(row) + (empty ? " not empty" : " not full");
        }
    }
    for (int x = 0; x < gauge.width && emptyRows <= gauge.height; ++x) {
        if (canvas.pixel(gauge.left + x, gauge.top + gauge.height) != 0)
            return "drawn below the gauge";
    }
    return {};
}

TEST_F(PanelPaint, GaugesCutTheirTwoPiecesAtTheLevelOfTheirValue)
{
    struct Case {
        int32_t value;
        int emptyRowsCdMidi;
        int emptyRowsWave;
    };
    const Case cases[] = {
        {0, 220, 222},     {32768, 109, 110}, {65535, 0, 0}, {65536, 0, 0},
        {90000, 0, 0},     {-1, 220, 222},    {-499, 221, 223}, {1000, 216, 218},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.value);
        frontPanel.cdVolume = c.value;
        frontPanel.midiVolume = c.value;
        frontPanel.waveVolume = c.value;
        PaintCanvas canvas;
        frontPanel.drawGauges(canvas.dc());
        EXPECT_EQ(checkGauge(canvas, cdGauge, c.emptyRowsCdMidi), "") << "CD";
        EXPECT_EQ(checkGauge(canvas, midiGauge, c.emptyRowsCdMidi), "") << "MIDI";
        EXPECT_EQ(checkGauge(canvas, waveGauge, c.emptyRowsWave), "") << "Wave";
        if (c.value != 0)
            continue;
        // The background holds the empty gauges at their places, so an
        // empty gauge drawn anywhere else would show.
        for (const GaugePlace *gauge : {&cdGauge, &midiGauge, &waveGauge}) {
            int mismatches = 0;
            for (int row = 0; row < gauge->height; ++row) {
                for (int x = gauge->left; x < gauge->left + gauge->width; ++x)
                    mismatches += canvas.pixel(x, gauge->top + row) !=
                                  skinBackground().pixel(x, gauge->top + row);
            }
            EXPECT_EQ(mismatches, 0) << "gauge at " << gauge->left << "," << gauge->top;
        }
    }
}

TEST_F(PanelPaint, TheProgressBarShowsThePlayedShareInWhiteAndNeverPastItsFrame)
{
    constexpr uint32_t white = 0xFFFFFF;
    constexpr uint32_t inside = 0xFFC986;
    struct Case {
        int32_t elapsed;
        int32_t length;
        int whiteWidth;
    };
    const Case cases[] = {
        {3, 19, 23}, {0, 30000, 0}, {90, 180, 76}, {180, 180, 152},
        {0, 0, 0},   {1, 0, 152},
        // Past the end of a track the bar stays full and nothing is drawn
        // beyond its frame.
        {11, 10, 152}, {12, 10, 152}, {INT32_MAX, 1, 152},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(std::to_string(c.elapsed) + " of " + std::to_string(c.length));
        frontPanel.elapsedSeconds = c.elapsed;
        frontPanel.trackSeconds = c.length;
        PaintCanvas canvas;
        frontPanel.drawProgressBar(canvas.dc());
        const int whiteEnd = 236 + c.whiteWidth;  // first column past the white part
        for (int x = 237; x < 440; ++x) {
            uint32_t wanted = 0;
            if (x < whiteEnd || x == 387)
                wanted = white;
            else if (x < 387)
                wanted = inside;
            ASSERT_EQ(canvas.pixel(x, 210), wanted) << "x " << x;
        }
        // The outline is white above and below, over the whole bar.
        for (int x = 236; x < 388; ++x) {
            ASSERT_EQ(canvas.pixel(x, 207), white) << "x " << x;
            ASSERT_EQ(canvas.pixel(x, 213), white) << "x " << x;
        }
        EXPECT_EQ(canvas.pixel(300, 214), 0u);
    }
}

}  // namespace
