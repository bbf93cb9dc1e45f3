#include "platform/user32/window_system.h"

#include <algorithm>

#include "platform/gdi32/surface.h"
#include "platform/kernel32/path_model.h"
#include "platform/shell32/drop_table.h"
#include "platform/user32/frame_metrics.h"
#include "platform/user32/session_end.h"
#include "platform/user32/system_classes.h"
#include "platform/wiring.h"

namespace hp::user32 {
namespace {

constexpr UINT buttonClickMessage = 0x00F5;  // BM_CLICK
constexpr WPARAM systemCommandClose = 0xF060;  // SC_CLOSE

RECT offsetRect(RECT rect, int dx, int dy)
{
    return RECT{rect.left + dx, rect.top + dy, rect.right + dx, rect.bottom + dy};
}

bool isEmpty(const RECT &rect) { return rect.right <= rect.left || rect.bottom <= rect.top; }

RECT intersect(const RECT &a, const RECT &b)
{
    RECT result{std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
                std::min(a.bottom, b.bottom)};
    if (isEmpty(result))
        return RECT{0, 0, 0, 0};
    return result;
}

RECT unite(const RECT &a, const RECT &b)
{
    if (isEmpty(a))
        return b;
    if (isEmpty(b))
        return a;
    return RECT{std::min(a.left, b.left), std::min(a.top, b.top), std::max(a.right, b.right),
                std::max(a.bottom, b.bottom)};
}

WPARAM mouseKeyFlags(unsigned buttonsHeld)
{
    constexpr WPARAM middleButtonFlag = 0x0010;  // MK_MBUTTON
    WPARAM flags = 0;
    if (buttonsHeld & mouseLeftHeld)
        flags |= MK_LBUTTON;
    if (buttonsHeld & mouseRightHeld)
        flags |= MK_RBUTTON;
    if (buttonsHeld & mouseMiddleHeld)
        flags |= middleButtonFlag;
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

WindowSystem &WindowSystem::instance()
{
    // Never destroyed: the program's own teardown runs at exit, after the
    // statics constructed later than it are gone, and may still show a box.
    static WindowSystem *system = new WindowSystem;
    return *system;
}

WindowSystem::WindowSystem() { registerSystemClasses(classes_); }

DisplayBackend &WindowSystem::display()
{
    if (!display_) {
        display_ = wiring::makeDisplayBackend();
        display_->setListener(this);
        displayPointer_.store(display_.get());
    }
    return *display_;
}

DisplayBackend *WindowSystem::existingDisplay() const { return displayPointer_.load(); }

void WindowSystem::installDisplay(std::unique_ptr<DisplayBackend> backend)
{
    displayPointer_.store(nullptr);
    display_ = std::move(backend);
    if (display_)
        display_->setListener(this);
    displayPointer_.store(display_.get());
}

Window *WindowSystem::findWindow(HWND handle)
{
    Window *window = windows_.find(handle);
    if (!window)
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return window;
}

bool WindowSystem::isDescendant(HWND window, HWND ancestor) const
{
    const Window *current = windows_.find(window);
    while (current && current->parent) {
        if (current->parent == ancestor)
            return true;
        current = windows_.find(current->parent);
    }
    return false;
}

HWND WindowSystem::topLevelOf(HWND window) const
{
    const Window *current = windows_.find(window);
    while (current && current->parent) {
        const Window *parent = windows_.find(current->parent);
        if (!parent)
            break;
        current = parent;
    }
    return current ? current->handle : nullptr;
}

RECT WindowSystem::windowRectOnScreen(const Window &window) const
{
    RECT rect = window.rect;
    if (window.parent) {
        if (const Window *parent = windows_.find(window.parent)) {
            const RECT parentClient = clientRectOnScreen(*parent);
            rect = offsetRect(rect, parentClient.left, parentClient.top);
        }
    }
    return rect;
}

RECT WindowSystem::clientRectOnScreen(const Window &window) const
{
    const RECT outer = windowRectOnScreen(window);
    const FrameInsets insets = frameInsetsFor(window.style, window.exStyle);
    RECT client{outer.left + insets.left, outer.top + insets.top, outer.right - insets.right,
                outer.bottom - insets.bottom};
    if (client.right < client.left)
        client.right = client.left;
    if (client.bottom < client.top)
        client.bottom = client.top;
    return client;
}

SIZE WindowSystem::clientSize(const Window &window) const
{
    const RECT client = clientRectOnScreen(window);
    return SIZE{client.right - client.left, client.bottom - client.top};
}

// ------------------------------------------------------------ windows ----

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

// ----------------------------------------------------------- painting ----

void WindowSystem::invalidate(Window &window, const RECT *area, bool erase)
{
    const SIZE size = clientSize(window);
    const RECT client{0, 0, size.cx, size.cy};
    const RECT added = area ? intersect(*area, client) : client;
    if (isEmpty(added))
        return;
    window.invalid = unite(window.invalid, added);
    if (erase)
        window.eraseRequested = true;
}

void WindowSystem::validate(Window &window, const RECT *area)
{
    // The update region is kept as one rectangle: a validation that does
    // not cover all of it leaves it whole, so nothing is ever left unpainted.
    if (area && !isEmpty(window.invalid)) {
        const RECT &invalid = window.invalid;
        const bool covers = area->left <= invalid.left && area->top <= invalid.top &&
                            area->right >= invalid.right && area->bottom >= invalid.bottom;
        if (!covers)
            return;
    }
    window.invalid = RECT{0, 0, 0, 0};
    window.eraseRequested = false;
}

void WindowSystem::presentDamage(Window &window)
{
    if (!window.surface || !window.surface->hasDamage())
        return;
    const std::vector<RECT> damage = window.surface->takeDamage();
    if (window.nativeCreated && window.visible() && !window.dialog)
        display().present(window.handle, damage);
}

void WindowSystem::presentAllDamage()
{
    for (HWND handle : windows_.handles()) {
        if (Window *window = windows_.find(handle))
            presentDamage(*window);
    }
}

HDC WindowSystem::getDc(HWND handle)
{
    std::shared_ptr<gdi32::Surface> surface;
    if (!handle) {
        if (!desktopSurface_)
            desktopSurface_ = std::make_shared<gdi32::Surface>(1, 1);
        surface = desktopSurface_;
    } else {
        Window *window = findWindow(handle);
        if (!window)
            return nullptr;
        surface = window->surface;
    }
    HDC dc = gdi32::createWindowDc(handle, surface);
    if (dc)
        windowDcs_[dc] = handle;
    return dc;
}

bool WindowSystem::releaseDc(HWND, HDC dc)
{
    // The platform finds the context by its handle alone.
    auto it = windowDcs_.find(dc);
    if (it == windowDcs_.end())
        return false;
    const HWND owner = it->second;
    windowDcs_.erase(it);
    gdi32::releaseWindowDc(dc);
    if (Window *window = windows_.find(owner))
        presentDamage(*window);
    return true;
}

// ----------------------------------------------------------- messages ----

MessageFilter WindowSystem::makeFilter(HWND windowFilter, UINT first, UINT last) const
{
    MessageFilter filter;
    filter.first = first;
    filter.last = last;
    if (windowFilter == reinterpret_cast<HWND>(-1)) {
        filter.windowMatches = [](HWND window) { return window == nullptr; };
    } else if (windowFilter) {
        filter.windowMatches = [this, windowFilter](HWND window) {
            return window == windowFilter || isDescendant(window, windowFilter);
        };
    }
    return filter;
}

bool WindowSystem::takePaint(MSG &message, const MessageFilter &filter)
{
    if (!filter.matchesMessage(WM_PAINT))
        return false;
    for (HWND handle : windows_.handles()) {
        const Window *window = windows_.find(handle);
        if (!window || !window->hasInvalidArea() || window->destroying)
            continue;
        bool shown = true;
        for (const Window *w = window; w; w = windows_.find(w->parent))
            shown = shown && w->visible();
        if (!shown)
            continue;
        if (filter.windowMatches && !filter.windowMatches(handle))
            continue;
        message = MSG{};
        message.hwnd = handle;
        message.message = WM_PAINT;
        return true;
    }
    return false;
}

void WindowSystem::stamp(MSG &message)
{
    message.time = static_cast<DWORD>(display().nowMilliseconds());
    message.pt = lastCursor_;
}

bool WindowSystem::peek(MSG &message, HWND windowFilter, UINT first, UINT last, bool remove)
{
    if (!guiThread_)
        guiThread_ = std::this_thread::get_id();
    presentAllDamage();
    if (sessionEndRequested() && !endingSession_ && !quitTaken_)
        endSession();

    std::function<void()> call;
    while (queue_.takeCall(call))
        call();
    MSG sent;
    while (queue_.takeDeferredSend(sent))
        send(sent.hwnd, sent.message, sent.wParam, sent.lParam);

    const MessageFilter filter = makeFilter(windowFilter, first, last);
    const bool found = queue_.takePosted(message, filter, remove) ||
                       queue_.takeQuit(message, filter, remove) ||
                       queue_.takeInput(message, filter, remove) || takePaint(message, filter) ||
                       timers_.takeDue(message, filter, display().nowMilliseconds(), remove);
    if (found)
        stamp(message);
    if (found && remove && message.message == WM_QUIT && !quitTaken_) {
        // The program is ending: other processes find it no more.
        quitTaken_ = true;
        if (peers_)
            peers_->withdraw();
    }
    return found;
}

// The top-level windows, asked and told in the order they were created;
// then the process ends.
void WindowSystem::endSession()
{
    endingSession_ = true;
    const LPARAM reason = sessionEndReason();
    std::vector<HWND> topLevel;
    for (HWND handle : windows_.handles()) {
        const Window *window = windows_.find(handle);
        if (window && !window->isChild() && !window->destroying)
            topLevel.push_back(handle);
    }
    for (HWND handle : topLevel)
        send(handle, WM_QUERYENDSESSION, 0, reason);
    for (HWND handle : topLevel)
        send(handle, WM_ENDSESSION, TRUE, reason);
    if (peers_)
        peers_->withdraw();
    endProcessForSession();
}

void WindowSystem::waitForWork()
{
    presentAllDamage();
    display().waitForEvents(timers_.nextDeadline());
}

bool WindowSystem::runUntil(const std::function<bool()> &finished)
{
    for (;;) {
        if (finished())
            return true;
        MSG message;
        while (peek(message, nullptr, 0, 0, true)) {
            if (message.message == WM_QUIT) {
                // Modal loops end on WM_QUIT and leave it for the outer loop.
                queue_.postQuit(static_cast<int>(message.wParam));
                return false;
            }
            TranslateMessage(&message);
            DispatchMessageA(&message);
            if (finished())
                return true;
        }
        waitForWork();
    }
}

bool WindowSystem::onGuiThread() const
{
    return !guiThread_ || *guiThread_ == std::this_thread::get_id();
}

// -------------------------------------------------------------- input ----

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

void WindowSystem::mouseButtonPressed(HWND handle, MouseButton button, POINT client)
{
    if (!notePointer(handle, client))
        return;
    buttonsHeld_ |= heldBitOf(button);
    if (!acceptsInput(handle))
        return;
    constexpr UINT middleButtonDown = 0x0207;  // WM_MBUTTONDOWN
    const UINT message = button == MouseButton::Left    ? WM_LBUTTONDOWN
                         : button == MouseButton::Right ? WM_RBUTTONDOWN
                                                        : middleButtonDown;
    postInput(handle, message, mouseKeyFlags(buttonsHeld_), MAKELPARAM(client.x, client.y));
}

void WindowSystem::mouseButtonReleased(HWND handle, MouseButton button, POINT client)
{
    if (!notePointer(handle, client))
        return;
    buttonsHeld_ &= ~heldBitOf(button);
    if (!acceptsInput(handle))
        return;
    constexpr UINT middleButtonUp = 0x0208;  // WM_MBUTTONUP
    const UINT message = button == MouseButton::Left    ? WM_LBUTTONUP
                         : button == MouseButton::Right ? WM_RBUTTONUP
                                                        : middleButtonUp;
    postInput(handle, message, mouseKeyFlags(buttonsHeld_), MAKELPARAM(client.x, client.y));
}

void WindowSystem::mouseMoved(HWND handle, POINT client, unsigned buttonsHeld)
{
    if (!notePointer(handle, client))
        return;
    buttonsHeld_ = buttonsHeld;
    if (!acceptsInput(handle))
        return;
    postInput(handle, WM_MOUSEMOVE, mouseKeyFlags(buttonsHeld_), MAKELPARAM(client.x, client.y));
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
    postInput(handle, WM_SYSCOMMAND, systemCommandClose, 0);
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
    window->rect = offsetRect(window->rect, dx, dy);
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
    postInput(control, buttonClickMessage, 0, 0);
}

void WindowSystem::displayLost() { requestSessionEndForLostDisplay(); }

// ----------------------------------------------------- display access ----

DisplayBackend &displayBackend() { return WindowSystem::instance().display(); }

void installDisplayBackend(std::unique_ptr<DisplayBackend> backend)
{
    WindowSystem::instance().installDisplay(std::move(backend));
}

DisplayBackend *existingDisplayBackend() { return WindowSystem::instance().existingDisplay(); }

}  // namespace hp::user32
