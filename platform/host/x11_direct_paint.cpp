#include "platform/host/x11_direct_paint.h"

#include <gdk/gdkx.h>

namespace hp::host {

std::unique_ptr<X11DirectPaint> X11DirectPaint::forToplevel(GtkWidget *toplevel)
{
    GdkDisplay *display = gtk_widget_get_display(toplevel);
    if (!display || !GDK_IS_X11_DISPLAY(display))
        return nullptr;
    return std::unique_ptr<X11DirectPaint>(new X11DirectPaint(toplevel));
}

X11DirectPaint::~X11DirectPaint()
{
    if (context_)
        XFreeGC(display_, context_);
}

// The surface's pixels are 0x00RRGGBB words, as a 24-bit TrueColor X
// visual with 32-bit pixels in the server's own byte order takes them.
bool X11DirectPaint::takesSurfacePixels(Display *display, Visual *visual, int depth)
{
    const bool littleEndian = ImageByteOrder(display) == LSBFirst;
    return depth == 24 && visual->red_mask == 0xFF0000 && visual->green_mask == 0xFF00 &&
           visual->blue_mask == 0xFF && littleEndian == (G_BYTE_ORDER == G_LITTLE_ENDIAN);
}

bool X11DirectPaint::paint(const gdi32::Surface &surface, const std::vector<RECT> &areas)
{
    GdkWindow *window = gtk_widget_get_window(toplevel_);
    if (!window || !gtk_widget_get_realized(toplevel_) || !gdk_window_is_viewable(window))
        return false;
    Display *display = GDK_WINDOW_XDISPLAY(window);
    Visual *visual = gdk_x11_visual_get_xvisual(gdk_window_get_visual(window));
    const int depth = gdk_visual_get_depth(gdk_window_get_visual(window));
    if (!context_) {
        if (!takesSurfacePixels(display, visual, depth))
            return false;
        display_ = display;
        context_ = XCreateGC(display, GDK_WINDOW_XID(window), 0, nullptr);
        if (!context_)
            return false;
    }
    // The image only describes the surface's memory; it never owns it.
    XImage *image = XCreateImage(display, visual, static_cast<unsigned>(depth), ZPixmap, 0,
                                 reinterpret_cast<char *>(const_cast<uint32_t *>(surface.pixels())),
                                 static_cast<unsigned>(surface.width()),
                                 static_cast<unsigned>(surface.height()), 32, surface.stride());
    if (!image)
        return false;
    for (const RECT &area : areas) {
        const RECT part = shown_.changedPart(surface, area);
        if (part.right <= part.left)
            continue;
        XPutImage(display, GDK_WINDOW_XID(window), context_, image, part.left, part.top,
                  part.left, part.top, static_cast<unsigned>(part.right - part.left),
                  static_cast<unsigned>(part.bottom - part.top));
    }
    image->data = nullptr;
    XDestroyImage(image);
    XFlush(display);
    return true;
}

}  // namespace hp::host
