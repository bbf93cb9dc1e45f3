// What the display reports: pointer buttons and moves, keys, close
// requests, moved windows, clicked controls and dropped files, each turned
// into the message the window would get, posted in arrival order.
#include "platform/user32/window_system.h"

#include "platform/gdi32/rectangles.h"
#include "platform/kernel32/path_model.h"
#include "platform/shell32/drop_table.h"
#include "platform/user32/session_end.h"

namespace hp::user32 {
namespace {

WPARAM mouseKeyFlags(unsigned buttonsHeld)
{
    WPARAM flags = 0;
    if (buttonsHeld & mouseLeftHeld)
        flags |= MK_LBUTTON;
    if (buttonsHeld & mouseRightHeld)
        flags |= MK_RBUTTON;
    if (buttonsHeld & mouseMiddleHeld)
        flags |= MK_MBUTTON;
    return flags;
}

unsigned heldBitOf(MouseButton button)
{
    switch (button) {
    case MouseButton::Left:
        return mouseLeftHeld;
    case MouseButton::Right:
        return mouseRightHeld;
    case MouseButton::Middle:
        return mouseMiddleHeld;
    }
    return 0;
}

}  // namespace

bool WindowSystem::acceptsInput(HWND handle) const
{
    const Window *window = windows_.find(handle);
    if (!window || window->destroying)
        return false;
    for (const Window *w = window; w; w = windows_.find(w->parent)) {
        if (!w->enabled())
            return false;
    }
    return true;
}

void WindowSystem::postInput(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    MSG input{};
    input.hwnd = window;
    input.message = message;
    input.wParam = wParam;
    input.lParam = lParam;
    queue_.postInput(input);
}

// Keeps the pointer's screen position for GetCursorPos; false when the
// window is not ours.
bool WindowSystem::notePointer(HWND handle, POINT client)
{
    const Window *window = windows_.find(handle);
    if (!window)
        return false;
    const RECT origin = clientRectOnScreen(*window);
    lastCursor_ = POINT{origin.left + client.x, origin.top + client.y};
    return true;
}

// The buttons held are tracked even while the window takes no input, so
// that the next message it gets carries the right MK_* flags.
void WindowSystem::pointerInput(HWND handle, POINT client, unsigned buttonsHeld, UINT message)
{
    if (!notePointer(handle, client))
        return;
    buttonsHeld_ = buttonsHeld;
    if (!acceptsInput(handle))
        return;
    postInput(handle, message, mouseKeyFlags(buttonsHeld_), MAKELPARAM(client.x, client.y));
}

void WindowSystem::mouseButtonPressed(HWND handle, MouseButton button, POINT client)
{
    const UINT message = button == MouseButton::Left    ? WM_LBUTTONDOWN
                         : button == MouseButton::Right ? WM_RBUTTONDOWN
                                                        : WM_MBUTTONDOWN;
    pointerInput(handle, client, buttonsHeld_ | heldBitOf(button), message);
}

void WindowSystem::mouseButtonReleased(HWND handle, MouseButton button, POINT client)
{
    const UINT message = button == MouseButton::Left    ? WM_LBUTTONUP
                         : button == MouseButton::Right ? WM_RBUTTONUP
                                                        : WM_MBUTTONUP;
    pointerInput(handle, client, buttonsHeld_ & ~heldBitOf(button), message);
}

void WindowSystem::mouseMoved(HWND handle, POINT client, unsigned buttonsHeld)
{
    pointerInput(handle, client, buttonsHeld, WM_MOUSEMOVE);
}

void WindowSystem::keyPressed(HWND handle, UINT virtualKey)
{
    if (!acceptsInput(handle))
        return;
    postInput(handle, WM_KEYDOWN, virtualKey, 1);
}

void WindowSystem::closeRequested(HWND handle)
{
    if (!acceptsInput(handle))
        return;
    postInput(handle, WM_SYSCOMMAND, SC_CLOSE, 0);
}

void WindowSystem::windowMoved(HWND handle, POINT clientOrigin)
{
    Window *window = windows_.find(handle);
    if (!window || window->isChild())
        return;
    const RECT client = clientRectOnScreen(*window);
    const int dx = clientOrigin.x - client.left;
    const int dy = clientOrigin.y - client.top;
    if (dx == 0 && dy == 0)
        return;
    window->rect = gdi32::offsetRect(window->rect, dx, dy);
    MSG moved{};
    moved.hwnd = handle;
    moved.message = WM_MOVE;
    moved.lParam = MAKELPARAM(clientOrigin.x, clientOrigin.y);
    queue_.sendLater(moved);
}

void WindowSystem::filesDropped(HWND handle, const std::vector<std::string> &hostPaths,
                                POINT client)
{
    const Window *window = windows_.find(handle);
    if (!window || !(window->exStyle & WS_EX_ACCEPTFILES) || !acceptsInput(handle))
        return;
    if (hostPaths.empty())
        return;
    shell32::DroppedFiles files;
    for (const std::string &hostPath : hostPaths)
        files.paths.push_back(kernel32::windowsPathOf(hostPath));
    files.point = client;
    const HDROP drop = shell32::DropTable::instance().add(std::move(files));
    MSG message{};
    message.hwnd = handle;
    message.message = WM_DROPFILES;
    message.wParam = reinterpret_cast<WPARAM>(drop);
    queue_.post(message);
}

void WindowSystem::controlClicked(HWND control)
{
    if (!acceptsInput(control))
        return;
    postInput(control, BM_CLICK, 0, 0);
}

void WindowSystem::displayLost() { requestSessionEndForLostDisplay(); }

}  // namespace hp::user32
