// Fonts and text: face matching, the panel font's cells, double-byte text,
// the lone lead byte, user-defined characters, and that drawing text leaks
// nothing.
#include <gtest/gtest.h>

#include <memory>
#include <set>
#include <string>

#include "platform/gdi32/surface.h"
#include "platform/host/font_face.h"
#include "platform/host/user_characters.h"
#include "platform/win32.h"

namespace {

using hp::gdi32::Surface;
using hp::host::FontFace;
using hp::host::FontRequest;

struct FaceCase {
    const char *windowsFace;  // UTF-8
    int pitchAndFamily;
    const char *expectedFamily;
};

class FaceMatching : public ::testing::TestWithParam<FaceCase> {};

TEST_P(FaceMatching, PicksAnInstalledFaceOfTheSameKind)
{
    const FaceCase c = GetParam();
    FontRequest request;
    request.faceUtf8 = c.windowsFace;
    request.height = 17;
    request.charSet = SHIFTJIS_CHARSET;
    request.pitchAndFamily = c.pitchAndFamily;
    auto face = FontFace::open(request);
    ASSERT_NE(face, nullptr);
    EXPECT_EQ(face->family(), c.expectedFamily);
    EXPECT_FALSE(face->file().empty());
}

INSTANTIATE_TEST_SUITE_P(
    JapaneseFaces, FaceMatching,
    ::testing::Values(FaceCase{u8"ＭＳ 明朝", FIXED_PITCH | FF_MODERN, "IPAMincho"},
                      FaceCase{u8"ＭＳ Ｐゴシック", VARIABLE_PITCH | FF_SWISS, "IPAPGothic"},
                      FaceCase{u8"ＭＳ ゴシック", FIXED_PITCH | FF_MODERN, "IPAGothic"},
                      FaceCase{"ms mincho", FIXED_PITCH, "IPAMincho"}));

TEST(PanelFont, TwentySevenCellsEndBeforeTheMark)
{
    // The panel's lines: 27 bytes from x 193 and the end mark at x 440.
    FontRequest request;
    request.faceUtf8 = u8"ＭＳ 明朝";
    request.height = 17;
    request.weight = FW_SEMIBOLD;
    request.charSet = SHIFTJIS_CHARSET;
    request.pitchAndFamily = FIXED_PITCH | FF_MODERN;
    request.quality = PROOF_QUALITY;
    auto face = FontFace::open(request);
    const auto &m = face->metrics();
    EXPECT_EQ(m.height, 17);
    EXPECT_EQ(m.ascent + m.descent, 17);
    EXPECT_GT(m.ascent, m.descent);
    EXPECT_TRUE(m.fixedPitch);
    EXPECT_GE(m.halfWidthAdvance, 8);
    EXPECT_LE(193 + 27 * m.halfWidthAdvance, 440);
}

class TextDrawing : public ::testing::Test {
protected:
    void SetUp() override
    {
        surface = std::make_shared<Surface>(300, 40);
        for (int y = 0; y < 40; ++y)
            std::fill(surface->row(y), surface->row(y) + 300, 0xFFFFFFu);
        dc = hp::gdi32::createWindowDc(reinterpret_cast<HWND>(0x22220), surface);
        font = CreateFontA(17, 0, 0, 0, FW_SEMIBOLD, 0, 0, 0, SHIFTJIS_CHARSET, 0, 0,
                           PROOF_QUALITY, FIXED_PITCH | FF_MODERN, "ＭＳ 明朝");
        SelectObject(dc, font);
        SetBkColor(dc, RGB(255, 204, 204));
        SetTextColor(dc, RGB(0, 128, 0));
    }
    void TearDown() override
    {
        SelectObject(dc, GetStockObject(SYSTEM_FONT));
        DeleteObject(font);
        hp::gdi32::releaseWindowDc(dc);
    }

    int halfCell()
    {
        SIZE size{};
        GetTextExtentPoint32A(dc, "A", 1, &size);
        return size.cx;
    }
    // Pixels of column range [left, right) x the first 17 rows that are ink
    // (neither the background colour nor white).
    int inkIn(int left, int right)
    {
        int count = 0;
        for (int y = 0; y < 17; ++y)
            for (int x = left; x < right; ++x) {
                const uint32_t p = surface->at(x, y);
                if (p != 0xFFCCCCu && p != 0xFFFFFFu)
                    ++count;
            }
        return count;
    }

