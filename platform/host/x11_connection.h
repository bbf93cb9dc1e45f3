// The loss of the GTK display's X11 connection, reported instead of ending
// the process.
#pragma once

namespace hp::host {

// When GDK's default display is an X11 one: from now on a broken
// connection to the X server calls lost(context) once, on the thread that
// was using the display, and every later request on the connection returns
// without effect, where GDK's own handler would end the process at once
// (without the program's shutdown). Other displays keep GDK's handling:
// GDK on Wayland ends the process itself when its connection breaks.
void reportX11ConnectionLoss(void (*lost)(void *context), void *context);

}  // namespace hp::host
