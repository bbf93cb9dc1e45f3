#include "platform/user32/timer_list.h"

#include <algorithm>

namespace hp::user32 {

UINT_PTR TimerList::set(HWND window, UINT_PTR id, UINT periodMilliseconds, TIMERPROC callback,
                        uint64_t now)
{
    const UINT period = std::clamp(periodMilliseconds, minimumPeriodMilliseconds,
                                   maximumPeriodMilliseconds);
    if (!window && id == 0) {
        // Thread timers without an id get one counted down from 0x7FFF, as
        // the platform hands them out.
        id = nextThreadTimerId_--;
        if (nextThreadTimerId_ == 0)
            nextThreadTimerId_ = 0x7FFF;
    }
    for (Timer &timer : timers_) {
        if (timer.window == window && timer.id == id) {
            timer.periodMilliseconds = period;
            timer.deadline = now + period;
            timer.callback = callback;
            return id;
        }
    }
    timers_.push_back(Timer{window, id, period, now + period, callback});
    return id;
}

bool TimerList::kill(HWND window, UINT_PTR id)
{
    auto it = std::find_if(timers_.begin(), timers_.end(), [&](const Timer &timer) {
        return timer.window == window && timer.id == id;
    });
    if (it == timers_.end())
        return false;
    timers_.erase(it);
    return true;
}

void TimerList::killAllOf(HWND window)
{
    timers_.erase(std::remove_if(timers_.begin(), timers_.end(),
                                 [window](const Timer &timer) { return timer.window == window; }),
                  timers_.end());
}

std::optional<uint64_t> TimerList::nextDeadline() const
{
    std::optional<uint64_t> earliest;
    for (const Timer &timer : timers_) {
        if (!earliest || timer.deadline < *earliest)
            earliest = timer.deadline;
    }
    return earliest;
}

bool TimerList::takeDue(MSG &message, const MessageFilter &filter, uint64_t now, bool remove)
{
    if (!filter.matchesMessage(WM_TIMER))
        return false;
    Timer *due = nullptr;
    for (Timer &timer : timers_) {
        if (timer.deadline > now)
            continue;
        if (filter.windowMatches && !filter.windowMatches(timer.window))
            continue;
        if (!due || timer.deadline < due->deadline)
            due = &timer;
    }
    if (!due)
        return false;
    message = MSG{};
    message.hwnd = due->window;
    message.message = WM_TIMER;
    message.wParam = due->id;
    message.lParam = reinterpret_cast<LPARAM>(due->callback);
    if (remove) {
        const uint64_t periods = (now - due->deadline) / due->periodMilliseconds + 1;
        due->deadline += periods * due->periodMilliseconds;
    }
    return true;
}

}  // namespace hp::user32
