// USER32: painting contexts and the update region.
#include <cstring>

#include "platform/gdi32/rectangles.h"
#include "platform/gdi32/surface.h"
#include "platform/user32/window_system.h"
#include "platform/win32.h"

using hp::user32::Window;
using hp::user32::WindowSystem;

HDC WINAPI BeginPaint(HWND window, LPPAINTSTRUCT paint)
{
    WindowSystem &system = WindowSystem::instance();
    Window *found = system.findWindow(window);
    if (!found)
        return nullptr;
    if (!paint) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    const SIZE size = system.clientSize(*found);
    const RECT area = hp::gdi32::intersectRects(found->invalid, RECT{0, 0, size.cx, size.cy});
    const bool erase = found->eraseRequested;
    system.validate(*found, nullptr);

    HDC dc = system.getDc(window);
    if (!dc)
        return nullptr;
    std::memset(paint, 0, sizeof(*paint));
    paint->hdc = dc;
    paint->rcPaint = area;
    if (erase) {
        // fErase tells the caller that the background still needs erasing.
        const LRESULT erased = SendMessageA(window, WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
        paint->fErase = erased ? FALSE : TRUE;
    }
    return dc;
}

BOOL WINAPI EndPaint(HWND window, const PAINTSTRUCT *paint)
{
    if (!paint)
        return FALSE;
    WindowSystem::instance().releaseDc(window, paint->hdc);
    return TRUE;
}

HDC WINAPI GetDC(HWND window) { return WindowSystem::instance().getDc(window); }

int WINAPI ReleaseDC(HWND window, HDC dc)
{
    return WindowSystem::instance().releaseDc(window, dc) ? 1 : 0;
}

BOOL WINAPI InvalidateRect(HWND window, const RECT *rect, BOOL erase)
{
    WindowSystem &system = WindowSystem::instance();
    if (!window) {
        // Every top-level window, as the platform redraws the desktop.
        for (HWND handle : system.windows().handles()) {
            Window *found = system.windows().find(handle);
            if (found && !found->isChild())
                system.invalidate(*found, nullptr, erase != FALSE);
        }
        return TRUE;
    }
    Window *found = system.findWindow(window);
    if (!found)
        return FALSE;
    system.invalidate(*found, rect, erase != FALSE);
    return TRUE;
}

BOOL WINAPI ValidateRect(HWND window, const RECT *rect)
{
    WindowSystem &system = WindowSystem::instance();
    Window *found = system.findWindow(window);
    if (!found)
        return FALSE;
    system.validate(*found, rect);
    return TRUE;
}

BOOL WINAPI UpdateWindow(HWND window)
{
    WindowSystem &system = WindowSystem::instance();
    Window *found = system.findWindow(window);
    if (!found)
        return FALSE;
    if (found->hasInvalidArea() && IsWindowVisible(window))
        SendMessageA(window, WM_PAINT, 0, 0);
    return TRUE;
}
