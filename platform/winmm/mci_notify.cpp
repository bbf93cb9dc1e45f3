// MM_MCINOTIFY delivery.
//
// Depends on PostMessageA (user32's message queue). Until the window system
// posts messages, a notification is dropped: the program sets no callback
// window and nothing waits for one, but a driver may already call this from
// any thread.
#include "platform/winmm/mci_driver.h"

namespace hp::winmm {

void postMciNotify(DWORD_PTR callback, WORD status, MCIDEVICEID device)
{
    if (!callback)
        return;
    static_cast<void>(status);
    static_cast<void>(device);
}

}  // namespace hp::winmm
