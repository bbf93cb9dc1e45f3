// The window system's one instance, its display backend, and where its
// windows are: the tree of parents and children and their rectangles on the
// screen. The other window_system_*.cpp files hold the rest of the object,
// one concern each.
#include "platform/user32/window_system.h"

#include "platform/gdi32/rectangles.h"
#include "platform/user32/frame_metrics.h"
#include "platform/user32/system_classes.h"
#include "platform/wiring.h"

namespace hp::user32 {

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
            rect = gdi32::offsetRect(rect, parentClient.left, parentClient.top);
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

// ----------------------------------------------------- display access ----

DisplayBackend &displayBackend() { return WindowSystem::instance().display(); }

void installDisplayBackend(std::unique_ptr<DisplayBackend> backend)
{
    WindowSystem::instance().installDisplay(std::move(backend));
}

DisplayBackend *existingDisplayBackend() { return WindowSystem::instance().existingDisplay(); }

}  // namespace hp::user32
