// Popup menus as native GtkMenus, run while the program's messages flow.
#include "platform/host/charset.h"
#include "platform/host/gtk_parts.h"
#include "platform/host/mnemonic_label.h"

namespace hp::host {
namespace {

struct MenuSession {
    UINT chosen = 0;
    bool closed = false;
    guint closeSource = 0;
};

void onItemActivated(GtkMenuItem *item, gpointer data)
{
    auto *session = static_cast<MenuSession *>(data);
    session->chosen = GPOINTER_TO_UINT(g_object_get_data(G_OBJECT(item), "hp-id"));
}

gboolean finishSession(gpointer data)
{
    auto *session = static_cast<MenuSession *>(data);
    session->closed = true;
    session->closeSource = 0;
    return G_SOURCE_REMOVE;
}

// The menu deactivates before the chosen item's "activate" is emitted, so
// the session ends one idle turn later, once the choice is known.
void onMenuDeactivated(GtkMenuShell *, gpointer data)
{
    auto *session = static_cast<MenuSession *>(data);
    if (!session->closeSource && !session->closed)
        session->closeSource = g_idle_add(finishSession, session);
}

GtkWidget *buildMenu(const std::vector<user32::PopupMenuEntry> &items, MenuSession &session)
{
    GtkWidget *menu = gtk_menu_new();
    for (const user32::PopupMenuEntry &item : items) {
        GtkWidget *entry = nullptr;
        if (item.separator) {
            entry = gtk_separator_menu_item_new();
        } else {
            const std::string label = underscoreMnemonics(utf8FromCp932(item.text));
            if (item.checked) {
                entry = gtk_check_menu_item_new_with_mnemonic(label.c_str());
                gtk_check_menu_item_set_active(GTK_CHECK_MENU_ITEM(entry), TRUE);
            } else {
                entry = gtk_menu_item_new_with_mnemonic(label.c_str());
            }
            if (item.disabled)
                gtk_widget_set_sensitive(entry, FALSE);
            if (item.hasSubmenu) {
                gtk_menu_item_set_submenu(GTK_MENU_ITEM(entry), buildMenu(item.submenu, session));
            } else {
                g_object_set_data(G_OBJECT(entry), "hp-id", GUINT_TO_POINTER(item.id));
                g_signal_connect(entry, "activate", G_CALLBACK(onItemActivated), &session);
            }
        }
        gtk_menu_shell_append(GTK_MENU_SHELL(menu), entry);
    }
    return menu;
}

}  // namespace

UINT runPopupMenu(const std::vector<user32::PopupMenuEntry> &items, GtkWidget *ownerWindow,
                  POINT screen, const GdkEvent *trigger, user32::ModalLoop &loop)
{
    MenuSession session;
    OwnedWidget menu = ownWidget(buildMenu(items, session));
    g_signal_connect(menu.get(), "deactivate", G_CALLBACK(onMenuDeactivated), &session);
    gtk_widget_show_all(menu.get());

    GdkWindow *anchor = ownerWindow ? gtk_widget_get_window(ownerWindow) : nullptr;
    if (anchor) {
        gint originX = 0, originY = 0;
        gdk_window_get_origin(anchor, &originX, &originY);
        const GdkRectangle point{screen.x - originX, screen.y - originY, 1, 1};
        gtk_menu_popup_at_rect(GTK_MENU(menu.get()), anchor, &point, GDK_GRAVITY_NORTH_WEST,
                               GDK_GRAVITY_NORTH_WEST, trigger);
    } else {
        gtk_menu_popup_at_pointer(GTK_MENU(menu.get()), trigger);
    }
    // A menu that could not take the pointer never shows; it counts as
    // dismissed.
    if (!gtk_widget_get_visible(menu.get()))
        session.closed = true;

    loop.runUntil([&session] { return session.closed; });

    if (session.closeSource)
        g_source_remove(session.closeSource);
    g_signal_handlers_disconnect_by_data(menu.get(), &session);
    if (!session.closed)
        gtk_menu_popdown(GTK_MENU(menu.get()));
    return session.closed ? session.chosen : 0;
}

}  // namespace hp::host
