#include "platform/host/gtk_display.h"

#include <cstdio>
#include <unordered_map>

#include "platform/gdi32/surface.h"
#include "platform/host/charset.h"
#include "platform/host/gtk_parts.h"
#include "platform/host/media_keys.h"
#include "platform/host/x11_connection.h"
#include "platform/host/x11_direct_paint.h"
#include "platform/kernel32/module_file.h"
#include "platform/null_backends.h"

namespace hp::host {
namespace {

using user32::DisplayListener;
using user32::MouseButton;

// Draining the main context after a wait stops after this many dispatches,
// so that a source that is always ready cannot hold the caller.
constexpr int maximumDispatchesPerWait = 200;

class GtkDisplay;

// One window the backend shows: a toplevel and, for plain windows, the
// drawing area that shows the window's surface.
struct NativeWindow {
    GtkDisplay *display = nullptr;
    HWND window = nullptr;
    OwnedWidget toplevel;
    GtkWidget *area = nullptr;  // plain windows: shows the surface
    GtkWidget *client = nullptr;  // the widget whose origin is the client origin
    std::shared_ptr<gdi32::Surface> surface;
    std::unique_ptr<X11DirectPaint> directPaint;  // plain windows on X11
    bool dropsEnabled = false;
    bool dropHandlerConnected = false;
    bool dialog = false;
};

class GtkDisplay final : public user32::DisplayBackend {
public:
    ~GtkDisplay() override;

    void setListener(DisplayListener *listener) override { listener_ = listener; }
    void createWindow(const user32::NativeWindowDescription &description) override;
    void createDialog(const user32::DialogDescription &description) override;
    void destroyWindow(HWND window) override;
    void showWindow(HWND window, bool visible) override;
    void placeWindow(HWND window, const RECT &clientRect) override;
    void setTitle(HWND window, const std::string &title) override;
    void acceptDrops(HWND window, bool accept) override;
    void present(HWND window, const std::vector<RECT> &areas) override;
    void beginMove(HWND window) override;
    void raiseWindow(HWND window) override;
    UINT trackPopupMenu(HWND owner, POINT screen,
                        const std::vector<user32::PopupMenuEntry> &items,
                        user32::ModalLoop &loop) override;
    int showMessageBox(HWND owner, const user32::MessageBoxContent &description,
                       user32::ModalLoop &loop) override;
    SIZE screenSize() override;
    RECT workArea() override;
    POINT cursorPosition() override;
    uint64_t nowMilliseconds() override;
    void waitForEvents(std::optional<uint64_t> deadlineMilliseconds) override;
    void wake() override;

    DisplayListener *listener() const { return listener_; }
    // The connection to the display is gone: reported once; the modal
    // pieces answer at once from then on, as nobody could answer them.
    void loseDisplay();
    void rememberPress(HWND window, const GdkEvent *event)
    {
        lastPress_.reset(gdk_event_copy(event));
        lastPressWindow_ = window;
    }

private:
    NativeWindow *find(HWND window) const;
    GtkWindow *toplevelOf(HWND window) const;
    bool buttonStillHeld(guint button) const;
    void connectWindowSignals(NativeWindow &native);

