// USER32: timers.
#include "platform/user32/window_system.h"
#include "platform/win32.h"

using hp::user32::WindowSystem;

UINT_PTR WINAPI SetTimer(HWND window, UINT_PTR id, UINT elapse, TIMERPROC timerFunction)
{
    WindowSystem &system = WindowSystem::instance();
    if (window && !system.findWindow(window))
        return 0;
    const UINT_PTR set = system.timers().set(window, id, elapse, timerFunction,
                                             system.display().nowMilliseconds());
    // A window timer with id 0 still reports success.
    return set ? set : 1;
}

BOOL WINAPI KillTimer(HWND window, UINT_PTR id)
{
    WindowSystem &system = WindowSystem::instance();
    if (!system.timers().kill(window, id)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    return TRUE;
}
