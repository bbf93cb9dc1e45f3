// Window and thread timers with deadlines on the display's monotonic clock.
//
// The platform's rules: a timer is identified by its window and id, and
// setting it again replaces it (new period, deadline counted from now);
// periods below 10 ms are raised to 10 ms; a timer that has come due yields
// one WM_TIMER however many periods went by (they coalesce), and once that
// message has been taken the next deadline is the first multiple of the
// period after now, so the rhythm does not drift. WM_TIMER carries the id
// in wParam and the callback (or 0) in lParam.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "platform/user32/message_queue.h"

namespace hp::user32 {

class TimerList {
public:
    static constexpr UINT minimumPeriodMilliseconds = 10;
    static constexpr UINT maximumPeriodMilliseconds = 0x7FFFFFFF;

    // Returns the timer's id (for a thread timer without an id, a fresh one).
    UINT_PTR set(HWND window, UINT_PTR id, UINT periodMilliseconds, TIMERPROC callback,
                 uint64_t now);
    bool kill(HWND window, UINT_PTR id);
    void killAllOf(HWND window);

    // The earliest deadline, if any timer runs.
    std::optional<uint64_t> nextDeadline() const;

    // The WM_TIMER of the earliest timer that is due and passes the filter.
    // With remove, the timer's next deadline is set.
    bool takeDue(MSG &message, const MessageFilter &filter, uint64_t now, bool remove);

    size_t count() const { return timers_.size(); }

private:
    struct Timer {
        HWND window = nullptr;
        UINT_PTR id = 0;
        UINT periodMilliseconds = 0;
        uint64_t deadline = 0;
        TIMERPROC callback = nullptr;
    };
    std::vector<Timer> timers_;
    UINT_PTR nextThreadTimerId_ = 0x7FFF;
};

}  // namespace hp::user32
