// The GUI thread's message queue: posted messages, input from the display,
// messages sent from outside a window procedure, and the quit flag.
//
// Retrieval order is the platform's (message_pump.h decides it): deferred
// sends, then posted messages in FIFO order, then the quit message once no
// posted message is left, then input, then WM_PAINT, then WM_TIMER.
//
// Threading: post(), postQuit(), sendLater() and callLater() may be called
// from any thread and wake the display; everything else belongs to the GUI
// thread.
#pragma once

#include <deque>
#include <functional>
#include <mutex>

#include "platform/win32.h"

namespace hp::user32 {

struct MessageFilter {
    // Null: every message; otherwise the window test (thread messages have
    // a null hwnd).
    std::function<bool(HWND)> windowMatches;
    UINT first = 0;
    UINT last = 0;

    bool matchesMessage(UINT message) const
    {
        return (first == 0 && last == 0) || (message >= first && message <= last);
    }
    bool matches(const MSG &message) const
    {
        return matchesMessage(message.message) &&
               (!windowMatches || windowMatches(message.hwnd));
    }
};

class MessageQueue {
public:
    void post(const MSG &message);
    void postQuit(int exitCode);

    // Input from the display. A mouse move replaces a mouse move for the
    // same window that is still waiting at the end of the queue, as the
    // platform coalesces them.
    void postInput(const MSG &message);

    // Messages that must reach their window procedure through SendMessageA
    // the next time the thread looks at its queue.
    void sendLater(const MSG &message);
    // Work another thread needs done on the GUI thread, run the next time
    // the thread looks at its queue (before the deferred sends).
    void callLater(std::function<void()> call);

    bool takeCall(std::function<void()> &call);
    bool takeDeferredSend(MSG &message);
    bool takePosted(MSG &message, const MessageFilter &filter, bool remove);
    // The quit message, once no posted message is left.
    bool takeQuit(MSG &message, const MessageFilter &filter, bool remove);
    bool takeInput(MSG &message, const MessageFilter &filter, bool remove);

    // Drops everything addressed to a window that is going away.
    void discardFor(HWND window);

private:
    mutable std::mutex lock_;
    std::deque<MSG> posted_;
    bool quitPending_ = false;
    int quitCode_ = 0;
    std::deque<MSG> input_;
    std::deque<MSG> deferredSends_;
    std::deque<std::function<void()>> calls_;
};

}  // namespace hp::user32
