// Window timers: WM_TIMER with the id, replacement by id, KillTimer.
// Waits are bounded by a second timer that serves as a clock.
#include <gtest/gtest.h>

#include <algorithm>

#include "user_test_support.h"

namespace {

constexpr UINT_PTR fastTimer = 7;
constexpr UINT_PTR clockTimer = 8;

class Timers : public ::testing::Test {
protected:
    void SetUp() override
    {
        user_test::messageLog().clear();
        user_test::clearAnswers();
        window_ = user_test::createPopup(0, 0, 20, 20);
        ASSERT_NE(window_, nullptr);
    }
    void TearDown() override { DestroyWindow(window_); }

    // The ids of the WM_TIMER messages that arrive until the clock timer
    // has ticked `ticks` times (bounded by the watchdog of pumpUntil).
    std::vector<UINT_PTR> timerIdsUntilClockTicks(int ticks)
    {
        std::vector<UINT_PTR> ids;
        const size_t start = user_test::messageLog().size();
        auto clockTicks = [&] {
            int seen = 0;
            for (size_t i = start; i < user_test::messageLog().size(); ++i) {
                const auto &entry = user_test::messageLog()[i];
                if (entry.message == WM_TIMER && entry.wParam == clockTimer)
                    ++seen;
            }
            return seen >= ticks;
        };
        EXPECT_TRUE(user_test::pumpUntil(clockTicks));
        for (size_t i = start; i < user_test::messageLog().size(); ++i) {
            const auto &entry = user_test::messageLog()[i];
            if (entry.message == WM_TIMER && entry.window == window_)
                ids.push_back(entry.wParam);
        }
        return ids;
    }

    HWND window_ = nullptr;
};

int countOf(const std::vector<UINT_PTR> &ids, UINT_PTR id)
{
    return static_cast<int>(std::count(ids.begin(), ids.end(), id));
}

TEST_F(Timers, TimerMessagesCarryTheIdAndKeepComing)
{
    EXPECT_EQ(SetTimer(window_, fastTimer, 20, nullptr), fastTimer);
    EXPECT_EQ(SetTimer(window_, clockTimer, 200, nullptr), clockTimer);
    const auto ids = timerIdsUntilClockTicks(1);
    EXPECT_GE(countOf(ids, fastTimer), 2) << "a 20 ms timer ticks several times in 200 ms";
    const auto timers = user_test::logged(WM_TIMER);
    ASSERT_FALSE(timers.empty());
    EXPECT_EQ(timers.front().window, window_);
    EXPECT_EQ(timers.front().lParam, 0);
}

TEST_F(Timers, SettingAnExistingIdReplacesTheTimer)
{
    SetTimer(window_, fastTimer, 20, nullptr);
    // The same id again: one timer, now with the long period.
    EXPECT_EQ(SetTimer(window_, fastTimer, 60000, nullptr), fastTimer);
    SetTimer(window_, clockTimer, 100, nullptr);
    const auto ids = timerIdsUntilClockTicks(3);
    EXPECT_EQ(countOf(ids, fastTimer), 0);
    EXPECT_EQ(countOf(ids, clockTimer), 3);
}

TEST_F(Timers, KilledTimersStopAndUnknownOnesCannotBeKilled)
{
    SetTimer(window_, fastTimer, 20, nullptr);
    SetTimer(window_, clockTimer, 100, nullptr);
    EXPECT_TRUE(KillTimer(window_, fastTimer));
    const auto ids = timerIdsUntilClockTicks(2);
    EXPECT_EQ(countOf(ids, fastTimer), 0);
    EXPECT_FALSE(KillTimer(window_, fastTimer));
    EXPECT_FALSE(KillTimer(window_, 4242));
}

TEST_F(Timers, TimersOfADestroyedWindowAreGone)
{
    HWND other = user_test::createPopup(0, 0, 10, 10);
    ASSERT_NE(other, nullptr);
    SetTimer(other, fastTimer, 10, nullptr);
    DestroyWindow(other);
    SetTimer(window_, clockTimer, 100, nullptr);
    timerIdsUntilClockTicks(2);
    for (const auto &entry : user_test::logged(WM_TIMER))
        EXPECT_NE(entry.window, other);
}

int callbackCalls = 0;
UINT_PTR callbackTimer = 0;

void CALLBACK countingTimerProcedure(HWND window, UINT message, UINT_PTR timer, DWORD)
{
    if (!window && message == WM_TIMER) {
        ++callbackCalls;
        callbackTimer = timer;
    }
}

TEST_F(Timers, ThreadTimersCallTheirCallbackThroughDispatch)
{
    callbackCalls = 0;
    const UINT_PTR id = SetTimer(nullptr, 0, 20, countingTimerProcedure);
    ASSERT_NE(id, 0u);
    EXPECT_TRUE(user_test::pumpUntil([] { return callbackCalls >= 2; }));
    EXPECT_EQ(callbackTimer, id);
    EXPECT_TRUE(KillTimer(nullptr, id));
}

}  // namespace
