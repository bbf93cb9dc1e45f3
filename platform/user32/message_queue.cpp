#include "platform/user32/message_queue.h"

#include <algorithm>

#include "platform/user32/display_backend.h"

namespace hp::user32 {
namespace {

bool takeFirstMatching(std::deque<MSG> &queue, MSG &message, const MessageFilter &filter,
                       bool remove)
{
    for (auto it = queue.begin(); it != queue.end(); ++it) {
        if (!filter.matches(*it))
            continue;
        message = *it;
        if (remove)
            queue.erase(it);
        return true;
    }
    return false;
}

void wakeDisplay()
{
    if (DisplayBackend *display = existingDisplayBackend())
        display->wake();
}

}  // namespace

void MessageQueue::post(const MSG &message)
{
    {
        std::lock_guard<std::mutex> guard(lock_);
        posted_.push_back(message);
    }
    wakeDisplay();
}

void MessageQueue::postQuit(int exitCode)
{
    {
        std::lock_guard<std::mutex> guard(lock_);
        quitPending_ = true;
        quitCode_ = exitCode;
    }
    wakeDisplay();
}

void MessageQueue::postInput(const MSG &message)
{
    std::lock_guard<std::mutex> guard(lock_);
    if (message.message == WM_MOUSEMOVE && !input_.empty()) {
        MSG &last = input_.back();
        if (last.message == WM_MOUSEMOVE && last.hwnd == message.hwnd) {
            last = message;
            return;
        }
    }
    input_.push_back(message);
}

void MessageQueue::sendLater(const MSG &message)
{
    {
        std::lock_guard<std::mutex> guard(lock_);
        deferredSends_.push_back(message);
    }
    wakeDisplay();
}

void MessageQueue::callLater(std::function<void()> call)
{
    {
        std::lock_guard<std::mutex> guard(lock_);
        calls_.push_back(std::move(call));
    }
    wakeDisplay();
}

bool MessageQueue::takeCall(std::function<void()> &call)
{
    std::lock_guard<std::mutex> guard(lock_);
    if (calls_.empty())
        return false;
    call = std::move(calls_.front());
    calls_.pop_front();
    return true;
}

bool MessageQueue::takeDeferredSend(MSG &message)
{
    std::lock_guard<std::mutex> guard(lock_);
    if (deferredSends_.empty())
        return false;
    message = deferredSends_.front();
    deferredSends_.pop_front();
    return true;
}

bool MessageQueue::takePosted(MSG &message, const MessageFilter &filter, bool remove)
{
    std::lock_guard<std::mutex> guard(lock_);
    return takeFirstMatching(posted_, message, filter, remove);
}

bool MessageQueue::takeQuit(MSG &message, const MessageFilter &filter, bool remove)
{
    std::lock_guard<std::mutex> guard(lock_);
    if (!quitPending_ || !filter.matchesMessage(WM_QUIT))
        return false;
    // The quit message waits until every posted message has been taken.
    if (!posted_.empty())
        return false;
    message = MSG{};
    message.message = WM_QUIT;
    message.wParam = static_cast<WPARAM>(quitCode_);
    if (remove)
        quitPending_ = false;
    return true;
}

bool MessageQueue::takeInput(MSG &message, const MessageFilter &filter, bool remove)
{
    std::lock_guard<std::mutex> guard(lock_);
    return takeFirstMatching(input_, message, filter, remove);
}

void MessageQueue::discardFor(HWND window)
{
    std::lock_guard<std::mutex> guard(lock_);
    auto addressedTo = [window](const MSG &message) { return message.hwnd == window; };
    posted_.erase(std::remove_if(posted_.begin(), posted_.end(), addressedTo), posted_.end());
    input_.erase(std::remove_if(input_.begin(), input_.end(), addressedTo), input_.end());
    deferredSends_.erase(
        std::remove_if(deferredSends_.begin(), deferredSends_.end(), addressedTo),
        deferredSends_.end());
}

}  // namespace hp::user32