    DisplayListener *listener_ = nullptr;
    bool lost_ = false;
    std::unordered_map<HWND, std::unique_ptr<NativeWindow>> windows_;
    OwnedEvent lastPress_;
    HWND lastPressWindow_ = nullptr;
};

// ----------------------------------------------------- signal handlers ----

MouseButton buttonOf(guint button)
{
    switch (button) {
    case 3:
        return MouseButton::Right;
    case 2:
        return MouseButton::Middle;
    default:
        return MouseButton::Left;
    }
}

unsigned heldButtonsOf(guint state)
{
    unsigned held = 0;
    if (state & GDK_BUTTON1_MASK)
        held |= user32::mouseLeftHeld;
    if (state & GDK_BUTTON2_MASK)
        held |= user32::mouseMiddleHeld;
    if (state & GDK_BUTTON3_MASK)
        held |= user32::mouseRightHeld;
    return held;
}

gboolean onDraw(GtkWidget *, cairo_t *cairo, gpointer data)
{
    auto *native = static_cast<NativeWindow *>(data);
    gdi32::Surface &surface = *native->surface;
    if (surface.width() <= 0 || surface.height() <= 0)
        return TRUE;
    if (native->directPaint)
        native->directPaint->forgetShown();
    // The surface's memory is cairo's RGB24 layout; it is wrapped, not copied.
    // On a high-density screen its device copy is shown, one pixel per
    // device pixel.
    gdi32::Surface &shown = surface.device() ? *surface.device() : surface;
    cairo_surface_t *image = cairo_image_surface_create_for_data(
        reinterpret_cast<unsigned char *>(shown.pixels()), CAIRO_FORMAT_RGB24, shown.width(),
        shown.height(), shown.stride());
    cairo_surface_set_device_scale(image, surface.deviceScale(), surface.deviceScale());
    cairo_set_source_surface(cairo, image, 0, 0);
    cairo_paint(cairo);
    cairo_surface_destroy(image);
    return TRUE;
}

gboolean onButtonPress(GtkWidget *, GdkEventButton *event, gpointer data)
{
    auto *native = static_cast<NativeWindow *>(data);
    // Double and triple clicks arrive as further plain presses too.
    if (event->type != GDK_BUTTON_PRESS)
        return TRUE;
    native->display->rememberPress(native->window, reinterpret_cast<GdkEvent *>(event));
    if (DisplayListener *listener = native->display->listener()) {
        listener->mouseButtonPressed(native->window, buttonOf(event->button),
                                     POINT{static_cast<LONG>(event->x), static_cast<LONG>(event->y)});
    }
    return TRUE;
}

gboolean onButtonRelease(GtkWidget *, GdkEventButton *event, gpointer data)
{
    auto *native = static_cast<NativeWindow *>(data);
    if (DisplayListener *listener = native->display->listener()) {
        listener->mouseButtonReleased(native->window, buttonOf(event->button),
                                      POINT{static_cast<LONG>(event->x), static_cast<LONG>(event->y)});
    }
    return TRUE;
}

gboolean onMotion(GtkWidget *, GdkEventMotion *event, gpointer data)
{
    auto *native = static_cast<NativeWindow *>(data);
    if (DisplayListener *listener = native->display->listener()) {
        listener->mouseMoved(native->window,
                             POINT{static_cast<LONG>(event->x), static_cast<LONG>(event->y)},
                             heldButtonsOf(event->state));
    }
    return TRUE;
}

gboolean onKeyPress(GtkWidget *, GdkEventKey *event, gpointer data)
{
    auto *native = static_cast<NativeWindow *>(data);
    if (const short command = appCommandOfKey(event->keyval))
        return reportMediaKey(native->display->listener(), native->window, command);
    const UINT key = virtualKeyOf(event->keyval);
    if (!key)
        return FALSE;
    if (DisplayListener *listener = native->display->listener())
        listener->keyPressed(native->window, key);
    return TRUE;
}

gboolean onDelete(GtkWidget *, GdkEvent *, gpointer data)
{
    auto *native = static_cast<NativeWindow *>(data);
    if (DisplayListener *listener = native->display->listener())
        listener->closeRequested(native->window);
    return TRUE;  // the window system decides whether the window goes
}

gboolean onConfigure(GtkWidget *, GdkEventConfigure *, gpointer data)
{
    auto *native = static_cast<NativeWindow *>(data);
    if (!native->client || !gtk_widget_get_realized(native->client))
        return FALSE;
    if (DisplayListener *listener = native->display->listener())
        listener->windowMoved(native->window, screenOriginOf(native->client));
    return FALSE;
}

void onDragDataReceived(GtkWidget *, GdkDragContext *, gint x, gint y, GtkSelectionData *data,
                        guint, guint, gpointer user)
{
    auto *native = static_cast<NativeWindow *>(user);
    if (!native->dropsEnabled)
        return;
    gchar **uris = gtk_selection_data_get_uris(data);
    if (!uris)
        return;
    std::vector<std::string> paths;
    for (gchar **uri = uris; *uri; ++uri) {
        gchar *path = g_filename_from_uri(*uri, nullptr, nullptr);
        if (path) {
            paths.emplace_back(path);
            g_free(path);
        }
    }
    g_strfreev(uris);
    if (!paths.empty()) {
        if (DisplayListener *listener = native->display->listener())
            listener->filesDropped(native->window, paths, POINT{x, y});
    }
}

// GDK's pixbufs hold straight-alpha RGBA bytes, as the pictures hold
// 0xAARRGGBB words.
void setWindowIcons(GtkWindow *toplevel, const std::vector<user32::IconPicture> &icons)
{
    GList *list = nullptr;
    for (const user32::IconPicture &icon : icons) {
        GdkPixbuf *pixbuf = gdk_pixbuf_new(GDK_COLORSPACE_RGB, TRUE, 8, icon.width, icon.height);
        if (!pixbuf)
            continue;
        list = g_list_append(list, pixbuf);
        guchar *rows = gdk_pixbuf_get_pixels(pixbuf);
        const int stride = gdk_pixbuf_get_rowstride(pixbuf);
        for (int y = 0; y < icon.height; ++y) {
            guchar *byte = rows + static_cast<size_t>(y) * stride;
            for (int x = 0; x < icon.width; ++x) {
                const uint32_t argb = icon.argb[static_cast<size_t>(y) * icon.width + x];
                *byte++ = static_cast<guchar>(argb >> 16);
                *byte++ = static_cast<guchar>(argb >> 8);
                *byte++ = static_cast<guchar>(argb);
                *byte++ = static_cast<guchar>(argb >> 24);
            }
        }
    }
    if (list)
        gtk_window_set_icon_list(toplevel, list);
    g_list_free_full(list, g_object_unref);
}

gboolean onDeadline(gpointer data)
{
    *static_cast<bool *>(data) = true;
    return G_SOURCE_REMOVE;
}

// --------------------------------------------------------- GtkDisplay ----

GtkDisplay::~GtkDisplay()
{
    for (auto &entry : windows_) {
        if (entry.second->toplevel)
            g_signal_handlers_disconnect_by_data(entry.second->toplevel.get(), entry.second.get());
        if (entry.second->area)
            g_signal_handlers_disconnect_by_data(entry.second->area, entry.second.get());
    }
}

NativeWindow *GtkDisplay::find(HWND window) const
{
    auto it = windows_.find(window);
    return it == windows_.end() ? nullptr : it->second.get();
}

GtkWindow *GtkDisplay::toplevelOf(HWND window) const
{
    NativeWindow *native = find(window);
    return native ? GTK_WINDOW(native->toplevel.get()) : nullptr;
}

void GtkDisplay::connectWindowSignals(NativeWindow &native)
{
    GtkWidget *toplevel = native.toplevel.get();
    g_signal_connect(toplevel, "delete-event", G_CALLBACK(onDelete), &native);
    g_signal_connect(toplevel, "configure-event", G_CALLBACK(onConfigure), &native);
    if (!native.area)
        return;
    gtk_widget_add_events(native.area, GDK_BUTTON_PRESS_MASK | GDK_BUTTON_RELEASE_MASK |
                                           GDK_POINTER_MOTION_MASK);
    g_signal_connect(native.area, "draw", G_CALLBACK(onDraw), &native);
    g_signal_connect(native.area, "button-press-event", G_CALLBACK(onButtonPress), &native);
    g_signal_connect(native.area, "button-release-event", G_CALLBACK(onButtonRelease), &native);
    g_signal_connect(native.area, "motion-notify-event", G_CALLBACK(onMotion), &native);
    g_signal_connect(toplevel, "key-press-event", G_CALLBACK(onKeyPress), &native);
}

void GtkDisplay::createWindow(const user32::NativeWindowDescription &description)
{
    auto native = std::make_unique<NativeWindow>();
    native->display = this;
    native->window = description.window;
    native->surface = description.surface;
    native->toplevel = ownWidget(gtk_window_new(GTK_WINDOW_TOPLEVEL));
    GtkWindow *toplevel = GTK_WINDOW(native->toplevel.get());
    // The placement names the client area, whatever frame the window
    // manager adds.
    gtk_window_set_gravity(toplevel, GDK_GRAVITY_STATIC);
    gtk_window_set_decorated(toplevel, FALSE);
    gtk_window_set_resizable(toplevel, FALSE);
    gtk_window_set_title(toplevel, utf8FromCp932(description.title).c_str());
    setWindowIcons(toplevel, description.icons);
    if (GtkWindow *owner = toplevelOf(description.owner))
        gtk_window_set_transient_for(toplevel, owner);
    gtk_window_move(toplevel, description.clientRect.left, description.clientRect.top);

    native->area = gtk_drawing_area_new();
    native->client = native->area;
    // The desktop's scale (GDK_SCALE): the client area keeps its size in the
    // program's pixels and is drawn at the screen's.
    if (native->surface)
        native->surface->setDeviceScale(gtk_widget_get_scale_factor(native->toplevel.get()));
    gtk_widget_set_size_request(native->area, description.clientRect.right - description.clientRect.left,
                                description.clientRect.bottom - description.clientRect.top);
    gtk_container_add(GTK_CONTAINER(toplevel), native->area);
    native->directPaint = X11DirectPaint::forToplevel(native->toplevel.get());
    connectWindowSignals(*native);
    windows_[description.window] = std::move(native);
    if (description.acceptsDrops)
        acceptDrops(description.window, true);
}

void GtkDisplay::createDialog(const user32::DialogDescription &description)
{
    auto native = std::make_unique<NativeWindow>();
    native->display = this;
    native->window = description.dialog;
    native->dialog = true;
    native->toplevel = buildDialogWindow(description, toplevelOf(description.owner), &listener_);
    native->client = gtk_bin_get_child(GTK_BIN(native->toplevel.get()));
    g_signal_connect(native->toplevel.get(), "configure-event", G_CALLBACK(onConfigure),
                     native.get());
    windows_[description.dialog] = std::move(native);
}

void GtkDisplay::destroyWindow(HWND window)
{
    auto it = windows_.find(window);
    if (it == windows_.end())
        return;
    NativeWindow &native = *it->second;
    g_signal_handlers_disconnect_by_data(native.toplevel.get(), &native);
    if (native.area)
        g_signal_handlers_disconnect_by_data(native.area, &native);
    if (lastPressWindow_ == window) {
        lastPress_.reset();
        lastPressWindow_ = nullptr;
    }
    windows_.erase(it);
}

void GtkDisplay::showWindow(HWND window, bool visible)
{
    NativeWindow *native = find(window);
    if (!native)
        return;
    if (visible) {
        gtk_widget_show_all(native->toplevel.get());
        // A dialog takes the keyboard as it opens, even where no window
        // manager hands out the focus.
        if (native->dialog)
            gtk_window_present(GTK_WINDOW(native->toplevel.get()));
    } else
        gtk_widget_hide(native->toplevel.get());
}

void GtkDisplay::placeWindow(HWND window, const RECT &clientRect)
{
    NativeWindow *native = find(window);
    if (!native)
        return;
    GtkWindow *toplevel = GTK_WINDOW(native->toplevel.get());
    gtk_window_move(toplevel, clientRect.left, clientRect.top);
    const int width = clientRect.right - clientRect.left;
    const int height = clientRect.bottom - clientRect.top;
    if (native->client) {
        int currentWidth = 0, currentHeight = 0;
        gtk_widget_get_size_request(native->client, &currentWidth, &currentHeight);
        if (currentWidth != width || currentHeight != height) {
            gtk_widget_set_size_request(native->client, width, height);
            gtk_window_resize(toplevel, width, height);
        }
    }
}

void GtkDisplay::setTitle(HWND window, const std::string &title)
{
    if (GtkWindow *toplevel = toplevelOf(window))
        gtk_window_set_title(toplevel, utf8FromCp932(title).c_str());
}

void GtkDisplay::acceptDrops(HWND window, bool accept)
{
    NativeWindow *native = find(window);
    if (!native || !native->area)
        return;
    native->dropsEnabled = accept;
    if (accept) {
        static const GtkTargetEntry uriList{const_cast<gchar *>("text/uri-list"), 0, 0};
        gtk_drag_dest_set(native->area, GTK_DEST_DEFAULT_ALL, &uriList, 1, GDK_ACTION_COPY);
        if (!native->dropHandlerConnected) {
            g_signal_connect(native->area, "drag-data-received", G_CALLBACK(onDragDataReceived),
                             native);
            native->dropHandlerConnected = true;
        }
    } else {
        gtk_drag_dest_unset(native->area);
    }
}

// On X11 the areas go straight to the window; elsewhere (or before the
// window is shown) each joins the widget's invalid region as it is: GDK
// keeps a region of rectangles, and the next frame copies only those pixels.
void GtkDisplay::present(HWND window, const std::vector<RECT> &areas)
{
    NativeWindow *native = find(window);
    if (!native || !native->area)
        return;
    if (native->directPaint && native->directPaint->paint(*native->surface, areas))
        return;
    for (const RECT &area : areas)
        gtk_widget_queue_draw_area(native->area, area.left, area.top, area.right - area.left,
                                   area.bottom - area.top);
}

void GtkDisplay::beginMove(HWND window)
{
    GtkWindow *toplevel = toplevelOf(window);
    if (!toplevel)
        return;
    if (lastPress_ && lastPressWindow_ == window) {
        const GdkEventButton &press = lastPress_->button;
        // A press that has already been released starts nothing: the move
        // would otherwise hold the pointer until the next release.
        if (!buttonStillHeld(press.button))
            return;
        gtk_window_begin_move_drag(toplevel, static_cast<gint>(press.button),
                                   static_cast<gint>(press.x_root), static_cast<gint>(press.y_root),
                                   press.time);
        return;
    }
    const POINT cursor = cursorPosition();
    gtk_window_begin_move_drag(toplevel, 1, cursor.x, cursor.y, GDK_CURRENT_TIME);
}

void GtkDisplay::loseDisplay()
{
    if (lost_)
        return;
    lost_ = true;
    std::fprintf(stderr, "Hollyphone: the connection to the display is lost\n");
    if (listener_)
        listener_->displayLost();
}

void GtkDisplay::raiseWindow(HWND window)
{
    if (GtkWindow *toplevel = toplevelOf(window))
        gtk_window_present(toplevel);
}

UINT GtkDisplay::trackPopupMenu(HWND owner, POINT screen,
                                const std::vector<user32::PopupMenuEntry> &items,
                                user32::ModalLoop &loop)
{
    if (lost_)
        return 0;
    NativeWindow *native = find(owner);
    GtkWidget *ownerWidget = native ? native->toplevel.get() : nullptr;
    return runPopupMenu(items, ownerWidget, screen, lastPress_.get(), loop);
}

int GtkDisplay::showMessageBox(HWND owner, const user32::MessageBoxContent &description,
                               user32::ModalLoop &loop)
{
    if (lost_) {
        return null::makeMessageBoxBackend()->show(owner, description.text, description.caption,
                                                  description.type);
    }
    return runMessageDialog(description, toplevelOf(owner), loop);
}

SIZE GtkDisplay::screenSize()
{
    GdkDisplay *display = gdk_display_get_default();
    GdkMonitor *monitor = display ? gdk_display_get_primary_monitor(display) : nullptr;
    if (!monitor && display)
        monitor = gdk_display_get_monitor(display, 0);
    if (!monitor)
        return SIZE{1024, 768};
    GdkRectangle geometry;
    gdk_monitor_get_geometry(monitor, &geometry);
    return SIZE{geometry.x + geometry.width, geometry.y + geometry.height};
}

RECT GtkDisplay::workArea()
{
    GdkDisplay *display = gdk_display_get_default();
    GdkMonitor *monitor = display ? gdk_display_get_primary_monitor(display) : nullptr;
    if (!monitor && display)
        monitor = gdk_display_get_monitor(display, 0);
    if (!monitor)
        return RECT{0, 0, 1024, 768};
    GdkRectangle area;
    gdk_monitor_get_workarea(monitor, &area);
    return RECT{area.x, area.y, area.x + area.width, area.y + area.height};
}

bool GtkDisplay::buttonStillHeld(guint button) const
{
    GdkDisplay *display = gdk_display_get_default();
    GdkSeat *seat = display ? gdk_display_get_default_seat(display) : nullptr;
    GdkDevice *pointer = seat ? gdk_seat_get_pointer(seat) : nullptr;
    if (!pointer || button < 1 || button > 5)
        return false;
    GdkModifierType state = static_cast<GdkModifierType>(0);
    GdkWindow *root = gdk_screen_get_root_window(gdk_screen_get_default());
    gdk_window_get_device_position(root, pointer, nullptr, nullptr, &state);
    return (state & (GDK_BUTTON1_MASK << (button - 1))) != 0;
}

POINT GtkDisplay::cursorPosition()
{
    GdkDisplay *display = gdk_display_get_default();
    GdkSeat *seat = display ? gdk_display_get_default_seat(display) : nullptr;
    GdkDevice *pointer = seat ? gdk_seat_get_pointer(seat) : nullptr;
    if (!pointer)
        return POINT{0, 0};
    gint x = 0, y = 0;
    gdk_device_get_position(pointer, nullptr, &x, &y);
    return POINT{x, y};
}

uint64_t GtkDisplay::nowMilliseconds()
{
    return static_cast<uint64_t>(g_get_monotonic_time() / 1000);
}

void GtkDisplay::waitForEvents(std::optional<uint64_t> deadlineMilliseconds)
{
    bool deadlinePassed = false;
    guint deadlineSource = 0;
    if (deadlineMilliseconds) {
        const uint64_t now = nowMilliseconds();
        if (*deadlineMilliseconds <= now) {
            for (int i = 0; i < maximumDispatchesPerWait && g_main_context_pending(nullptr); ++i)
                g_main_context_iteration(nullptr, FALSE);
            return;
        }
        deadlineSource = g_timeout_add(static_cast<guint>(*deadlineMilliseconds - now),
                                       onDeadline, &deadlinePassed);
    }
    g_main_context_iteration(nullptr, TRUE);
    for (int i = 0; i < maximumDispatchesPerWait && g_main_context_pending(nullptr); ++i)
        g_main_context_iteration(nullptr, FALSE);
    if (deadlineSource && !deadlinePassed)
        g_source_remove(deadlineSource);
}

void GtkDisplay::wake() { g_main_context_wakeup(nullptr); }

}  // namespace

UINT virtualKeyOf(guint keyval)
{
    switch (keyval) {
    case GDK_KEY_Return:
    case GDK_KEY_KP_Enter:
    case GDK_KEY_ISO_Enter:
        return VK_RETURN;
    case GDK_KEY_Escape:
        return VK_ESCAPE;
    case GDK_KEY_space:
        return ' ';
    default:
        break;
    }
    const guint upper = gdk_keyval_to_upper(keyval);
    if ((upper >= GDK_KEY_A && upper <= GDK_KEY_Z) || (upper >= GDK_KEY_0 && upper <= GDK_KEY_9))
        return static_cast<UINT>(upper);
    return 0;
}

POINT screenOriginOf(GtkWidget *widget)
{
    GdkWindow *window = gtk_widget_get_window(widget);
    if (!window)
        return POINT{0, 0};
    gint x = 0, y = 0;
    gdk_window_get_origin(window, &x, &y);
    GtkAllocation allocation;
    gtk_widget_get_allocation(widget, &allocation);
    if (!gtk_widget_get_has_window(widget)) {
        x += allocation.x;
        y += allocation.y;
    }
    return POINT{x, y};
}

std::unique_ptr<user32::DisplayBackend> makeGtkDisplay()
{
    // The desktop knows the program's windows by their class (WM_CLASS on
    // X11, the application id on Wayland), which GTK makes of the program
    // name: "hollyphone", class "Hollyphone", as the desktop entry names
    // it. Taken from the executable's file name, as the platform groups a
    // program's task bar buttons by its executable, not from however the
    // program was started (a link, another argv[0]).
    const std::string executable = kernel32::moduleHostPath();
    g_set_prgname(executable.substr(executable.find_last_of('/') + 1).c_str());
    // Nothing here draws with OpenGL, but GDK on X11 ranks the screen's
    // visuals for it while opening the display, which loads the whole GL
    // stack (with Mesa's software renderer, LLVM: some 20 MB of the
    // process's memory and tens of milliseconds of its start). GDK_GL
    // turns that off; it is read once, by the opening, and a value the
    // user set is left as it is.
    const bool glChosen = g_getenv("GDK_GL") != nullptr;
    if (!glChosen)
        g_setenv("GDK_GL", "disable", TRUE);
    const bool opened = gtk_init_check(nullptr, nullptr);
    if (!glChosen)
        g_unsetenv("GDK_GL");
    if (!opened)
        return nullptr;
    auto display = std::make_unique<GtkDisplay>();
    reportX11ConnectionLoss([](void *context) { static_cast<GtkDisplay *>(context)->loseDisplay(); },
                            display.get());
    return display;
}

}  // namespace hp::host
