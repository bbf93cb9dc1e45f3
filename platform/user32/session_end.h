// The end of the user's session under a running program, as the platform
// handles a log-off: the program's top-level windows are asked
// (WM_QUERYENDSESSION) and then told (WM_ENDSESSION with wParam TRUE), on
// the GUI thread, from inside whatever message retrieval the thread is in
// (its own loop or a modal one). When the last WM_ENDSESSION has returned
// the process ends at once, without its exit list, as the platform ends it;
// a program therefore saves what it keeps while it handles WM_ENDSESSION,
// on both systems.
//
// What ends the session here:
//  - SIGTERM, SIGHUP or SIGINT (kill, the terminal closed, the session
//    manager, Ctrl-C). The handler only records the signal and wakes the
//    GUI loop (a self-pipe read by a watcher thread, which calls the
//    display's wake()). A second signal ends the process at once by its
//    default action; after the session end the process ends by the first
//    signal's default action too, so that its parent sees what ended it.
//  - The loss of the display connection, which the display backend reports
//    (DisplayListener::displayLost). The process then ends with code 1.
//
// The answers to WM_QUERYENDSESSION are not waited for: the session ends in
// any case, as a forced log-off does. lParam is ENDSESSION_LOGOFF for a
// hang-up or a lost display and ENDSESSION_CLOSEAPP for the other signals.
// Once the program's loop has taken WM_QUIT the program is already running
// its own shutdown, and a session end leaves it to finish.
#pragma once

#include "platform/win32.h"

namespace hp::user32 {

// Installs the handlers of SIGTERM, SIGHUP and SIGINT and starts the
// watcher. The process entry calls it before WinMain; until then the
// signals keep their default action.
void watchSessionEndSignals();

// The display connection is gone (GUI thread).
void requestSessionEndForLostDisplay();

bool sessionEndRequested();

// The lParam of WM_QUERYENDSESSION and WM_ENDSESSION for the pending end.
LPARAM sessionEndReason();

// Ends the process as the pending session end demands (see above).
[[noreturn]] void endProcessForSession();

}  // namespace hp::user32