    std::shared_ptr<Surface> surface;
    HDC dc = nullptr;
    HFONT font = nullptr;
};

TEST_F(TextDrawing, DoubleByteCharactersFillFullCells)
{
    const int cell = halfCell();
    const char text[] = "日本ab";  // 2 double-byte characters, 2 single bytes
    ASSERT_TRUE(TextOutA(dc, 0, 0, text, 6));
    // Each kanji has ink in its own full cell.
    EXPECT_GT(inkIn(0, 2 * cell), 10);
    EXPECT_GT(inkIn(2 * cell, 4 * cell), 10);
    EXPECT_GT(inkIn(4 * cell, 5 * cell), 3);
    EXPECT_GT(inkIn(5 * cell, 6 * cell), 3);
    // The background covers exactly six half cells.
    EXPECT_EQ(surface->at(6 * cell - 1, 16), 0xFFCCCCu);
    EXPECT_EQ(surface->at(6 * cell, 0), 0xFFFFFFu);
    EXPECT_EQ(surface->at(0, 17), 0xFFFFFFu);
}

TEST_F(TextDrawing, ALoneLeadByteAtTheEndShowsADotInItsOwnCell)
{
    const int cell = halfCell();
    // "ab" and the first byte of "日" (0x93 0xFA): the line was cut inside a
    // character. Three bytes, three cells, a dot in the last one.
    const char text[] = "ab\x93";
    SIZE extent{};
    GetTextExtentPoint32A(dc, text, 3, &extent);
    EXPECT_EQ(extent.cx, 3 * cell);
    ASSERT_TRUE(TextOutA(dc, 0, 0, text, 3));
    EXPECT_GT(inkIn(2 * cell, 3 * cell), 0);
    EXPECT_EQ(surface->at(3 * cell, 0), 0xFFFFFFu);
    EXPECT_EQ(inkIn(3 * cell, 300), 0);
}

// A character given a user-defined code draws exactly as the same
// character does by its own code: the code page's α (0x83BF) and あ
// (0x82A0) put into the user's table stand in for the characters it lacks.
TEST_F(TextDrawing, AUserDefinedCodeDrawsItsCharacter)
{
    for (const auto &[character, ownCode] : {std::pair{U'\u03B1', "\x83\xBF"},
                                             std::pair{U'\u3042', "\x82\xA0"}}) {
        const uint16_t code = hp::host::userCharacters().codeOf(character);
        ASSERT_NE(code, 0) << "no table";
        const char userDefined[] = {static_cast<char>(code >> 8), static_cast<char>(code & 0xFF)};
        ASSERT_TRUE(TextOutA(dc, 0, 0, ownCode, 2));
        ASSERT_TRUE(TextOutA(dc, 0, 20, userDefined, 2));
        int differences = 0;
        for (int y = 0; y < 17; ++y)
            for (int x = 0; x < 40; ++x)
                differences += surface->at(x, y) != surface->at(x, y + 20);
        EXPECT_EQ(differences, 0) << std::hex << code;
        EXPECT_GT(inkIn(0, 2 * halfCell()), 10);
    }
}

// On a high-density screen the window's device copy shows every drawing
// doubled pixel for pixel, except text, which is drawn again at the device
// scale: sharper than doubled pixels, in the same cells and colours.
TEST_F(TextDrawing, TheDeviceCopyDoublesDrawingsAndRedrawsTextAtItsScale)
{
    surface->setDeviceScale(2);
    Surface *device = surface->device();
    ASSERT_NE(device, nullptr);
    ASSERT_EQ(device->width(), 600);
    HBRUSH blue = CreateSolidBrush(RGB(0, 0, 255));
    const RECT square{100, 5, 103, 9};
    FillRect(dc, &square, blue);
    DeleteObject(blue);
    const int cell = halfCell();
    ASSERT_TRUE(TextOutA(dc, 1, 1, "Ab\x82\xA0", 4));
    auto block = [&](int x, int y) {
        std::set<uint32_t> seen;
        for (int j = 0; j < 2; ++j)
            for (int i = 0; i < 2; ++i)
                seen.insert(device->at(2 * x + i, 2 * y + j));
        return seen;
    };
    int sharp = 0;
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 300; ++x) {
            const bool inText = x >= 1 && x < 1 + 4 * cell && y >= 1 && y < 18;
            if (!inText) {
                ASSERT_EQ(block(x, y), std::set<uint32_t>{surface->at(x, y)}) << x << "," << y;
                continue;
            }
            sharp += block(x, y).size() > 1;
            for (uint32_t pixel : block(x, y))
                ASSERT_NE(pixel, 0xFFFFFFu) << "the cells are filled at " << x << "," << y;
        }
    EXPECT_GT(sharp, 20);
    EXPECT_EQ(device->at(2 * 1 + 1, 2 * 1 + 1), 0xFFCCCCu);

