#include "platform/user32/null_display.h"

#include <chrono>

#include "platform/null_backends.h"

namespace hp::user32 {

int NullDisplay::showMessageBox(HWND owner, const MessageBoxContent &description, ModalLoop &)
{
    return null::makeMessageBoxBackend()->show(owner, description.text, description.caption, description.type);
}

uint64_t NullDisplay::nowMilliseconds()
{
    using namespace std::chrono;
    return static_cast<uint64_t>(
        duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}

void NullDisplay::waitForEvents(std::optional<uint64_t> deadlineMilliseconds)
{
    std::unique_lock<std::mutex> guard(lock_);
    auto woken = [this] { return wakePending_; };
    if (deadlineMilliseconds) {
        const uint64_t now = nowMilliseconds();
        const uint64_t waitMilliseconds = *deadlineMilliseconds > now ? *deadlineMilliseconds - now : 0;
        woken_.wait_for(guard, std::chrono::milliseconds(waitMilliseconds), woken);
    } else {
        woken_.wait(guard, woken);
    }
    wakePending_ = false;
}

void NullDisplay::wake()
{
    {
        std::lock_guard<std::mutex> guard(lock_);
        wakePending_ = true;
    }
    woken_.notify_all();
}

}  // namespace hp::user32
