// The pieces of the GTK display backend, shared by its gtk_*.cpp files
// only (this is the one header that brings GTK in).
#pragma once

// The Win32 declarations come first: glib then keeps their TRUE and FALSE
// (the same values) instead of defining its own.
#include "platform/user32/display_backend.h"

#include <gtk/gtk.h>

#include <memory>
#include <string>
#include <vector>

namespace hp::host {

// Owns a toplevel widget (or any widget we created and hold a reference
// to): destroyed and released with the owner.
struct WidgetReleaser {
    void operator()(GtkWidget *widget) const
    {
        gtk_widget_destroy(widget);
        g_object_unref(widget);
    }
};
using OwnedWidget = std::unique_ptr<GtkWidget, WidgetReleaser>;

// Takes ownership of a freshly created widget (sinks its floating
// reference, if any).
inline OwnedWidget ownWidget(GtkWidget *widget)
{
    g_object_ref_sink(widget);
    return OwnedWidget(widget);
}

struct EventReleaser {
    void operator()(GdkEvent *event) const { gdk_event_free(event); }
};
using OwnedEvent = std::unique_ptr<GdkEvent, EventReleaser>;

// The platform's virtual key for a GDK key, or 0 when it has none here.
UINT virtualKeyOf(guint keyval);

// Where the display keeps its listener; widgets' signal handlers read it
// at the time of the event.
using ListenerSlot = user32::DisplayListener *const *;

// A native modal dialog with the controls of a dialog template, hidden.
// The listener hears of button clicks, Enter, Escape, the close box and
// moves.
OwnedWidget buildDialogWindow(const user32::DialogDescription &description, GtkWindow *owner,
                              ListenerSlot listener);

// Runs a popup menu at a screen point until an item is chosen or the menu
// is dismissed; returns the chosen id or 0.
UINT runPopupMenu(const std::vector<user32::PopupMenuEntry> &items, GtkWidget *ownerWindow,
                  POINT screen, const GdkEvent *trigger, user32::ModalLoop &loop);

// Runs a message box; returns IDOK, IDCANCEL, IDYES or IDNO.
int runMessageDialog(const user32::MessageBoxContent &description, GtkWindow *owner,
                     user32::ModalLoop &loop);

// The screen position of a widget's top-left corner.
POINT screenOriginOf(GtkWidget *widget);

}  // namespace hp::host
