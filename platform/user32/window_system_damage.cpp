// Damage and drawing: the invalid area of each window, the device contexts
// handed out for its surface, and presenting what was drawn to the display.
#include "platform/user32/window_system.h"

#include "platform/gdi32/rectangles.h"
#include "platform/gdi32/surface.h"

namespace hp::user32 {

void WindowSystem::invalidate(Window &window, const RECT *area, bool erase)
{
    const SIZE size = clientSize(window);
    const RECT client{0, 0, size.cx, size.cy};
    const RECT added = area ? gdi32::intersectRects(*area, client) : client;
    if (gdi32::isEmptyRect(added))
        return;
    window.invalid = gdi32::uniteRects(window.invalid, added);
    if (erase)
        window.eraseRequested = true;
}

void WindowSystem::validate(Window &window, const RECT *area)
{
    // The update region is kept as one rectangle: a validation that does
    // not cover all of it leaves it whole, so nothing is ever left unpainted.
    if (area && !gdi32::isEmptyRect(window.invalid)) {
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

}  // namespace hp::user32
