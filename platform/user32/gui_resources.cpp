// USER32: GetGuiResources, the process's count of window-system objects.
#include "platform/gdi32/surface.h"
#include "platform/user32/window_system.h"
#include "platform/win32.h"

DWORD WINAPI GetGuiResources(HANDLE process, DWORD flags)
{
    if (process != GetCurrentProcess()) {
        SetLastError(ERROR_INVALID_HANDLE);
        return 0;
    }
    switch (flags) {
    case GR_GDIOBJECTS:
        return hp::gdi32::liveGdiObjectCount();
    case GR_USEROBJECTS: {
        // Windows and menus; icons and cursors are shared resources here
        // and live as long as the program.
        hp::user32::WindowSystem &system = hp::user32::WindowSystem::instance();
        return static_cast<DWORD>(system.windows().count() + system.menus().count());
    }
    default:
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
}
