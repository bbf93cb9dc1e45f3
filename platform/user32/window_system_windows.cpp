// Windows coming and going: creation with its messages, destruction of a
// window and its subtree, showing, moving, sizing and enabling, and the
// native peer a visible top-level window gets on the display.
#include "platform/user32/window_system.h"

#include <algorithm>

#include "platform/gdi32/surface.h"
#include "platform/user32/system_classes.h"

namespace hp::user32 {

HWND WindowSystem::createWindow(DWORD exStyle, const std::shared_ptr<const WindowClass> &windowClass,
                                LPCSTR className, LPCSTR windowName, DWORD style, int x, int y,
                                int width, int height, HWND parent, HMENU menu,
                                HINSTANCE instance, LPVOID param)
{
    if (!guiThread_)
        guiThread_ = std::this_thread::get_id();

    HWND owner = nullptr;
    if (style & WS_CHILD) {
        if (!parent) {
            SetLastError(ERROR_TLW_WITH_WSCHILD);
            return nullptr;
        }
        if (!findWindow(parent))
            return nullptr;
    } else {
        if (parent) {
            if (!findWindow(parent))
                return nullptr;
            owner = topLevelOf(parent);
        }
        parent = nullptr;
        // An overlapped window always has a caption.
        if (!(style & WS_POPUP))
            style |= WS_CAPTION;
    }

    if (x == CW_USEDEFAULT) {
        x = 0;
        y = 0;
    }
    if (width == CW_USEDEFAULT) {
        if (style & (WS_POPUP | WS_CHILD)) {
            width = 0;
            height = 0;
        } else {
            const RECT work = display().workArea();
            width = (work.right - work.left) * 3 / 4;
            height = (work.bottom - work.top) * 3 / 4;
        }
    }
    width = std::max(width, 0);
    height = std::max(height, 0);

    auto created = std::make_unique<Window>();
    created->windowClass = windowClass;
    created->procedure = windowClass->procedure;
    created->instance = instance;
    created->style = style & ~WS_VISIBLE;
    created->exStyle = exStyle;
    created->parent = parent;
    created->owner = owner;
    created->controlId = parent ? reinterpret_cast<UINT_PTR>(menu) : 0;
    created->rect = RECT{x, y, x + width, y + height};
    Window &window = windows_.add(std::move(created));
    const HWND handle = window.handle;
    const SIZE client = clientSize(window);
    window.surface = std::make_shared<gdi32::Surface>(client.cx, client.cy);
    if (Window *parentWindow = windows_.find(parent))
        parentWindow->children.push_back(handle);

    CREATESTRUCTA create{};
    create.lpCreateParams = param;
    create.hInstance = instance;
    create.hMenu = menu;
    create.hwndParent = parent ? parent : owner;
    create.cy = height;
    create.cx = width;
    create.y = y;
    create.x = x;
    create.style = static_cast<LONG>(style);
    create.lpszName = windowName;
    create.lpszClass = className;
    create.dwExStyle = exStyle;

    if (!send(handle, WM_NCCREATE, 0, reinterpret_cast<LPARAM>(&create))) {
        destroyWindow(handle);
        return nullptr;
    }
    if (send(handle, WM_CREATE, 0, reinterpret_cast<LPARAM>(&create)) == -1) {
        destroyWindow(handle);
        return nullptr;
    }
    Window *live = windows_.find(handle);
    if (!live)
        return nullptr;
    const SIZE size = clientSize(*live);
    const RECT clientOnScreen = clientRectOnScreen(*live);
    send(handle, WM_SIZE, 0, MAKELPARAM(size.cx, size.cy));
    POINT origin{clientOnScreen.left, clientOnScreen.top};
    if (parent) {
        if (const Window *parentWindow = windows_.find(parent)) {
            const RECT parentClient = clientRectOnScreen(*parentWindow);
            origin.x -= parentClient.left;
            origin.y -= parentClient.top;
        }
    }
    send(handle, WM_MOVE, 0, MAKELPARAM(origin.x, origin.y));

    if ((style & WS_VISIBLE) && windows_.find(handle))
        showWindow(*windows_.find(handle), true);
    if (!windows_.find(handle))
        return nullptr;
    if (!parent)
        servePeers();
    return handle;
}

bool WindowSystem::destroyWindow(HWND handle)
{
    Window *window = findWindow(handle);
    if (!window)
        return false;
    if (window->destroying)
        return true;

    std::vector<HWND> subtree{handle};
    for (size_t i = 0; i < subtree.size(); ++i) {
        if (Window *member = windows_.find(subtree[i])) {
            member->destroying = true;
            subtree.insert(subtree.end(), member->children.begin(), member->children.end());
        }
    }

    if (window->visible()) {
        window->style &= ~WS_VISIBLE;
        if (window->nativeCreated)
            display().showWindow(handle, false);
    }
    // Owned windows (dialogs, say) go before their owner.
    for (HWND other : windows_.handles()) {
        const Window *candidate = windows_.find(other);
        if (candidate && candidate->owner == handle && !candidate->destroying)
            destroyWindow(other);
    }
    sendDestroyMessages(handle);
    sendNcDestroyMessages(handle);
    return true;
}

void WindowSystem::sendDestroyMessages(HWND handle)
{
    send(handle, WM_DESTROY, 0, 0);
    const Window *window = windows_.find(handle);
    if (!window)
        return;
    const std::vector<HWND> children = window->children;
    for (HWND child : children)
        sendDestroyMessages(child);
}

void WindowSystem::sendNcDestroyMessages(HWND handle)
{
    const Window *window = windows_.find(handle);
    if (!window)
        return;
    const std::vector<HWND> children = window->children;
    for (HWND child : children)
        sendNcDestroyMessages(child);
    send(handle, WM_NCDESTROY, 0, 0);
    forget(handle);
}

void WindowSystem::forget(HWND handle)
{
    timers_.killAllOf(handle);
    queue_.discardFor(handle);
    for (auto it = windowDcs_.begin(); it != windowDcs_.end();) {
        if (it->second == handle) {
            gdi32::releaseWindowDc(it->first);
            it = windowDcs_.erase(it);
        } else {
            ++it;
        }
    }
    Window *window = windows_.find(handle);
    if (!window)
        return;
    if (window->nativeCreated)
        display().destroyWindow(handle);
    if (window->dialog && window->dialog->font)
        DeleteObject(window->dialog->font);
    if (Window *parent = windows_.find(window->parent)) {
        auto &siblings = parent->children;
        siblings.erase(std::remove(siblings.begin(), siblings.end(), handle), siblings.end());
    }
    windows_.remove(handle);
}

bool WindowSystem::showWindow(Window &window, bool visible)
{
    const HWND handle = window.handle;
    const bool wasVisible = window.visible();
    if (visible == wasVisible)
        return wasVisible;
    send(handle, WM_SHOWWINDOW, visible ? TRUE : FALSE, 0);
    Window *live = windows_.find(handle);
    if (!live)
        return wasVisible;
    if (visible) {
        live->style |= WS_VISIBLE;
        if (!live->isChild()) {
            ensureNative(*live);
            display().showWindow(handle, true);
        }
        invalidate(*live, nullptr, true);
    } else {
        live->style &= ~WS_VISIBLE;
        if (live->nativeCreated)
            display().showWindow(handle, false);
    }
    return wasVisible;
}

void WindowSystem::placeWindow(Window &window, const RECT &rect, bool moved, bool sized)
{
    const HWND handle = window.handle;
    const SIZE oldClient = clientSize(window);
    window.rect = rect;
    const SIZE newClient = clientSize(window);
    const bool resized = newClient.cx != oldClient.cx || newClient.cy != oldClient.cy;
    if (resized) {
        window.surface->resize(newClient.cx, newClient.cy);
        invalidate(window, nullptr, true);
    }
    if (window.nativeCreated)
        display().placeWindow(handle, clientRectOnScreen(window));
    if (moved) {
        const RECT client = clientRectOnScreen(window);
        POINT origin{client.left, client.top};
        if (const Window *parent = windows_.find(window.parent)) {
            const RECT parentClient = clientRectOnScreen(*parent);
            origin.x -= parentClient.left;
            origin.y -= parentClient.top;
        }
        send(handle, WM_MOVE, 0, MAKELPARAM(origin.x, origin.y));
    }
    if (sized && resized && windows_.find(handle))
        send(handle, WM_SIZE, 0, MAKELPARAM(newClient.cx, newClient.cy));
}

void WindowSystem::setEnabled(Window &window, bool enabled)
{
    if (enabled)
        window.style &= ~WS_DISABLED;
    else
        window.style |= WS_DISABLED;
}

LRESULT WindowSystem::send(HWND handle, UINT message, WPARAM wParam, LPARAM lParam)
{
    const Window *window = findWindow(handle);
    if (!window)
        return 0;
    const WNDPROC procedure = window->procedure;
    return procedure ? procedure(handle, message, wParam, lParam) : 0;
}

void WindowSystem::ensureNative(Window &window)
{
    if (window.nativeCreated || window.isChild())
        return;
    if (window.dialog) {
        display().createDialog(describeDialog(*this, window));
    } else {
        NativeWindowDescription description;
        description.window = window.handle;
        description.owner = window.owner;
        description.clientRect = clientRectOnScreen(window);
        description.title = window.text;
        description.acceptsDrops = (window.exStyle & WS_EX_ACCEPTFILES) != 0;
        description.surface = window.surface;
        if (window.windowClass)
            description.icons =
                windowIconPictures(window.windowClass->icon, window.windowClass->smallIcon);
        display().createWindow(description);
    }
    window.nativeCreated = true;
    // What was drawn before the window had a screen is shown with it.
    if (window.surface)
        window.surface->takeDamage();
}

}  // namespace hp::user32
