// The pending notification of an MCI device.
//
// The platform keeps at most one per device, like a one-element queue: a
// play with MCI_NOTIFY holds its callback window until the play ends
// (MCI_NOTIFY_SUCCESSFUL), is stopped, closed or replaced by another play
// (MCI_NOTIFY_ABORTED). Commands that complete at once notify at once.
// A callback of 0 (MCI_NOTIFY without a window) is accepted and posts
// nothing. Thread-safe: a play's end is reported from an engine thread.
#pragma once

#include <atomic>

#include "platform/win32.h"
#include "platform/winmm/audio_stream.h"

namespace hp::winmm {

class MciNotification {
public:
    explicit MciNotification(MCIDEVICEID device) : device_(device) {}

    // Holds the callback of a new play; a play still pending is aborted.
    void hold(DWORD_PTR callback);

    // Posts the pending notification, if any, with this status.
    void finish(WORD status);

    // Posts the pending notification of a play that ended by itself:
    // MCI_NOTIFY_SUCCESSFUL at its end, MCI_NOTIFY_FAILURE when the device
    // failed on the way.
    void playEnded(PlayEnd end);

    // Posts MCI_NOTIFY_SUCCESSFUL for a command that completed at once,
    // when the caller asked for it.
    void completed(DWORD flags, DWORD_PTR callback) const;

private:
    const MCIDEVICEID device_;
    std::atomic<DWORD_PTR> pending_{0};
};

// The window a command's MCI_NOTIFY asks to be told, or 0.
inline DWORD_PTR notifyCallbackOf(DWORD flags, const MCI_GENERIC_PARMS *params)
{
    return (flags & MCI_NOTIFY) && params ? params->dwCallback : 0;
}

}  // namespace hp::winmm
