// What the screen shows of a window: the class brush, what WM_PAINT draws,
// and drawing through GetDC that shows as soon as the context is released.
#include <gtest/gtest.h>

#include "headless_support.h"

namespace {

using headless_test::display;
using headless_test::logged;

constexpr uint32_t red = 0xC80000;
constexpr uint32_t blue = 0x0000FF;
constexpr uint32_t green = 0x00FF00;

void fill(HDC dc, RECT rect, COLORREF color)
{
    HBRUSH brush = CreateSolidBrush(color);
    FillRect(dc, &rect, brush);
    DeleteObject(brush);
}

class HeadlessPainting : public ::testing::Test {
protected:
    void SetUp() override { headless_test::log().clear(); }
};

TEST_F(HeadlessPainting, ClassBrushErasesAndThePaintHandlerDrawsOverIt)
{
    HBRUSH background = CreateSolidBrush(RGB(0xC8, 0, 0));
    HWND window = headless_test::createWindow(
        [](HWND window, UINT message, WPARAM wParam, LPARAM lParam) -> LRESULT {
            if (message == WM_PAINT) {
                PAINTSTRUCT paint;
                HDC dc = BeginPaint(window, &paint);
                fill(dc, RECT{10, 10, 20, 20}, RGB(0, 0, 255));
                EndPaint(window, &paint);
                return 0;
            }
            return DefWindowProcA(window, message, wParam, lParam);
        },
        RECT{100, 50, 164, 98}, WS_POPUP, background);
    ASSERT_NE(window, nullptr);
    ShowWindow(window, SW_SHOW);
    headless_test::pump();

    const auto *shown = display().window(window);
    ASSERT_NE(shown, nullptr);
    EXPECT_TRUE(shown->visible);
    EXPECT_EQ(shown->clientRect.left, 100);
    EXPECT_EQ(shown->clientRect.top, 50);
    ASSERT_EQ(shown->width, 64);
    ASSERT_EQ(shown->height, 48);
    EXPECT_EQ(shown->shownPixel(0, 0), red);
    EXPECT_EQ(shown->shownPixel(63, 47), red);
    EXPECT_EQ(shown->shownPixel(10, 10), blue);
    EXPECT_EQ(shown->shownPixel(19, 19), blue);
    EXPECT_EQ(shown->shownPixel(20, 20), red);
    EXPECT_EQ(logged(WM_ERASEBKGND).size(), 1u);
    DestroyWindow(window);
    DeleteObject(background);
}

TEST_F(HeadlessPainting, DrawingThroughGetDcShowsWhenTheContextIsReleased)
{
    HWND window = headless_test::createWindow({}, RECT{0, 0, 40, 40});
    ShowWindow(window, SW_SHOW);
    headless_test::pump();
    const auto *shown = display().window(window);
    ASSERT_NE(shown, nullptr);
    const int presentsBefore = shown->presentCount;

    HDC dc = GetDC(window);
    ASSERT_NE(dc, nullptr);
    fill(dc, RECT{4, 6, 9, 11}, RGB(0, 255, 0));
    EXPECT_NE(shown->shownPixel(5, 7), green) << "nothing shows before ReleaseDC";
    EXPECT_EQ(ReleaseDC(window, dc), 1);
    EXPECT_EQ(shown->shownPixel(5, 7), green);
    EXPECT_EQ(shown->presentCount, presentsBefore + 1);
    EXPECT_EQ(shown->lastPresented.left, 4);
    EXPECT_EQ(shown->lastPresented.top, 6);
    EXPECT_EQ(shown->lastPresented.right, 9);
    EXPECT_EQ(shown->lastPresented.bottom, 11);
    // No WM_PAINT was needed for it.
    EXPECT_EQ(ReleaseDC(window, dc), 0) << "a context is released once";
    DestroyWindow(window);
}

TEST_F(HeadlessPainting, InvalidationsMergeIntoOnePaintAndEraseOnlyWhenAsked)
{
    static RECT paintArea;
    static BOOL eraseFlag;
    HWND window = headless_test::createWindow(
        [](HWND window, UINT message, WPARAM wParam, LPARAM lParam) -> LRESULT {
            if (message == WM_PAINT) {
                PAINTSTRUCT paint;
                BeginPaint(window, &paint);
                paintArea = paint.rcPaint;
                eraseFlag = paint.fErase;
                EndPaint(window, &paint);
                return 0;
            }
            if (message == WM_ERASEBKGND)
                return 0;  // leaves the erasing to the paint handler
            return DefWindowProcA(window, message, wParam, lParam);
        },
        RECT{0, 0, 100, 100});
    ShowWindow(window, SW_SHOW);
    headless_test::pump();
    headless_test::log().clear();

    const RECT first{10, 10, 20, 20};
    const RECT second{50, 60, 70, 80};
    InvalidateRect(window, &first, FALSE);
    InvalidateRect(window, &second, FALSE);
    headless_test::pump();
    ASSERT_EQ(logged(WM_PAINT).size(), 1u);
    EXPECT_TRUE(logged(WM_ERASEBKGND).empty());
    EXPECT_EQ(paintArea.left, 10);
    EXPECT_EQ(paintArea.top, 10);
    EXPECT_EQ(paintArea.right, 70);
    EXPECT_EQ(paintArea.bottom, 80);
    EXPECT_FALSE(eraseFlag);

    headless_test::log().clear();
    const RECT outside{90, 90, 200, 200};
    InvalidateRect(window, &outside, TRUE);
    headless_test::pump();
    ASSERT_EQ(logged(WM_ERASEBKGND).size(), 1u);
    EXPECT_TRUE(eraseFlag) << "the erase handler returned 0, so the background still needs it";
    EXPECT_EQ(paintArea.right, 100) << "the area is clipped to the client";
    EXPECT_EQ(paintArea.bottom, 100);
    DestroyWindow(window);
}

TEST_F(HeadlessPainting, HiddenWindowsGetNoPaintUntilShown)
{
    HWND window = headless_test::createWindow({}, RECT{0, 0, 10, 10});
    InvalidateRect(window, nullptr, FALSE);
    headless_test::pump();
    EXPECT_TRUE(logged(WM_PAINT).empty());
    ShowWindow(window, SW_SHOW);
    headless_test::pump();
    EXPECT_EQ(logged(WM_PAINT).size(), 1u);
    DestroyWindow(window);
}

TEST_F(HeadlessPainting, UpdateWindowPaintsAtOnce)
{
    HWND window = headless_test::createWindow({}, RECT{0, 0, 10, 10});
    ShowWindow(window, SW_SHOW);
    EXPECT_TRUE(logged(WM_PAINT).empty());
    UpdateWindow(window);
    EXPECT_EQ(logged(WM_PAINT).size(), 1u);
    UpdateWindow(window);
    EXPECT_EQ(logged(WM_PAINT).size(), 1u) << "nothing left to paint";
    DestroyWindow(window);
}

TEST_F(HeadlessPainting, APatternBrushBackgroundTilesFromTheClientOrigin)
{
    // A 2 x 2 checker as the class background, the way the program uses its
    // skin bitmap.
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP pattern = CreateCompatibleBitmap(screen, 2, 2);
    HGDIOBJ previous = SelectObject(memory, pattern);
    SetPixel(memory, 0, 0, RGB(255, 0, 0));
    SetPixel(memory, 1, 0, RGB(0, 0, 255));
    SetPixel(memory, 0, 1, RGB(0, 0, 255));
    SetPixel(memory, 1, 1, RGB(255, 0, 0));
    SelectObject(memory, previous);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    HBRUSH brush = CreatePatternBrush(pattern);
    ASSERT_NE(brush, nullptr);

    HWND window = headless_test::createWindow({}, RECT{33, 17, 41, 25}, WS_POPUP, brush);
    ShowWindow(window, SW_SHOW);
    headless_test::pump();
    const auto *shown = display().window(window);
    ASSERT_NE(shown, nullptr);
    for (int y = 0; y < 8; ++y) {
        for (int x = 0; x < 8; ++x) {
            const uint32_t expected = ((x + y) % 2 == 0) ? 0xFF0000u : 0x0000FFu;
            EXPECT_EQ(shown->shownPixel(x, y), expected) << x << "," << y;
        }
    }
    DestroyWindow(window);
    DeleteObject(brush);
    DeleteObject(pattern);
}

}  // namespace
