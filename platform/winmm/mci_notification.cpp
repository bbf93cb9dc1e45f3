#include "platform/winmm/mci_notification.h"

#include "platform/winmm/mci_driver.h"

namespace hp::winmm {

void MciNotification::hold(DWORD_PTR callback)
{
    finish(MCI_NOTIFY_ABORTED);
    pending_.store(callback);
}

void MciNotification::finish(WORD status)
{
    const DWORD_PTR callback = pending_.exchange(0);
    if (callback)
        postMciNotify(callback, status, device_);
}

void MciNotification::playEnded(PlayEnd end)
{
    finish(end == PlayEnd::Failed ? MCI_NOTIFY_FAILURE : MCI_NOTIFY_SUCCESSFUL);
}

void MciNotification::completed(DWORD flags, DWORD_PTR callback) const
{
    if ((flags & MCI_NOTIFY) && callback)
        postMciNotify(callback, MCI_NOTIFY_SUCCESSFUL, device_);
}

}  // namespace hp::winmm
