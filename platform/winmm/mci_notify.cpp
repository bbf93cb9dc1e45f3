// MM_MCINOTIFY delivery.
//
// The notification is posted to the callback window (PostMessageA is
// thread-safe, so drivers may call this from their own threads): wParam is
// the status (MCI_NOTIFY_SUCCESSFUL, ...), lParam the device identifier. A
// window that is gone simply gets nothing.
#include "platform/winmm/mci_driver.h"

namespace hp::winmm {

void postMciNotify(DWORD_PTR callback, WORD status, MCIDEVICEID device)
{
    if (!callback)
        return;
    PostMessageA(reinterpret_cast<HWND>(callback), MM_MCINOTIFY, status,
                 static_cast<LPARAM>(device));
}

}  // namespace hp::winmm
