// GDI objects: stock objects, selection, GetObjectA, bitmaps from files.
#include <gtest/gtest.h>

#include <cstdio>

#include "gdi_test_support.h"

namespace {

TEST(StockObjects, HaveTheirTypesAndSurviveDeletion)
{
    struct Case {
        int index;
        DWORD type;
    };
    const Case cases[] = {{WHITE_BRUSH, OBJ_BRUSH}, {BLACK_BRUSH, OBJ_BRUSH},
                          {NULL_BRUSH, OBJ_BRUSH},  {WHITE_PEN, OBJ_PEN},
                          {BLACK_PEN, OBJ_PEN},     {NULL_PEN, OBJ_PEN},
                          {SYSTEM_FONT, OBJ_FONT},  {DEFAULT_GUI_FONT, OBJ_FONT}};
    for (const Case &c : cases) {
        HGDIOBJ object = GetStockObject(c.index);
        ASSERT_NE(object, nullptr) << c.index;
        EXPECT_EQ(GetObjectType(object), c.type) << c.index;
        EXPECT_TRUE(DeleteObject(object)) << c.index;
        EXPECT_EQ(GetStockObject(c.index), object) << c.index;
        EXPECT_EQ(GetObjectType(object), c.type) << c.index;
    }
    EXPECT_EQ(GetStockObject(9), nullptr);  // no stock object has this index
}

TEST(StockObjects, DescribeThemselves)
{
    LOGBRUSH brush{99, 99, 99};
    ASSERT_EQ(GetObjectA(GetStockObject(WHITE_BRUSH), sizeof brush, &brush),
              static_cast<int>(sizeof brush));
    EXPECT_EQ(brush.lbStyle, static_cast<UINT>(BS_SOLID));
    EXPECT_EQ(brush.lbColor, RGB(255, 255, 255));
    LOGPEN pen{99, {99, 99}, 99};
    ASSERT_EQ(GetObjectA(GetStockObject(NULL_PEN), sizeof pen, &pen), static_cast<int>(sizeof pen));
    EXPECT_EQ(pen.lopnStyle, static_cast<UINT>(PS_NULL));
}

TEST(MemoryContext, StartsWithDefaultsAndSelectReturnsThePrevious)
{
    HDC dc = CreateCompatibleDC(nullptr);
    ASSERT_NE(dc, nullptr);
    EXPECT_EQ(GetObjectType(dc), static_cast<DWORD>(OBJ_MEMDC));
    EXPECT_EQ(GetCurrentObject(dc, OBJ_PEN), GetStockObject(BLACK_PEN));
    EXPECT_EQ(GetCurrentObject(dc, OBJ_BRUSH), GetStockObject(WHITE_BRUSH));
    EXPECT_EQ(GetBkColor(dc), RGB(255, 255, 255));
    EXPECT_EQ(GetTextColor(dc), RGB(0, 0, 0));
    EXPECT_EQ(GetBkMode(dc), OPAQUE);

    // Its bitmap is the 1 x 1 monochrome one.
    BITMAP bitmap{};
    bitmap.bmWidth = -7;
    ASSERT_EQ(GetObjectA(GetCurrentObject(dc, OBJ_BITMAP), sizeof bitmap, &bitmap),
              static_cast<int>(sizeof bitmap));
    EXPECT_EQ(bitmap.bmWidth, 1);
    EXPECT_EQ(bitmap.bmHeight, 1);
    EXPECT_EQ(bitmap.bmBitsPixel, 1);

    HBRUSH brush = CreateSolidBrush(RGB(1, 2, 3));
    HGDIOBJ previous = SelectObject(dc, brush);
    EXPECT_EQ(previous, GetStockObject(WHITE_BRUSH));
    EXPECT_EQ(SelectObject(dc, previous), brush);
    EXPECT_TRUE(DeleteObject(brush));
    EXPECT_TRUE(DeleteDC(dc));
}

TEST(MemoryContext, CompatibleBitmapOfAMemoryContextIsMonochrome)
{
    // The platform's classic trap: a fresh memory context holds a monochrome
    // bitmap, so bitmaps compatible with it are monochrome too.
    HDC dc = CreateCompatibleDC(nullptr);
    HBITMAP bitmap = CreateCompatibleBitmap(dc, 5, 4);
    ASSERT_NE(bitmap, nullptr);
    BITMAP info{};
    GetObjectA(bitmap, sizeof info, &info);
    EXPECT_EQ(info.bmWidth, 5);
    EXPECT_EQ(info.bmHeight, 4);
    EXPECT_EQ(info.bmBitsPixel, 1);
    EXPECT_EQ(info.bmBits, nullptr);
    DeleteObject(bitmap);
    DeleteDC(dc);
}

TEST(Bitmaps, OneBitmapIsSelectedIntoOneContextAtATime)
{
    gdi_test::Canvas canvas(4, 4);
    HDC other = CreateCompatibleDC(nullptr);
    EXPECT_EQ(SelectObject(other, canvas.bitmap()), nullptr);
    DeleteDC(other);
}

TEST(Objects, DeletedHandlesAreInvalid)
{
    HBRUSH brush = CreateSolidBrush(RGB(5, 6, 7));
    ASSERT_TRUE(DeleteObject(brush));
    EXPECT_EQ(GetObjectType(brush), 0u);
    EXPECT_FALSE(DeleteObject(brush));
    EXPECT_FALSE(DeleteObject(nullptr));
}

TEST(Objects, DeletingASelectedBrushWaitsForItsContext)
{
    gdi_test::Canvas canvas(4, 4);
    HBRUSH brush = CreateSolidBrush(RGB(9, 8, 7));
    SelectObject(canvas.dc(), brush);
    EXPECT_TRUE(DeleteObject(brush));
    // Still in use: the context draws with it.
    SelectObject(canvas.dc(), GetStockObject(NULL_PEN));
    Rectangle(canvas.dc(), 0, 0, 3, 3);
    EXPECT_EQ(canvas.at(1, 1), RGB(9, 8, 7));
    SelectObject(canvas.dc(), GetStockObject(WHITE_BRUSH));
}

struct LoadCase {
    UINT flags;
    WORD expectedBitsPixel;
    bool expectBits;
};

class LoadBitmapFile : public ::testing::TestWithParam<LoadCase> {};

COLORREF filePixel(int x, int y) { return RGB(40 * x, 60 * y, 200); }

TEST_P(LoadBitmapFile, ReportsItsSizeAndKeepsItsPixels)
{
    const LoadCase c = GetParam();
    const std::string path = gdi_test::writeBmp24("gdi_conformance_5x3.bmp", 5, 3, filePixel);
    HBITMAP bitmap = static_cast<HBITMAP>(
        LoadImageA(nullptr, path.c_str(), IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE | c.flags));
    ASSERT_NE(bitmap, nullptr);
    BITMAP info{};
    info.bmBits = &info;  // sentinel
    ASSERT_EQ(GetObjectA(bitmap, sizeof info, &info), static_cast<int>(sizeof info));
    EXPECT_EQ(info.bmType, 0);
    EXPECT_EQ(info.bmWidth, 5);
    EXPECT_EQ(info.bmHeight, 3);
    EXPECT_EQ(info.bmPlanes, 1);
    EXPECT_EQ(info.bmBitsPixel, c.expectedBitsPixel);
    if (c.expectBits) {
        EXPECT_EQ(info.bmWidthBytes, 16);  // 15 bytes padded to a DWORD
        EXPECT_NE(info.bmBits, nullptr);
        EXPECT_NE(info.bmBits, static_cast<void *>(&info));
    } else {
        EXPECT_EQ(info.bmBits, nullptr);
    }

    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, bitmap);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 5; ++x)
            EXPECT_EQ(GetPixel(dc, x, y), filePixel(x, y)) << x << "," << y;
    SelectObject(dc, old);
    DeleteDC(dc);
    EXPECT_TRUE(DeleteObject(bitmap));
    std::remove(path.c_str());
}

