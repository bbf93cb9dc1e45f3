// USER32: the pointer's position.
#include "platform/user32/window_system.h"
#include "platform/win32.h"

BOOL WINAPI GetCursorPos(LPPOINT point)
{
    if (!point) {
        SetLastError(ERROR_NOACCESS);
        return FALSE;
    }
    *point = hp::user32::WindowSystem::instance().display().cursorPosition();
    return TRUE;
}
