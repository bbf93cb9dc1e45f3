// USER32: window classes, windows, their geometry and texts.
#include <algorithm>
#include <cstring>

#include "platform/user32/frame_metrics.h"
#include "platform/user32/window_system.h"
#include "platform/win32.h"

using hp::user32::Window;
using hp::user32::WindowPeers;
using hp::user32::WindowSystem;

namespace {

// The size the 32-bit SDK gives WNDCLASSEXA; programs written for that
// system pass it even where pointers are wider.
constexpr UINT windowClassSize32 = 48;

bool isWindowClassSize(UINT size)
{
    return size == sizeof(WNDCLASSEXA) || size == windowClassSize32;
}

}  // namespace

ATOM WINAPI RegisterClassExA(const WNDCLASSEXA *windowClass)
{
    if (!windowClass || !isWindowClassSize(windowClass->cbSize) ||
        !windowClass->lpszClassName || IS_INTRESOURCE(windowClass->lpszClassName) ||
        windowClass->cbClsExtra < 0 || windowClass->cbWndExtra < 0) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    hp::user32::WindowClass registered;
    registered.name = windowClass->lpszClassName;
    registered.style = windowClass->style;
    registered.procedure = windowClass->lpfnWndProc;
    registered.classExtraBytes = windowClass->cbClsExtra;
    registered.windowExtraBytes = windowClass->cbWndExtra;
    registered.instance = windowClass->hInstance;
    registered.icon = windowClass->hIcon;
    registered.smallIcon = windowClass->hIconSm;
    registered.cursor = windowClass->hCursor;
    registered.background = windowClass->hbrBackground;
    auto stored = WindowSystem::instance().classes().add(std::move(registered));
    return stored ? stored->atom : 0;
}

BOOL WINAPI UnregisterClassA(LPCSTR className, HINSTANCE)
{
    WindowSystem &system = WindowSystem::instance();
    auto windowClass = system.classes().find(className);
    if (!windowClass) {
        SetLastError(ERROR_CLASS_DOES_NOT_EXIST);
        return FALSE;
    }
    for (HWND handle : system.windows().handles()) {
        const Window *window = system.windows().find(handle);
        if (window && window->windowClass == windowClass) {
            constexpr DWORD errorClassHasWindows = 1412;
            SetLastError(errorClassHasWindows);
            return FALSE;
        }
    }
    return system.classes().remove(className) ? TRUE : FALSE;
}

HWND WINAPI CreateWindowExA(DWORD exStyle, LPCSTR className, LPCSTR windowName, DWORD style,
                            int x, int y, int width, int height, HWND parent, HMENU menu,
                            HINSTANCE instance, LPVOID param)
{
    WindowSystem &system = WindowSystem::instance();
    auto windowClass = system.classes().find(className);
    if (!windowClass) {
        SetLastError(ERROR_CANNOT_FIND_WND_CLASS);
        return nullptr;
    }
    return system.createWindow(exStyle, windowClass, className, windowName, style, x, y, width,
                               height, parent, menu, instance, param);
}

BOOL WINAPI DestroyWindow(HWND window)
{
    return WindowSystem::instance().destroyWindow(window) ? TRUE : FALSE;
}

BOOL WINAPI IsWindow(HWND window)
{
    return WindowSystem::instance().windows().contains(window) ? TRUE : FALSE;
}

BOOL WINAPI IsWindowVisible(HWND window)
{
    WindowSystem &system = WindowSystem::instance();
    for (const Window *w = system.windows().find(window); w; w = system.windows().find(w->parent)) {
        if (!w->visible())
            return FALSE;
        if (!w->parent)
            return TRUE;
    }
    return FALSE;
}

BOOL WINAPI IsWindowEnabled(HWND window)
{
    const Window *found = WindowSystem::instance().windows().find(window);
    return found && found->enabled() ? TRUE : FALSE;
}

