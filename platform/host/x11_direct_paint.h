// Puts damaged parts of a window's surface straight on its X window, outside
// GTK's frame cycle.
//
// GTK paints a frame into an offscreen pixmap the size of the whole damaged
// region's bounding box, which the X server allocates, clears and copies
// again; for the animation's few small, scattered rectangles ten times a
// second that costs the X server and the program more than the pixels
// themselves. Here each rectangle, narrowed to the pixels that changed since
// it was last sent, is one PutImage request from the surface's own memory
// to the window. GTK still paints exposed parts (a map, an uncovered
// window) from the same surface, and every paint when the window's visual
// does not take the surface's pixels as they are.
#pragma once

// The Win32 declarations (through the surface) first: glib then keeps
// their TRUE and FALSE.
#include "platform/gdi32/shown_areas.h"
#include "platform/gdi32/surface.h"

#include <X11/Xlib.h>
#include <gtk/gtk.h>

#include <memory>
#include <vector>

namespace hp::host {

class X11DirectPaint {
public:
    // For the toplevel of a window that fills it from its origin; null when
    // the display is not an X11 one.
    static std::unique_ptr<X11DirectPaint> forToplevel(GtkWidget *toplevel);
    ~X11DirectPaint();
    X11DirectPaint(const X11DirectPaint &) = delete;
    X11DirectPaint &operator=(const X11DirectPaint &) = delete;

    // False (nothing drawn) while the window is not shown or its visual
    // differs: GTK's own draw then shows the surface.
    bool paint(const gdi32::Surface &surface, const std::vector<RECT> &areas);

    // GTK painted the window itself.
    void forgetShown() { shown_.forget(); }

private:
    explicit X11DirectPaint(GtkWidget *toplevel) : toplevel_(toplevel) {}
    static bool takesSurfacePixels(Display *display, Visual *visual, int depth);

    GtkWidget *toplevel_;
    Display *display_ = nullptr;
    GC context_ = nullptr;  // made at the first paint
    gdi32::ShownAreas shown_;
};

}  // namespace hp::host
