// A tiny GTK drag source for the display test: a borderless square at a
// given place that offers one file URI by drag and drop, as a file manager
// would.
//   hp_gtk_drag_source <x> <y> <uri>
#include <gtk/gtk.h>

#include <cstdio>
#include <cstdlib>

namespace {

const char *offeredUri = nullptr;

void onDragDataGet(GtkWidget *, GdkDragContext *, GtkSelectionData *data, guint, guint, gpointer)
{
    gchar *uris[] = {const_cast<gchar *>(offeredUri), nullptr};
    gtk_selection_data_set_uris(data, uris);
}

void onDragEnd(GtkWidget *, GdkDragContext *, gpointer)
{
    std::printf("DRAG_END\n");
    std::fflush(stdout);
}

gboolean onMapped(GtkWidget *, GdkEvent *, gpointer)
{
    std::printf("SOURCE_READY\n");
    std::fflush(stdout);
    return FALSE;
}

}  // namespace

int main(int argc, char **argv)
{
    gtk_init(&argc, &argv);
    if (argc != 4) {
        std::fprintf(stderr, "usage: %s <x> <y> <uri>\n", argv[0]);
        return 2;
    }
    offeredUri = argv[3];
    GtkWidget *window = gtk_window_new(GTK_WINDOW_TOPLEVEL);
    gtk_window_set_decorated(GTK_WINDOW(window), FALSE);
    gtk_window_move(GTK_WINDOW(window), std::atoi(argv[1]), std::atoi(argv[2]));
    GtkWidget *area = gtk_event_box_new();
    gtk_widget_set_size_request(area, 100, 100);
    gtk_container_add(GTK_CONTAINER(window), area);
    static const GtkTargetEntry uriList{const_cast<gchar *>("text/uri-list"), 0, 0};
    gtk_drag_source_set(area, GDK_BUTTON1_MASK, &uriList, 1, GDK_ACTION_COPY);
    g_signal_connect(area, "drag-data-get", G_CALLBACK(onDragDataGet), nullptr);
    g_signal_connect(area, "drag-end", G_CALLBACK(onDragEnd), nullptr);
    g_signal_connect(window, "map-event", G_CALLBACK(onMapped), nullptr);
    g_signal_connect(window, "destroy", G_CALLBACK(gtk_main_quit), nullptr);
    gtk_widget_show_all(window);
    gtk_main();
    return 0;
}