BOOL WINAPI EnableWindow(HWND window, BOOL enable)
{
    WindowSystem &system = WindowSystem::instance();
    Window *found = system.findWindow(window);
    if (!found)
        return FALSE;
    // The result is whether the window was disabled before.
    const BOOL wasDisabled = found->enabled() ? FALSE : TRUE;
    system.setEnabled(*found, enable != FALSE);
    return wasDisabled;
}

BOOL WINAPI ShowWindow(HWND window, int command)
{
    WindowSystem &system = WindowSystem::instance();
    Window *found = system.findWindow(window);
    if (!found)
        return FALSE;
    return system.showWindow(*found, command != SW_HIDE) ? TRUE : FALSE;
}

int WINAPI GetSystemMetrics(int index)
{
    using namespace hp::user32;
    constexpr int cxBorder = 5, cyBorder = 6, cxFrame = 32, cyFrame = 33, cxEdge = 45,
                  cyEdge = 46;
    switch (index) {
    case SM_CXSCREEN:
        return WindowSystem::instance().display().screenSize().cx;
    case SM_CYSCREEN:
        return WindowSystem::instance().display().screenSize().cy;
    case SM_CXFULLSCREEN: {
        // The client area of a maximised window: the work area less the caption.
        const RECT work = WindowSystem::instance().display().workArea();
        return work.right - work.left;
    }
    case SM_CYFULLSCREEN: {
        const RECT work = WindowSystem::instance().display().workArea();
        return work.bottom - work.top - captionHeightPixels;
    }
    case SM_CYCAPTION:
        return captionHeightPixels;
    case SM_CXDLGFRAME:
    case SM_CYDLGFRAME:
        return dialogFramePixels;
    case cxFrame:
    case cyFrame:
        return sizingFramePixels;
    case cxBorder:
    case cyBorder:
        return borderPixels;
    case cxEdge:
    case cyEdge:
        return edgePixels;
    case SM_CXICON:
    case SM_CYICON:
        return iconSizePixels;
    case SM_CXCURSOR:
    case SM_CYCURSOR:
        return cursorSizePixels;
    case SM_CXSMICON:
    case SM_CYSMICON:
        return smallIconSizePixels;
    default:
        return 0;
    }
}

BOOL WINAPI AdjustWindowRectEx(LPRECT rect, DWORD style, BOOL menu, DWORD exStyle)
{
    if (!rect) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    constexpr int menuBarHeightPixels = 19;  // SM_CYMENU
    const hp::user32::FrameInsets insets = hp::user32::frameInsetsFor(style, exStyle);
    rect->left -= insets.left;
    rect->top -= insets.top + (menu ? menuBarHeightPixels : 0);
    rect->right += insets.right;
    rect->bottom += insets.bottom;
    return TRUE;
}

BOOL WINAPI GetWindowRect(HWND window, LPRECT rect)
{
    WindowSystem &system = WindowSystem::instance();
    const Window *found = system.findWindow(window);
    if (!found)
        return FALSE;
    if (!rect) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    *rect = system.windowRectOnScreen(*found);
    return TRUE;
}

BOOL WINAPI GetClientRect(HWND window, LPRECT rect)
{
    WindowSystem &system = WindowSystem::instance();
    const Window *found = system.findWindow(window);
    if (!found)
        return FALSE;
    if (!rect) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    const SIZE size = system.clientSize(*found);
    *rect = RECT{0, 0, size.cx, size.cy};
    return TRUE;
}

BOOL WINAPI SetWindowPos(HWND window, HWND, int x, int y, int width, int height, UINT flags)
{
    WindowSystem &system = WindowSystem::instance();
    Window *found = system.findWindow(window);
    if (!found)
        return FALSE;
    RECT rect = found->rect;
    if (!(flags & SWP_NOMOVE)) {
        rect.right += x - rect.left;
        rect.bottom += y - rect.top;
        rect.left = x;
        rect.top = y;
    }
    if (!(flags & SWP_NOSIZE)) {
        rect.right = rect.left + std::max(width, 0);
        rect.bottom = rect.top + std::max(height, 0);
    }
    const bool moved = rect.left != found->rect.left || rect.top != found->rect.top;
    const bool sized = (rect.right - rect.left) != (found->rect.right - found->rect.left) ||
                       (rect.bottom - rect.top) != (found->rect.bottom - found->rect.top);
    if (moved || sized)
        system.placeWindow(*found, rect, moved, sized);
    if (flags & (SWP_SHOWWINDOW | SWP_HIDEWINDOW)) {
        if (Window *live = system.windows().find(window))
            system.showWindow(*live, (flags & SWP_SHOWWINDOW) != 0);
    }
    return TRUE;
}

