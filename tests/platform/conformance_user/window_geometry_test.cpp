// Window and client rectangles, moving and sizing, and the screen metrics.
#include <gtest/gtest.h>

#include <cstring>

#include "user_test_support.h"

namespace {

RECT sentinelRect()
{
    RECT rect;
    std::memset(&rect, 0xCC, sizeof rect);
    return rect;
}

void expectRect(const RECT &rect, LONG left, LONG top, LONG right, LONG bottom)
{
    EXPECT_EQ(rect.left, left);
    EXPECT_EQ(rect.top, top);
    EXPECT_EQ(rect.right, right);
    EXPECT_EQ(rect.bottom, bottom);
}

TEST(WindowGeometry, APopupWithoutBorderIsAllClient)
{
    HWND window = user_test::createPopup(100, 120, 632, 500, WS_POPUP | WS_SYSMENU);
    ASSERT_NE(window, nullptr);
    RECT client = sentinelRect();
    RECT outer = sentinelRect();
    ASSERT_TRUE(GetClientRect(window, &client));
    ASSERT_TRUE(GetWindowRect(window, &outer));
    expectRect(client, 0, 0, 632, 500);
    expectRect(outer, 100, 120, 732, 620);

    POINT point{10, 20};
    ASSERT_TRUE(ClientToScreen(window, &point));
    EXPECT_EQ(point.x, 110);
    EXPECT_EQ(point.y, 140);
    ASSERT_TRUE(ScreenToClient(window, &point));
    EXPECT_EQ(point.x, 10);
    EXPECT_EQ(point.y, 20);
    DestroyWindow(window);
}

TEST(WindowGeometry, ACaptionedFrameSurroundsTheClientAsAdjustWindowRectSays)
{
    const DWORD style = WS_POPUP | WS_CAPTION | WS_SYSMENU;
    HWND window = user_test::createPopup(50, 60, 300, 200, style);
    ASSERT_NE(window, nullptr);
    RECT client = sentinelRect();
    RECT outer = sentinelRect();
    ASSERT_TRUE(GetClientRect(window, &client));
    ASSERT_TRUE(GetWindowRect(window, &outer));
    RECT frame{0, 0, 0, 0};
    ASSERT_TRUE(AdjustWindowRectEx(&frame, style, FALSE, 0));
    EXPECT_LT(frame.top, frame.left) << "the caption adds to the top";
    EXPECT_EQ(client.right, (outer.right - outer.left) - (frame.right - frame.left));
    EXPECT_EQ(client.bottom, (outer.bottom - outer.top) - (frame.bottom - frame.top));

    POINT origin{0, 0};
    ClientToScreen(window, &origin);
    EXPECT_EQ(origin.x, outer.left - frame.left);
    EXPECT_EQ(origin.y, outer.top - frame.top);
    DestroyWindow(window);
}

TEST(WindowGeometry, SetWindowPosMovesAndSizesAsAsked)
{
    HWND window = user_test::createPopup(0, 0, 200, 100);
    ASSERT_NE(window, nullptr);
    RECT rect = sentinelRect();

    ASSERT_TRUE(SetWindowPos(window, nullptr, 30, 40, 0, 0, SWP_NOSIZE | SWP_NOZORDER));
    GetWindowRect(window, &rect);
    expectRect(rect, 30, 40, 230, 140);

    ASSERT_TRUE(SetWindowPos(window, nullptr, 0, 0, 50, 60, SWP_NOMOVE | SWP_NOZORDER));
    GetWindowRect(window, &rect);
    expectRect(rect, 30, 40, 80, 100);
    GetClientRect(window, &rect);
    expectRect(rect, 0, 0, 50, 60);

    ASSERT_TRUE(SetWindowPos(window, nullptr, -10, -20, 70, 80, SWP_NOZORDER));
    GetWindowRect(window, &rect);
    expectRect(rect, -10, -20, 60, 60);
    DestroyWindow(window);
}

TEST(WindowGeometry, MovesAndSizesAreReportedToTheWindow)
{
    HWND window = user_test::createPopup(0, 0, 200, 100);
    ASSERT_NE(window, nullptr);
    user_test::messageLog().clear();
    SetWindowPos(window, nullptr, 15, 25, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    const auto moves = user_test::logged(WM_MOVE);
    ASSERT_FALSE(moves.empty());
    EXPECT_EQ(LOWORD(moves.back().lParam), 15);
    EXPECT_EQ(HIWORD(moves.back().lParam), 25);

    SetWindowPos(window, nullptr, 0, 0, 120, 80, SWP_NOMOVE | SWP_NOZORDER);
    const auto sizes = user_test::logged(WM_SIZE);
    ASSERT_FALSE(sizes.empty());
    EXPECT_EQ(LOWORD(sizes.back().lParam), 120);
    EXPECT_EQ(HIWORD(sizes.back().lParam), 80);
    DestroyWindow(window);
}

TEST(WindowGeometry, ShowWindowReportsThePreviousVisibility)
{
    HWND window = user_test::createPopup(0, 0, 20, 20);
    ASSERT_NE(window, nullptr);
    EXPECT_FALSE(IsWindowVisible(window));
    EXPECT_FALSE(ShowWindow(window, SW_SHOW));
    EXPECT_TRUE(IsWindowVisible(window));
    EXPECT_TRUE(ShowWindow(window, SW_SHOW));
    EXPECT_TRUE(ShowWindow(window, SW_HIDE));
    EXPECT_FALSE(IsWindowVisible(window));
    DestroyWindow(window);
}

TEST(WindowGeometry, FullScreenMetricsFitTheScreen)
{
    const int screenWidth = GetSystemMetrics(SM_CXSCREEN);
    const int screenHeight = GetSystemMetrics(SM_CYSCREEN);
    const int fullWidth = GetSystemMetrics(SM_CXFULLSCREEN);
    const int fullHeight = GetSystemMetrics(SM_CYFULLSCREEN);
    EXPECT_GT(fullWidth, 0);
    EXPECT_GT(fullHeight, 0);
    EXPECT_LE(fullWidth, screenWidth);
    // The full-screen client area leaves room for a caption. Known
    // difference: Wine derives it from its own maximised-window metrics and
    // can exceed the screen.
    if (!user_test::runningUnderWine()) {
        EXPECT_LE(fullHeight, screenHeight - GetSystemMetrics(SM_CYCAPTION));
    }
}

TEST(WindowGeometry, OperationsOnAMissingWindowFail)
{
    HWND window = user_test::createPopup(0, 0, 20, 20);
    DestroyWindow(window);
    RECT rect = sentinelRect();
    SetLastError(0);
    EXPECT_FALSE(GetWindowRect(window, &rect));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_WINDOW_HANDLE));
    EXPECT_EQ(rect.left, sentinelRect().left);
    EXPECT_FALSE(GetClientRect(window, &rect));
    EXPECT_FALSE(SetWindowPos(window, nullptr, 0, 0, 1, 1, SWP_NOZORDER));
    EXPECT_FALSE(DestroyWindow(window));
    EXPECT_FALSE(IsWindow(window));
}

}  // namespace
