#include "platform/host/x11_connection.h"

#include <gdk/gdkx.h>

namespace hp::host {
namespace {

void (*lostCallback)(void *) = nullptr;
void *lostContext = nullptr;

// Xlib calls the I/O error handler first; when it returns (GDK's never
// does), libX11 1.7 and later call the connection's I/O error exit handler
// in place of exit(), and mark the connection broken.
int onIoError(Display *) { return 0; }

void onIoErrorExit(Display *, void *)
{
    static bool reported = false;
    if (reported || !lostCallback)
        return;
    reported = true;
    lostCallback(lostContext);
}

}  // namespace

void reportX11ConnectionLoss(void (*lost)(void *context), void *context)
{
    GdkDisplay *display = gdk_display_get_default();
    if (!display || !GDK_IS_X11_DISPLAY(display))
        return;
    lostCallback = lost;
    lostContext = context;
    XSetIOErrorHandler(onIoError);
    XSetIOErrorExitHandler(GDK_DISPLAY_XDISPLAY(display), onIoErrorExit, nullptr);
}

}  // namespace hp::host