BOOL WINAPI MoveWindow(HWND window, int x, int y, int width, int height, BOOL)
{
    return SetWindowPos(window, nullptr, x, y, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
}

BOOL WINAPI ClientToScreen(HWND window, LPPOINT point)
{
    WindowSystem &system = WindowSystem::instance();
    const Window *found = system.findWindow(window);
    if (!found || !point)
        return FALSE;
    const RECT client = system.clientRectOnScreen(*found);
    point->x += client.left;
    point->y += client.top;
    return TRUE;
}

BOOL WINAPI ScreenToClient(HWND window, LPPOINT point)
{
    WindowSystem &system = WindowSystem::instance();
    const Window *found = system.findWindow(window);
    if (!found || !point)
        return FALSE;
    const RECT client = system.clientRectOnScreen(*found);
    point->x -= client.left;
    point->y -= client.top;
    return TRUE;
}

int WINAPI GetWindowTextA(HWND window, LPSTR text, int maxCount)
{
    if (!text || maxCount <= 0)
        return 0;
    text[0] = '\0';
    if (!WindowSystem::instance().findWindow(window))
        return 0;
    return static_cast<int>(SendMessageA(window, WM_GETTEXT, static_cast<WPARAM>(maxCount),
                                         reinterpret_cast<LPARAM>(text)));
}

int WINAPI GetWindowTextLengthA(HWND window)
{
    if (!WindowSystem::instance().findWindow(window))
        return 0;
    return static_cast<int>(SendMessageA(window, WM_GETTEXTLENGTH, 0, 0));
}

BOOL WINAPI SetWindowTextA(HWND window, LPCSTR text)
{
    if (!WindowSystem::instance().findWindow(window))
        return FALSE;
    return SendMessageA(window, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text)) ? TRUE : FALSE;
}

HWND WINAPI GetParent(HWND window)
{
    const Window *found = WindowSystem::instance().findWindow(window);
    if (!found)
        return nullptr;
    if (found->isChild())
        return found->parent;
    return (found->style & WS_POPUP) ? found->owner : nullptr;
}

// Top-level windows of this process first, then those of the user's other
// programs on this layer (window_peers.h). Hidden windows count, as on the
// platform; names are compared without regard to ASCII case.
HWND WINAPI FindWindowA(LPCSTR className, LPCSTR windowName)
{
    WindowSystem &system = WindowSystem::instance();
    HWND found = system.findTopLevel(className, windowName);
    if (!found)
        SetLastError(ERROR_SUCCESS);
    return found;
}

BOOL WINAPI SetForegroundWindow(HWND window)
{
    WindowSystem &system = WindowSystem::instance();
    if (const auto *peer = system.peerWindow(window)) {
        hp::user32::PeerRequest request;
        request.kind = hp::user32::PeerRequest::Kind::Raise;
        request.window = peer->handle;
        WindowPeers *reached = system.peers();
        const auto reply = reached ? reached->ask(peer->process, request) : std::nullopt;
        return reply && reply->done ? TRUE : FALSE;
    }
    const Window *found = system.findWindow(window);
    if (!found)
        return FALSE;
    const HWND topLevel = system.topLevelOf(window);
    const Window *shown = system.windows().find(topLevel);
    if (!shown || !shown->nativeCreated)
        return FALSE;
    system.display().raiseWindow(topLevel);
    return TRUE;
}