// A device-dependent bitmap takes the screen's depth (32 bits here and on
// Wine's default display); a DIB section keeps the file's 24.
INSTANTIATE_TEST_SUITE_P(Flags, LoadBitmapFile,
                         ::testing::Values(LoadCase{LR_CREATEDIBSECTION, 24, true},
                                           LoadCase{0, 32, false}));

TEST(LoadImage, MissingFileGivesNull)
{
    SetLastError(0);
    EXPECT_EQ(LoadImageA(nullptr, "no_such_skin_file.bmp", IMAGE_BITMAP, 0, 0,
                         LR_LOADFROMFILE | LR_CREATEDIBSECTION),
              nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
}

TEST(LoadImage, AFileThatIsNoBitmapGivesNull)
{
    FILE *out = std::fopen("gdi_conformance_not_a_bitmap.bmp", "wb");
    ASSERT_NE(out, nullptr);
    std::fputs("BM but nothing else of a bitmap", out);
    std::fclose(out);
    EXPECT_EQ(LoadImageA(nullptr, "gdi_conformance_not_a_bitmap.bmp", IMAGE_BITMAP, 0, 0,
                         LR_LOADFROMFILE),
              nullptr);
    std::remove("gdi_conformance_not_a_bitmap.bmp");
}

TEST(Cursors, TheArrowIsASharedSystemCursor)
{
    HCURSOR arrow = LoadCursorA(nullptr, IDC_ARROW);
    ASSERT_NE(arrow, nullptr);
    EXPECT_EQ(LoadCursorA(nullptr, IDC_ARROW), arrow);
}

TEST(DrawIconEx, ComposesOverTheBrushAndCopies)
{
    // The system application icon drawn with a white flicker-free brush: the
    // whole 32 x 32 square is painted, transparent parts white.
    gdi_test::Canvas canvas(40, 40, RGB(7, 7, 7));
    HICON icon = LoadIconA(nullptr, IDI_APPLICATION);
    ASSERT_NE(icon, nullptr);
    EXPECT_TRUE(DrawIconEx(canvas.dc(), 4, 4, icon, 32, 32, 0,
                           static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)), DI_NORMAL));
    EXPECT_EQ(canvas.countOf(RGB(7, 7, 7), 4, 4, 36, 36), 0);
    EXPECT_EQ(canvas.countOtherThan(RGB(7, 7, 7), 0, 0, 40, 4), 0);
    EXPECT_EQ(canvas.countOtherThan(RGB(7, 7, 7), 36, 0, 40, 40), 0);
}

}  // namespace