    // Growing the surface keeps the copy in step.
    surface->resize(310, 40);
    ASSERT_EQ(surface->device()->width(), 620);
    EXPECT_EQ(surface->device()->at(2 * 101, 2 * 6), 0x0000FFu);
}

// A line drawn again repaints only its cells, so ink outside them would
// stay behind; every character's ink keeps to the text's cells.
TEST_F(TextDrawing, InkStaysInsideTheTextsCells)
{
    const int cell = halfCell();
    const char *endings[] = {"y", "f", "j", "W", "\x82\xA0" /* あ */};
    for (const char *ending : endings) {
        for (int y = 0; y < 40; ++y)
            std::fill(surface->row(y), surface->row(y) + 300, 0xFFFFFFu);
        std::string text = std::string("ab") + ending;
        const int bytes = static_cast<int>(text.size());
        ASSERT_TRUE(TextOutA(dc, cell, 0, text.data(), bytes));
        EXPECT_EQ(inkIn(0, cell), 0) << ending;
        EXPECT_EQ(inkIn(cell * (1 + bytes), 300), 0) << ending;
        EXPECT_GT(inkIn(cell * (1 + bytes) - cell, cell * (1 + bytes)), 0) << ending;
    }
}

TEST_F(TextDrawing, HalfWidthKatakanaTakesOneCell)
{
    const int cell = halfCell();
    SIZE extent{};
    GetTextExtentPoint32A(dc, "\xB1\xB2", 2, &extent);  // ｱｲ
    EXPECT_EQ(extent.cx, 2 * cell);
}

TEST_F(TextDrawing, MetricsDescribeTheCell)
{
    TEXTMETRICA metrics{};
    metrics.tmHeight = -1;
    ASSERT_TRUE(GetTextMetricsA(dc, &metrics));
    EXPECT_EQ(metrics.tmHeight, 17);
    EXPECT_EQ(metrics.tmAscent + metrics.tmDescent, 17);
    EXPECT_EQ(metrics.tmAveCharWidth, halfCell());
    EXPECT_EQ(metrics.tmCharSet, SHIFTJIS_CHARSET);
    EXPECT_EQ(metrics.tmPitchAndFamily & 1, 0);  // the bit is set for variable pitch
}

TEST_F(TextDrawing, UnderlineRunsUnderTheWholeText)
{
    HFONT underlined = CreateFontA(17, 0, 0, 0, FW_NORMAL, 0, TRUE, 0, SHIFTJIS_CHARSET, 0, 0,
                                   PROOF_QUALITY, FIXED_PITCH | FF_MODERN, "ＭＳ 明朝");
    SelectObject(dc, underlined);
    TEXTMETRICA metrics{};
    GetTextMetricsA(dc, &metrics);
    SIZE extent{};
    GetTextExtentPoint32A(dc, "a b", 3, &extent);
    TextOutA(dc, 0, 0, "a b", 3);
    for (int x = 0; x < extent.cx; ++x)
        ASSERT_EQ(surface->at(x, metrics.tmAscent + 1), 0x008000u) << x;
    EXPECT_EQ(surface->at(extent.cx, metrics.tmAscent + 1), 0xFFFFFFu);
    SelectObject(dc, font);
    DeleteObject(underlined);
}

TEST(TextResources, DrawingWithManyFontsLeaksNothing)
{
    auto surface = std::make_shared<Surface>(200, 30);
    HDC dc = hp::gdi32::createWindowDc(reinterpret_cast<HWND>(0x22224), surface);
    const DWORD objectsBefore = hp::gdi32::liveGdiObjectCount();
    const int facesBefore = FontFace::liveCount();
    for (int i = 0; i < 300; ++i) {
        HFONT font = CreateFontA(10 + i % 12, 0, 0, 0, i % 2 ? FW_SEMIBOLD : FW_NORMAL, 0, 0, 0,
                                 SHIFTJIS_CHARSET, 0, 0, PROOF_QUALITY,
                                 (i % 3 ? FIXED_PITCH : VARIABLE_PITCH) | FF_MODERN,
                                 i % 2 ? "ＭＳ 明朝" : "ＭＳ Ｐゴシック");
        HGDIOBJ old = SelectObject(dc, font);
        ASSERT_TRUE(TextOutA(dc, 0, 0, "[Play] 03:02 　再生リスト", 25));
        SelectObject(dc, old);
        DeleteObject(font);
    }
    EXPECT_EQ(hp::gdi32::liveGdiObjectCount(), objectsBefore);
    EXPECT_EQ(FontFace::liveCount(), facesBefore);
    hp::gdi32::releaseWindowDc(dc);
}

}  // namespace
