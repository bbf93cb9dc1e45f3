// The process's GDI object count returns to where it was after matched
// create/delete pairs, including those that go through selection.
#include <gtest/gtest.h>

#include "gdi_test_support.h"

namespace {

DWORD gdiObjects() { return GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS); }

TEST(GdiObjectCount, ReturnsAfterCreateDeletePairs)
{
    const DWORD before = gdiObjects();
    HBRUSH brush = CreateSolidBrush(RGB(1, 2, 3));
    HPEN pen = CreatePen(PS_SOLID, 1, RGB(4, 5, 6));
    HFONT font = CreateFontA(17, 0, 0, 0, FW_SEMIBOLD, 0, 0, 0, SHIFTJIS_CHARSET, 0, 0,
                             PROOF_QUALITY, FIXED_PITCH | FF_MODERN, "ＭＳ 明朝");
    HDC dc = CreateCompatibleDC(nullptr);
    HBITMAP bitmap = CreateCompatibleBitmap(dc, 8, 8);
    if (gdi_test::runningUnderWine() && gdiObjects() == 0) {
        // Known difference: Wine's GetGuiResources counts nothing (always 0),
        // so only the balance below is checked there.
    } else {
        EXPECT_EQ(gdiObjects(), before + 5);
    }

    SelectObject(dc, bitmap);
    SelectObject(dc, brush);
    SelectObject(dc, pen);
    SelectObject(dc, font);
    TextOutA(dc, 0, 0, "x", 1);
    // The program's order: the context first, then what was selected in it.
    EXPECT_TRUE(DeleteDC(dc));
    EXPECT_TRUE(DeleteObject(bitmap));
    EXPECT_TRUE(DeleteObject(brush));
    EXPECT_TRUE(DeleteObject(pen));
    EXPECT_TRUE(DeleteObject(font));
    EXPECT_EQ(gdiObjects(), before);
}

TEST(GdiObjectCount, SpriteLoopLeavesNothingBehind)
{
    const std::string path = gdi_test::writeBmp24("gdi_conformance_sprites.bmp", 16, 16,
                                                  [](int x, int y) { return RGB(x, y, 0); });
    gdi_test::Canvas target(32, 32);
    const DWORD before = gdiObjects();
    for (int i = 0; i < 500; ++i) {
        HBITMAP bitmap = static_cast<HBITMAP>(LoadImageA(
            nullptr, path.c_str(), IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE | LR_CREATEDIBSECTION));
        ASSERT_NE(bitmap, nullptr);
        HDC memory = CreateCompatibleDC(nullptr);
        SelectObject(memory, bitmap);
        BITMAP info{};
        GetObjectA(bitmap, sizeof info, &info);
        StretchBlt(target.dc(), i % 16, 0, 8, 8, memory, 0, 0, 8, 8, SRCCOPY);
        DeleteDC(memory);
        DeleteObject(bitmap);
    }
    EXPECT_EQ(gdiObjects(), before);
    std::remove(path.c_str());
}

}  // namespace
