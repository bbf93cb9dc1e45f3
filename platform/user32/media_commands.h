// The desktop's media controls reaching the program: each acts on the
// program's main window, its first top-level window that is shown, not
// owned and not being destroyed; with none, nothing happens. GUI thread.
#pragma once

#include "platform/win32.h"

namespace hp::user32 {

HWND mainWindow();

// Posts WM_APPCOMMAND with an APPCOMMAND_MEDIA_* command, from a device
// that is not the keyboard (FAPPCOMMAND_OEM).
void postMediaCommand(short appCommand);

// Brings the main window to the front, as SetForegroundWindow does.
void raiseMainWindow();

// Asks the program to end as its window's close does (WM_CLOSE).
void closeMainWindow();

}  // namespace hp::user32
