// The message loop's side of the window system: retrieval in the platform's
// order (posted messages, quit, input, paint, then due timers), waiting for
// work, modal loops, and the end of the user's session.
#include "platform/user32/window_system.h"

#include "platform/user32/session_end.h"

namespace hp::user32 {

MessageFilter WindowSystem::makeFilter(HWND windowFilter, UINT first, UINT last) const
{
    MessageFilter filter;
    filter.first = first;
    filter.last = last;
    if (windowFilter == reinterpret_cast<HWND>(-1)) {
        filter.windowMatches = [](HWND window) { return window == nullptr; };
    } else if (windowFilter) {
        filter.windowMatches = [this, windowFilter](HWND window) {
            return window == windowFilter || isDescendant(window, windowFilter);
        };
    }
    return filter;
}

bool WindowSystem::takePaint(MSG &message, const MessageFilter &filter)
{
    if (!filter.matchesMessage(WM_PAINT))
        return false;
    for (HWND handle : windows_.handles()) {
        const Window *window = windows_.find(handle);
        if (!window || !window->hasInvalidArea() || window->destroying)
            continue;
        bool shown = true;
        for (const Window *w = window; w; w = windows_.find(w->parent))
            shown = shown && w->visible();
        if (!shown)
            continue;
        if (filter.windowMatches && !filter.windowMatches(handle))
            continue;
        message = MSG{};
        message.hwnd = handle;
        message.message = WM_PAINT;
        return true;
    }
    return false;
}

void WindowSystem::stamp(MSG &message)
{
    message.time = static_cast<DWORD>(display().nowMilliseconds());
    message.pt = lastCursor_;
}

bool WindowSystem::peek(MSG &message, HWND windowFilter, UINT first, UINT last, bool remove)
{
    if (!guiThread_)
        guiThread_ = std::this_thread::get_id();
    presentAllDamage();
    if (sessionEndRequested() && !endingSession_ && !quitTaken_)
        endSession();

    std::function<void()> call;
    while (queue_.takeCall(call))
        call();
    MSG sent;
    while (queue_.takeDeferredSend(sent))
        send(sent.hwnd, sent.message, sent.wParam, sent.lParam);

    const MessageFilter filter = makeFilter(windowFilter, first, last);
    const bool found = queue_.takePosted(message, filter, remove) ||
                       queue_.takeQuit(message, filter, remove) ||
                       queue_.takeInput(message, filter, remove) || takePaint(message, filter) ||
                       timers_.takeDue(message, filter, display().nowMilliseconds(), remove);
    if (found)
        stamp(message);
    if (found && remove && message.message == WM_QUIT && !quitTaken_) {
        // The program is ending: other processes find it no more.
        quitTaken_ = true;
        if (peers_)
            peers_->withdraw();
    }
    return found;
}

// The top-level windows, asked and told in the order they were created;
// then the process ends.
void WindowSystem::endSession()
{
    endingSession_ = true;
    const LPARAM reason = sessionEndReason();
    std::vector<HWND> topLevel;
    for (HWND handle : windows_.handles()) {
        const Window *window = windows_.find(handle);
        if (window && !window->isChild() && !window->destroying)
            topLevel.push_back(handle);
    }
    for (HWND handle : topLevel)
        send(handle, WM_QUERYENDSESSION, 0, reason);
    for (HWND handle : topLevel)
        send(handle, WM_ENDSESSION, TRUE, reason);
    if (peers_)
        peers_->withdraw();
    endProcessForSession();
}

void WindowSystem::waitForWork()
{
    presentAllDamage();
    display().waitForEvents(timers_.nextDeadline());
}

bool WindowSystem::runUntil(const std::function<bool()> &finished)
{
    for (;;) {
        if (finished())
            return true;
        MSG message;
        while (peek(message, nullptr, 0, 0, true)) {
            if (message.message == WM_QUIT) {
                // Modal loops end on WM_QUIT and leave it for the outer loop.
                queue_.postQuit(static_cast<int>(message.wParam));
                return false;
            }
            TranslateMessage(&message);
            DispatchMessageA(&message);
            if (finished())
                return true;
        }
        waitForWork();
    }
}

bool WindowSystem::onGuiThread() const
{
    return !guiThread_ || *guiThread_ == std::this_thread::get_id();
}

}  // namespace hp::user32
