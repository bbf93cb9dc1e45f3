// USER32: DefWindowProcA, the default processing of window messages.
#include <algorithm>
#include <cstring>

#include "platform/user32/system_colors.h"
#include "platform/user32/window_system.h"
#include "platform/win32.h"

using hp::user32::Window;
using hp::user32::WindowSystem;

namespace {

constexpr WPARAM commandMask = 0xFFF0;      // the low four bits of SC_* are the platform's

LRESULT eraseBackground(HWND window, HDC dc)
{
    WindowSystem &system = WindowSystem::instance();
    const Window *found = system.windows().find(window);
    if (!found || !found->windowClass)
        return 0;
    HBRUSH brush = found->windowClass->background;
    if (!brush)
        return 0;
    RECT client{};
    GetClientRect(window, &client);
    // Small values name a system colour (COLOR_* + 1), as the platform allows.
    const auto value = reinterpret_cast<ULONG_PTR>(brush);
    if (value <= hp::user32::lastSystemColorIndex + 1) {
        HBRUSH solid = CreateSolidBrush(hp::user32::systemColor(static_cast<int>(value) - 1));
        FillRect(dc, &client, solid);
        DeleteObject(solid);
    } else {
        FillRect(dc, &client, brush);
    }
    return 1;
}

LRESULT copyText(HWND window, WPARAM capacity, LPSTR buffer)
{
    const Window *found = WindowSystem::instance().windows().find(window);
    if (!found || !buffer || capacity == 0)
        return 0;
    const size_t copied = std::min<size_t>(found->text.size(), capacity - 1);
    std::memcpy(buffer, found->text.data(), copied);
    buffer[copied] = '\0';
    return static_cast<LRESULT>(copied);
}

void setText(HWND window, LPCSTR text)
{
    WindowSystem &system = WindowSystem::instance();
    Window *found = system.windows().find(window);
    if (!found)
        return;
    found->text = (text && !IS_INTRESOURCE(text)) ? text : "";
    if (found->nativeCreated)
        system.display().setTitle(window, found->text);
}

LRESULT systemCommand(HWND window, WPARAM command)
{
    WindowSystem &system = WindowSystem::instance();
    switch (command & commandMask) {
    case SC_MOVE: {
        // The window system moves the window itself; the move runs on after
        // this returns.
        const HWND topLevel = system.topLevelOf(window);
        const Window *found = system.windows().find(topLevel);
        if (found && found->nativeCreated && found->visible())
            system.display().beginMove(topLevel);
        return 0;
    }
    case SC_CLOSE:
        SendMessageA(window, WM_CLOSE, 0, 0);
        return 0;
    default:
        return 0;
    }
}

}  // namespace

LRESULT WINAPI DefWindowProcA(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    WindowSystem &system = WindowSystem::instance();
    switch (message) {
    case WM_NCCREATE: {
        const auto *create = reinterpret_cast<const CREATESTRUCTA *>(lParam);
        if (create)
            setText(window, create->lpszName);
        return TRUE;
    }
    case WM_CLOSE:
        DestroyWindow(window);
        return 0;
    case WM_QUERYENDSESSION:
        return TRUE;  // the session may end
    case WM_PAINT: {
        PAINTSTRUCT paint;
        if (BeginPaint(window, &paint))
            EndPaint(window, &paint);
        return 0;
    }
    case WM_ERASEBKGND:
        return eraseBackground(window, reinterpret_cast<HDC>(wParam));
    case WM_NCHITTEST: {
        const Window *found = system.windows().find(window);
        if (!found)
            return HTNOWHERE;
        const POINT point{static_cast<SHORT>(LOWORD(lParam)), static_cast<SHORT>(HIWORD(lParam))};
        const RECT rect = system.windowRectOnScreen(*found);
        const bool inside = point.x >= rect.left && point.x < rect.right &&
                            point.y >= rect.top && point.y < rect.bottom;
        return inside ? HTCLIENT : HTNOWHERE;
    }
    case WM_NCLBUTTONDOWN:
        if (wParam == HTCAPTION)
            SendMessageA(window, WM_SYSCOMMAND, SC_MOVE + HTCAPTION, lParam);
        return 0;
    case WM_SYSCOMMAND:
        return systemCommand(window, wParam);
    case WM_GETTEXT:
        return copyText(window, wParam, reinterpret_cast<LPSTR>(lParam));
    case WM_GETTEXTLENGTH: {
        const Window *found = system.windows().find(window);
        return found ? static_cast<LRESULT>(found->text.size()) : 0;
    }
    case WM_SETTEXT:
        setText(window, reinterpret_cast<LPCSTR>(lParam));
        return TRUE;
    case WM_APPCOMMAND: {
        // A child passes a command it did not take up to its parent.
        const Window *found = system.windows().find(window);
        if (found && found->isChild() && found->parent)
            return SendMessageA(found->parent, message, wParam, lParam);
        return FALSE;
    }
    default:
        return 0;
    }
}
