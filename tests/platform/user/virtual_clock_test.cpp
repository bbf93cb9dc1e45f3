// Timers on the headless display's virtual clock: waiting moves the clock
// to the next deadline, late timers coalesce, and the rhythm does not drift.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "headless_support.h"

namespace {

using headless_test::display;
using headless_test::logged;

class VirtualClockTimers : public ::testing::Test {
protected:
    void SetUp() override
    {
        headless_test::log().clear();
        window_ = headless_test::createWindow({}, RECT{0, 0, 10, 10});
        ASSERT_NE(window_, nullptr);
    }
    void TearDown() override { DestroyWindow(window_); }

    size_t ticks(UINT_PTR id) const
    {
        size_t count = 0;
        for (const auto &entry : logged(WM_TIMER))
            count += entry.wParam == id ? 1 : 0;
        return count;
    }

    HWND window_ = nullptr;
};

TEST_F(VirtualClockTimers, GetMessageWaitsExactlyUntilTheNextDeadline)
{
    const uint64_t start = display().now();
    SetTimer(window_, 100, 100, nullptr);
    MSG message;
    ASSERT_GT(GetMessageA(&message, nullptr, 0, 0), 0);
    EXPECT_EQ(message.message, static_cast<UINT>(WM_TIMER));
    EXPECT_EQ(message.wParam, 100u);
    EXPECT_EQ(display().now(), start + 100);
    ASSERT_GT(GetMessageA(&message, nullptr, 0, 0), 0);
    EXPECT_EQ(display().now(), start + 200);
}

TEST_F(VirtualClockTimers, ATimerThatFellBehindYieldsOneMessage)
{
    SetTimer(window_, 1, 100, nullptr);
    display().advance(1000);
    headless_test::pump();
    EXPECT_EQ(ticks(1), 1u);
    // The next deadline keeps the rhythm: 1100 ms after the start.
    display().advance(99);
    headless_test::pump();
    EXPECT_EQ(ticks(1), 1u);
    display().advance(1);
    headless_test::pump();
    EXPECT_EQ(ticks(1), 2u);
}

TEST_F(VirtualClockTimers, SettingTheSameIdAgainRestartsItsPeriod)
{
    SetTimer(window_, 1, 100, nullptr);
    display().advance(60);
    SetTimer(window_, 1, 100, nullptr);
    display().advance(50);
    headless_test::pump();
    EXPECT_EQ(ticks(1), 0u);
    display().advance(50);
    headless_test::pump();
    EXPECT_EQ(ticks(1), 1u);
}

TEST_F(VirtualClockTimers, KillingADueTimerTakesItsMessageToo)
{
    SetTimer(window_, 1, 100, nullptr);
    display().advance(250);
    KillTimer(window_, 1);
    headless_test::pump();
    EXPECT_EQ(ticks(1), 0u);
}

TEST_F(VirtualClockTimers, TwoTimersInterleaveByDeadline)
{
    // The program's pair: animation every 100 ms, play clock every second.
    const uint64_t start = display().now();
    SetTimer(window_, 100, 100, nullptr);
    SetTimer(window_, 101, 1000, nullptr);
    headless_test::runUntil([this] { return ticks(101) == 30; });
    EXPECT_EQ(display().now(), start + 30000);
    EXPECT_EQ(ticks(100), 300u);
    // Each play-clock tick follows the animation tick of the same moment.
    const auto timers = logged(WM_TIMER);
    ASSERT_GE(timers.size(), 11u);
    EXPECT_EQ(timers[9].wParam, 100u);
    EXPECT_EQ(timers[10].wParam, 101u);
}

TEST_F(VirtualClockTimers, PostingFromAnotherThreadWakesTheLoop)
{
    std::atomic<bool> posted{false};
    std::thread poster([this, &posted] {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        PostMessageA(window_, WM_USER + 9, 0, 0);
        posted = true;
    });
    MSG message;
    // No timer runs: only the other thread's message can end this wait.
    ASSERT_GT(GetMessageA(&message, nullptr, 0, 0), 0);
    poster.join();
    EXPECT_TRUE(posted);
    EXPECT_EQ(message.message, static_cast<UINT>(WM_USER + 9));
    EXPECT_EQ(message.hwnd, window_);
}

TEST(CrossThreadMessages, ASendFromAnotherThreadRunsTheProcedureOnTheGuiThread)
{
    static std::thread::id handledOn;
    HWND window = headless_test::createWindow(
        [](HWND window, UINT message, WPARAM wParam, LPARAM lParam) -> LRESULT {
            if (message == WM_USER + 10)
                handledOn = std::this_thread::get_id();
            return DefWindowProcA(window, message, wParam, lParam);
        },
        RECT{0, 0, 10, 10});
    std::thread sender([window] {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        SendMessageA(window, WM_USER + 10, 0, 0);
        PostMessageA(window, WM_USER + 11, 0, 0);
    });
    MSG message;
    ASSERT_GT(GetMessageA(&message, nullptr, 0, 0), 0);
    sender.join();
    EXPECT_EQ(message.message, static_cast<UINT>(WM_USER + 11));
    EXPECT_EQ(handledOn, std::this_thread::get_id());
    DestroyWindow(window);
}

TEST(HeadlessDisplayDeathTest, WaitingForInputNoTestScheduledEndsTheTestWithAReport)
{
    ::testing::FLAGS_gtest_death_test_style = "threadsafe";
    EXPECT_DEATH(
        {
            HWND window = headless_test::createWindow({}, RECT{0, 0, 10, 10});
            HMENU menu = CreatePopupMenu();
            AppendMenuA(menu, MF_STRING, 1, "Waiting item");
            // No timer runs and nobody answers the menu.
            TrackPopupMenu(menu, 0, 0, 0, 0, window, nullptr);
        },
        "no test scheduled(.|\n)*popup menu is open(.|\n)*Waiting item");
}

}  // namespace
