// Input from the display: clicks and moves in client coordinates, the
// window move the program starts from a click, the close box, the window
// brought to the front, and the screen metrics the program centres its
// window with.
#include <gtest/gtest.h>

#include "headless_support.h"
#include "platform/user32/media_commands.h"
#include "platform/user32/window_system.h"

namespace {

using headless_test::display;
using headless_test::logged;
using hp::user32::MouseButton;

class HeadlessInput : public ::testing::Test {
protected:
    void SetUp() override
    {
        headless_test::log().clear();
        window_ = headless_test::createWindow(
            [](HWND window, UINT message, WPARAM wParam, LPARAM lParam) -> LRESULT {
                // The program turns every press into a move of the window.
                if (message == WM_LBUTTONDOWN)
                    PostMessageA(window, WM_NCLBUTTONDOWN, HTCAPTION, lParam);
                return DefWindowProcA(window, message, wParam, lParam);
            },
            RECT{100, 80, 732, 580}, WS_POPUP | WS_SYSMENU);
        ShowWindow(window_, SW_SHOW);
        headless_test::pump();
    }
    void TearDown() override
    {
        if (IsWindow(window_))
            DestroyWindow(window_);
    }
    HWND window_ = nullptr;
};

TEST_F(HeadlessInput, ClicksArriveInClientCoordinatesWithTheButtonState)
{
    display().click(window_, POINT{12, 34});
    display().press(window_, POINT{600, 450}, MouseButton::Right);
    headless_test::pump();

    const auto downs = logged(WM_LBUTTONDOWN);
    ASSERT_EQ(downs.size(), 1u);
    EXPECT_EQ(downs[0].lParam, MAKELPARAM(12, 34));
    EXPECT_EQ(downs[0].wParam, static_cast<WPARAM>(MK_LBUTTON));
    const auto ups = logged(WM_LBUTTONUP);
    ASSERT_EQ(ups.size(), 1u);
    EXPECT_EQ(ups[0].wParam, 0u);
    const auto rights = logged(WM_RBUTTONDOWN);
    ASSERT_EQ(rights.size(), 1u);
    EXPECT_EQ(LOWORD(rights[0].lParam), 600);
    EXPECT_EQ(HIWORD(rights[0].lParam), 450);
    EXPECT_EQ(rights[0].wParam, static_cast<WPARAM>(MK_RBUTTON));

    POINT cursor{};
    GetCursorPos(&cursor);
    EXPECT_EQ(cursor.x, 700);
    EXPECT_EQ(cursor.y, 530);
}

TEST_F(HeadlessInput, MovesWaitingInTheQueueCoalesceIntoTheLatest)
{
    display().moveMouse(window_, POINT{1, 1});
    display().moveMouse(window_, POINT{2, 2});
    display().moveMouse(window_, POINT{3, 4});
    headless_test::pump();
    const auto moves = logged(WM_MOUSEMOVE);
    ASSERT_EQ(moves.size(), 1u);
    EXPECT_EQ(moves[0].lParam, MAKELPARAM(3, 4));
}

TEST_F(HeadlessInput, APressStartsAMoveThatTheWindowSystemCarriesOut)
{
    const auto *shown = display().window(window_);
    ASSERT_NE(shown, nullptr);
    display().press(window_, POINT{50, 60});
    headless_test::pump();
    EXPECT_EQ(shown->moveRequests, 1);
    ASSERT_EQ(logged(WM_NCLBUTTONDOWN).size(), 1u);
    ASSERT_FALSE(logged(WM_SYSCOMMAND).empty());
    EXPECT_EQ(logged(WM_SYSCOMMAND)[0].wParam & 0xFFF0, static_cast<WPARAM>(SC_MOVE));

    headless_test::log().clear();
    display().moveWindowTo(window_, POINT{300, 250});
    headless_test::pump();
    RECT rect{};
    GetWindowRect(window_, &rect);
    EXPECT_EQ(rect.left, 300);
    EXPECT_EQ(rect.top, 250);
    EXPECT_EQ(rect.right, 932);
    EXPECT_EQ(rect.bottom, 750);
    const auto moves = logged(WM_MOVE);
    ASSERT_EQ(moves.size(), 1u);
    EXPECT_EQ(moves[0].lParam, MAKELPARAM(300, 250));
}

TEST_F(HeadlessInput, TheCloseBoxClosesAndDestroysTheWindow)
{
    display().pressCloseBox(window_);
    headless_test::pump();
    EXPECT_EQ(logged(WM_CLOSE).size(), 1u);
    EXPECT_EQ(logged(WM_DESTROY).size(), 1u);
    EXPECT_FALSE(IsWindow(window_));
    EXPECT_EQ(display().window(window_), nullptr) << "the screen lets go of it";
}

TEST_F(HeadlessInput, ADisabledWindowTakesNoInput)
{
    EnableWindow(window_, FALSE);
    display().click(window_, POINT{5, 5});
    display().pressCloseBox(window_);
    headless_test::pump();
    EXPECT_TRUE(logged(WM_LBUTTONDOWN).empty());
    EXPECT_TRUE(IsWindow(window_));
    EnableWindow(window_, TRUE);
    display().click(window_, POINT{5, 5});
    headless_test::pump();
    EXPECT_EQ(logged(WM_LBUTTONDOWN).size(), 1u);
}

TEST_F(HeadlessInput, ToTheForegroundGoesAShownWindowOnly)
{
    EXPECT_TRUE(SetForegroundWindow(window_));
    EXPECT_EQ(display().window(window_)->raiseRequests, 1);
    HWND hidden = CreateWindowExA(0, "Static", "hidden", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                  nullptr, nullptr);
    EXPECT_FALSE(SetForegroundWindow(hidden)) << "no screen shows it";
    DestroyWindow(hidden);
    EXPECT_FALSE(SetForegroundWindow(hidden));
}

// Media keys come from the keyboard, the desktop's media controls from
// another device; both reach the shown main window as WM_APPCOMMAND.
TEST_F(HeadlessInput, MediaKeysAndMediaControlsArriveAsAppCommands)
{
    hp::user32::WindowSystem::instance().mediaKeyPressed(window_, APPCOMMAND_MEDIA_NEXTTRACK);
    headless_test::pump();
    hp::user32::postMediaCommand(APPCOMMAND_MEDIA_PLAY_PAUSE);
    headless_test::pump();
    const auto commands = logged(WM_APPCOMMAND);
    ASSERT_EQ(commands.size(), 2u);
    EXPECT_EQ(commands[0].wParam, reinterpret_cast<WPARAM>(window_));
    EXPECT_EQ(GET_APPCOMMAND_LPARAM(commands[0].lParam), APPCOMMAND_MEDIA_NEXTTRACK);
    EXPECT_EQ(GET_DEVICE_LPARAM(commands[0].lParam), FAPPCOMMAND_KEY);
    EXPECT_EQ(GET_APPCOMMAND_LPARAM(commands[1].lParam), APPCOMMAND_MEDIA_PLAY_PAUSE);
    EXPECT_EQ(GET_DEVICE_LPARAM(commands[1].lParam), FAPPCOMMAND_OEM);

    EnableWindow(window_, FALSE);
    hp::user32::WindowSystem::instance().mediaKeyPressed(window_, APPCOMMAND_MEDIA_STOP);
    headless_test::pump();
    EXPECT_EQ(logged(WM_APPCOMMAND).size(), 2u) << "a disabled window takes no key";
    EnableWindow(window_, TRUE);

    // A child leaves the commands it does not take to its parent.
    HWND child = CreateWindowExA(0, "Static", "", WS_CHILD, 0, 0, 10, 10, window_, nullptr,
                                 nullptr, nullptr);
    SendMessageA(child, WM_APPCOMMAND, reinterpret_cast<WPARAM>(child),
                 MAKELPARAM(0, APPCOMMAND_MEDIA_STOP));
    ASSERT_EQ(logged(WM_APPCOMMAND).size(), 3u);
    EXPECT_EQ(GET_APPCOMMAND_LPARAM(logged(WM_APPCOMMAND)[2].lParam), APPCOMMAND_MEDIA_STOP);

    hp::user32::raiseMainWindow();
    EXPECT_EQ(display().window(window_)->raiseRequests, 1);
    hp::user32::closeMainWindow();
    headless_test::pump();
    EXPECT_FALSE(IsWindow(window_)) << "the quit of the media controls closes the window";
    EXPECT_EQ(hp::user32::mainWindow(), nullptr);
    hp::user32::postMediaCommand(APPCOMMAND_MEDIA_STOP);  // no window: nothing happens
}

TEST(HeadlessScreen, FullScreenMetricsComeFromTheWorkArea)
{
    display().setScreen(SIZE{1280, 1024}, RECT{0, 0, 1280, 994});
    EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN), 1280);
    EXPECT_EQ(GetSystemMetrics(SM_CYSCREEN), 1024);
    EXPECT_EQ(GetSystemMetrics(SM_CXFULLSCREEN), 1280);
    EXPECT_EQ(GetSystemMetrics(SM_CYFULLSCREEN), 994 - GetSystemMetrics(SM_CYCAPTION));
}

}  // namespace
