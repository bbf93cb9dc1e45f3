// Drawing through a window's device context lands in its surface and marks
// what changed, which is what the display presents.
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "platform/gdi32/shown_areas.h"
#include "platform/gdi32/surface.h"
#include "platform/win32.h"

namespace {

using hp::gdi32::Surface;

TEST(WindowSurface, DrawingMarksTheDamagedArea)
{
    auto surface = std::make_shared<Surface>(100, 60);
    HWND window = reinterpret_cast<HWND>(0x12340);
    HDC dc = hp::gdi32::createWindowDc(window, surface);
    ASSERT_NE(dc, nullptr);
    EXPECT_EQ(hp::gdi32::windowOfDc(dc), window);
    EXPECT_EQ(GetObjectType(dc), static_cast<DWORD>(OBJ_DC));
    EXPECT_FALSE(surface->hasDamage());

    HBRUSH brush = CreateSolidBrush(RGB(0, 84, 0));
    SelectObject(dc, GetStockObject(NULL_PEN));
    SelectObject(dc, brush);
    Rectangle(dc, 10, 20, 13, 23);
    Rectangle(dc, 40, 5, 43, 8);
    // Two dots far apart stay two small areas, not the box around them.
    std::vector<RECT> damage = surface->takeDamage();
    ASSERT_EQ(damage.size(), 2u);
    EXPECT_EQ(damage[0].left, 10);
    EXPECT_EQ(damage[0].top, 20);
    EXPECT_EQ(damage[0].right, 12);
    EXPECT_EQ(damage[0].bottom, 22);
    EXPECT_EQ(damage[1].left, 40);
    EXPECT_EQ(damage[1].top, 5);
    EXPECT_EQ(damage[1].right, 42);
    EXPECT_EQ(damage[1].bottom, 7);
    EXPECT_FALSE(surface->hasDamage());
    EXPECT_EQ(surface->at(10, 20), 0x005400u);
    EXPECT_EQ(surface->at(12, 20), 0u);

    // Drawing entirely outside damages nothing.
    Rectangle(dc, 200, 200, 210, 210);
    EXPECT_FALSE(surface->hasDamage());

    // A window context cannot hold a bitmap, and DeleteDC does not end it.
    HDC memory = CreateCompatibleDC(dc);
    HBITMAP bitmap = CreateCompatibleBitmap(dc, 4, 4);
    BITMAP info{};
    GetObjectA(bitmap, sizeof info, &info);
    EXPECT_EQ(info.bmBitsPixel, 32);  // compatible with the window: colour
    EXPECT_EQ(SelectObject(dc, bitmap), nullptr);
    EXPECT_FALSE(DeleteDC(dc));

    const DWORD before = hp::gdi32::liveGdiObjectCount();
    hp::gdi32::releaseWindowDc(dc);
    EXPECT_EQ(hp::gdi32::liveGdiObjectCount(), before - 1);
    EXPECT_EQ(GetObjectType(dc), 0u);
    DeleteObject(bitmap);
    DeleteDC(memory);
    DeleteObject(brush);
}

// Whatever is drawn, the damage covers it, stays a short list, and
// neighbours that touch are one area.
TEST(WindowSurface, DamageCoversEveryDrawingInFewAreas)
{
    Surface surface(632, 500);
    std::vector<RECT> drawn;
    unsigned seed = 12345;
    auto next = [&seed](int range) {
        seed = seed * 1103515245u + 12345u;
        return static_cast<int>((seed >> 16) % static_cast<unsigned>(range));
    };
    for (int i = 0; i < 200; ++i) {
        int x = next(620);
        int y = next(490);
        RECT area{x, y, x + 1 + next(12), y + 1 + next(12)};
        drawn.push_back(area);
        surface.addDamage(area);
    }
    std::vector<RECT> damage = surface.takeDamage();
    EXPECT_LE(damage.size(), Surface::maxDamageRectangles);
    for (const RECT &area : drawn) {
        for (LONG y = area.top; y < std::min<LONG>(area.bottom, 500); ++y)
            for (LONG x = area.left; x < std::min<LONG>(area.right, 632); ++x) {
                bool covered = false;
                for (const RECT &d : damage)
                    covered = covered || (x >= d.left && x < d.right && y >= d.top && y < d.bottom);
                ASSERT_TRUE(covered) << x << "," << y;
            }
    }

    // A sprite drawn in two halves is one area.
    surface.addDamage(RECT{100, 100, 108, 104});
    surface.addDamage(RECT{100, 104, 108, 108});
    damage = surface.takeDamage();
    ASSERT_EQ(damage.size(), 1u);
    EXPECT_EQ(damage[0].bottom, 108);
}

TEST(WindowSurface, PatternBrushAlignsToTheClientOrigin)
{
    // The class background: a pattern brush of the skin fills the client
    // area so that pixel (x, y) shows the skin's pixel (x, y).
    auto surface = std::make_shared<Surface>(20, 10);
    HDC dc = hp::gdi32::createWindowDc(reinterpret_cast<HWND>(0x12342), surface);
    HDC memory = CreateCompatibleDC(dc);
    HBITMAP skin = CreateCompatibleBitmap(dc, 20, 10);
    SelectObject(memory, skin);
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 20; ++x)
            SetPixel(memory, x, y, RGB(x * 10, y * 20, 5));
    HBRUSH background = CreatePatternBrush(skin);
    RECT part{7, 3, 15, 9};
    FillRect(dc, &part, background);
    for (int y = 3; y < 9; ++y)
        for (int x = 7; x < 15; ++x)
            ASSERT_EQ(surface->at(x, y), hp::gdi32::pixelFromColor(RGB(x * 10, y * 20, 5)));
    EXPECT_EQ(surface->at(6, 3), 0u);
    DeleteObject(background);
    DeleteDC(memory);
    DeleteObject(skin);
    hp::gdi32::releaseWindowDc(dc);
}

// The display sends an area again only where its pixels changed since it
// last sent it, and all of it once the screen was painted by other means.
TEST(WindowSurface, AnAreaDrawnAgainIsSentOnlyWhereItChanged)
{
    Surface surface(100, 60);
    hp::gdi32::ShownAreas shown;
    const RECT area{10, 20, 50, 40};
    auto same = [](const RECT &a, const RECT &b) {
        return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
    };

    EXPECT_TRUE(same(shown.changedPart(surface, area), area)) << "a new area goes whole";
    EXPECT_EQ(shown.changedPart(surface, area).right, 0) << "nothing changed";
    surface.row(25)[30] = 0x00FF0000;
    surface.row(33)[12] = 0x0000FF00;
    surface.row(5)[5] = 0x000000FF;  // outside the area
    EXPECT_TRUE(same(shown.changedPart(surface, area), RECT{12, 25, 31, 34}));
    EXPECT_EQ(shown.changedPart(surface, area).right, 0);
    shown.forget();
    EXPECT_TRUE(same(shown.changedPart(surface, area), area));
}

}  // namespace
