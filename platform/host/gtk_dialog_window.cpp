// Dialogs from templates as native GTK windows: a fixed layout with the
// template's controls at their converted positions.
#include "platform/host/charset.h"
#include "platform/host/gtk_parts.h"
#include "platform/host/mnemonic_label.h"

namespace hp::host {
namespace {

using user32::DialogControlKind;
using user32::DialogControlDescription;

// What a widget's handlers need; lives as long as the widget.
struct WidgetContext {
    ListenerSlot listener = nullptr;
    HWND window = nullptr;
};

WidgetContext *attachContext(GtkWidget *widget, ListenerSlot listener, HWND window)
{
    auto *context = new WidgetContext{listener, window};
    g_object_set_data_full(G_OBJECT(widget), "hp-context", context,
                           [](gpointer data) { delete static_cast<WidgetContext *>(data); });
    return context;
}

user32::DisplayListener *listenerOf(const WidgetContext *context)
{
    return context && context->listener ? *context->listener : nullptr;
}

void onButtonClicked(GtkButton *, gpointer data)
{
    auto *context = static_cast<WidgetContext *>(data);
    if (user32::DisplayListener *listener = listenerOf(context))
        listener->controlClicked(context->window);
}

// Enter and Escape belong to the dialog manager, not to the focused button.
gboolean onDialogKeyPress(GtkWidget *, GdkEventKey *event, gpointer data)
{
    auto *context = static_cast<WidgetContext *>(data);
    const UINT key = virtualKeyOf(event->keyval);
    if (key != VK_RETURN && key != VK_ESCAPE)
        return FALSE;
    if (user32::DisplayListener *listener = listenerOf(context))
        listener->keyPressed(context->window, key);
    return TRUE;
}

gboolean onDialogDelete(GtkWidget *, GdkEvent *, gpointer data)
{
    auto *context = static_cast<WidgetContext *>(data);
    if (user32::DisplayListener *listener = listenerOf(context))
        listener->closeRequested(context->window);
    return TRUE;
}

void applyFont(GtkWidget *label, const PangoFontDescription *font)
{
    if (!font || !GTK_IS_LABEL(label))
        return;
    PangoAttrList *attributes = pango_attr_list_new();
    pango_attr_list_insert(attributes, pango_attr_font_desc_new(font));
    gtk_label_set_attributes(GTK_LABEL(label), attributes);
    pango_attr_list_unref(attributes);
}

GtkWidget *makeIcon(const DialogControlDescription &control)
{
    if (control.iconPixels.empty())
        return gtk_image_new();
    GdkPixbuf *pixbuf = gdk_pixbuf_new(GDK_COLORSPACE_RGB, FALSE, 8, control.iconWidth,
                                       control.iconHeight);
    if (!pixbuf)
        return gtk_image_new();
    guchar *rows = gdk_pixbuf_get_pixels(pixbuf);
    const int stride = gdk_pixbuf_get_rowstride(pixbuf);
    for (int y = 0; y < control.iconHeight; ++y) {
        guchar *row = rows + static_cast<size_t>(y) * stride;
        for (int x = 0; x < control.iconWidth; ++x) {
            const uint32_t pixel = control.iconPixels[static_cast<size_t>(y) * control.iconWidth + x];
            row[x * 3 + 0] = static_cast<guchar>(pixel >> 16);
            row[x * 3 + 1] = static_cast<guchar>(pixel >> 8);
            row[x * 3 + 2] = static_cast<guchar>(pixel);
        }
    }
    GtkWidget *image = gtk_image_new_from_pixbuf(pixbuf);
    g_object_unref(pixbuf);
    return image;
}

GtkWidget *makeControl(const DialogControlDescription &control, const PangoFontDescription *font,
                       ListenerSlot listener)
{
    const std::string text = utf8FromCp932(control.text);
    switch (control.kind) {
    case DialogControlKind::PushButton:
    case DialogControlKind::DefaultPushButton: {
        GtkWidget *button = gtk_button_new_with_mnemonic(underscoreMnemonics(text).c_str());
        applyFont(gtk_bin_get_child(GTK_BIN(button)), font);
        WidgetContext *context = attachContext(button, listener, control.control);
        g_signal_connect(button, "clicked", G_CALLBACK(onButtonClicked), context);
        if (control.kind == DialogControlKind::DefaultPushButton)
            gtk_widget_set_can_default(button, TRUE);
        return button;
    }
    case DialogControlKind::GroupBox: {
        GtkWidget *frame = gtk_frame_new(text.empty() ? nullptr : text.c_str());
        applyFont(gtk_frame_get_label_widget(GTK_FRAME(frame)), font);
        return frame;
    }
    case DialogControlKind::StaticText: {
        GtkWidget *label = gtk_label_new_with_mnemonic(underscoreMnemonics(text).c_str());
        const float alignment = control.textAlign == SS_CENTER  ? 0.5f
                                : control.textAlign == SS_RIGHT ? 1.0f
                                                                : 0.0f;
        gtk_label_set_xalign(GTK_LABEL(label), alignment);
        gtk_label_set_yalign(GTK_LABEL(label), 0.0f);
        gtk_label_set_line_wrap(GTK_LABEL(label), TRUE);
        applyFont(label, font);
        return label;
    }
    case DialogControlKind::StaticIcon:
        return makeIcon(control);
    }
    return gtk_label_new(nullptr);
}

}  // namespace

OwnedWidget buildDialogWindow(const user32::DialogDescription &description, GtkWindow *owner,
                              ListenerSlot listener)
{
    OwnedWidget toplevel = ownWidget(gtk_window_new(GTK_WINDOW_TOPLEVEL));
    GtkWindow *window = GTK_WINDOW(toplevel.get());
    gtk_window_set_title(window, utf8FromCp932(description.title).c_str());
    gtk_window_set_gravity(window, GDK_GRAVITY_STATIC);
    gtk_window_set_resizable(window, FALSE);
    gtk_window_set_modal(window, TRUE);
    gtk_window_set_type_hint(window, GDK_WINDOW_TYPE_HINT_DIALOG);
    gtk_window_set_deletable(window, description.hasCloseBox ? TRUE : FALSE);
    if (owner)
        gtk_window_set_transient_for(window, owner);
    gtk_window_move(window, description.clientRect.left, description.clientRect.top);

    WidgetContext *context = attachContext(toplevel.get(), listener, description.dialog);
    g_signal_connect(toplevel.get(), "key-press-event", G_CALLBACK(onDialogKeyPress), context);
    g_signal_connect(toplevel.get(), "delete-event", G_CALLBACK(onDialogDelete), context);

    GtkWidget *fixed = gtk_fixed_new();
    gtk_widget_set_size_request(fixed, description.clientRect.right - description.clientRect.left,
                                description.clientRect.bottom - description.clientRect.top);
    gtk_container_add(GTK_CONTAINER(window), fixed);

    PangoFontDescription *font = nullptr;
    if (!description.fontFace.empty() && description.fontPixelHeight > 0) {
        font = pango_font_description_new();
        pango_font_description_set_family(font, utf8FromCp932(description.fontFace).c_str());
        pango_font_description_set_absolute_size(font, description.fontPixelHeight * PANGO_SCALE);
    }
    GtkWidget *defaultButton = nullptr;
    for (const DialogControlDescription &control : description.controls) {
        GtkWidget *widget = makeControl(control, font, listener);
        gtk_widget_set_size_request(widget, control.rect.right - control.rect.left,
                                    control.rect.bottom - control.rect.top);
        gtk_fixed_put(GTK_FIXED(fixed), widget, control.rect.left, control.rect.top);
        if (control.kind == DialogControlKind::DefaultPushButton)
            defaultButton = widget;
    }
    if (font)
        pango_font_description_free(font);
    if (defaultButton) {
        gtk_widget_grab_default(defaultButton);
        gtk_widget_grab_focus(defaultButton);
    }
    return toplevel;
}

}  // namespace hp::host
