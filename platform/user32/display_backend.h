// Who shows the windows: the desktop (GTK 3) or the headless display of
// tests. The window system (user32) keeps every window, message, timer and
// menu itself; the backend only puts them on a screen and reports what the
// user does there.
//
// Contract for backends:
//  - Every call and every listener callback happens on the GUI thread, the
//    thread that created the first window; only wake() may be called from
//    any thread.
//  - Texts in the descriptions are CP932, as the program wrote them; the backend
//    converts what it shows.
//  - Rectangles are in screen pixels unless they say otherwise; a window is
//    placed by its client area (the backend's frame, if any, goes around it).
//  - Listener callbacks only queue input; they never run window procedures,
//    so a backend may call them from inside its own event dispatch.
//  - The modal calls (popup menus, message boxes) return only when the user
//    has answered, and keep the program's messages flowing meanwhile through
//    the ModalLoop they are given.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/user32/image.h"
#include "platform/win32.h"

namespace hp::gdi32 {
class Surface;
}

namespace hp::user32 {

enum class MouseButton { Left, Right, Middle };

// Buttons held during a motion, as a bit set.
constexpr unsigned mouseLeftHeld = 1u << 0;
constexpr unsigned mouseRightHeld = 1u << 1;
constexpr unsigned mouseMiddleHeld = 1u << 2;

// What the backend reports. Implemented by the window system.
class DisplayListener {
public:
    virtual ~DisplayListener() = default;

    virtual void mouseButtonPressed(HWND window, MouseButton button, POINT client) = 0;
    virtual void mouseButtonReleased(HWND window, MouseButton button, POINT client) = 0;
    virtual void mouseMoved(HWND window, POINT client, unsigned buttonsHeld) = 0;
    virtual void keyPressed(HWND window, UINT virtualKey) = 0;
    // A media key (play/pause, stop, next track...) pressed on the window,
    // as its APPCOMMAND_MEDIA_* number.
    virtual void mediaKeyPressed(HWND window, short appCommand) = 0;
    // The close box of the frame, or the window manager's close.
    virtual void closeRequested(HWND window) = 0;
    // The user (or the window manager) moved the window; the new screen
    // position of its client area.
    virtual void windowMoved(HWND window, POINT clientOrigin) = 0;
    // Host paths (absolute, host bytes) dropped at a client position.
    virtual void filesDropped(HWND window, const std::vector<std::string> &hostPaths,
                              POINT client) = 0;
    // A push button of a dialog was clicked.
    virtual void controlClicked(HWND control) = 0;
    // The connection to the display is gone for good: the session ends for
    // the program (session_end.h). The backend answers every later call
    // without the display; its modal pieces return at once.
    virtual void displayLost() = 0;
};

// Runs the program's messages while a modal piece of the display is open.
class ModalLoop {
public:
    virtual ~ModalLoop() = default;
    // Dispatches messages and waits for events until finished() holds.
    // Returns false when a WM_QUIT arrived first (it is posted again for
    // the outer loop, as the platform's modal loops do).
    virtual bool runUntil(const std::function<bool()> &finished) = 0;
};

struct NativeWindowDescription {
    HWND window = nullptr;
    HWND owner = nullptr;                       // for stacking; may be null
    RECT clientRect{0, 0, 0, 0};                // screen
    std::string title;                          // CP932
    bool acceptsDrops = false;
    std::shared_ptr<gdi32::Surface> surface;    // what the client area shows
    // The window's icons for the desktop (task bar, switcher), smallest
    // first; none leaves the desktop's default.
    std::vector<IconPicture> icons;
};

enum class DialogControlKind { PushButton, DefaultPushButton, GroupBox, StaticText, StaticIcon };

struct DialogControlDescription {
    HWND control = nullptr;
    int id = 0;
    DialogControlKind kind = DialogControlKind::StaticText;
    RECT rect{0, 0, 0, 0};          // dialog client pixels
    std::string text;               // CP932, "&" marks a mnemonic on buttons
    UINT textAlign = SS_LEFT;       // SS_LEFT, SS_CENTER or SS_RIGHT
    // StaticIcon: the picture, 0x00RRGGBB rows top-down, already composed
    // over the dialog's face colour.
    int iconWidth = 0;
    int iconHeight = 0;
    std::vector<uint32_t> iconPixels;
};

struct DialogDescription {
    HWND dialog = nullptr;
    HWND owner = nullptr;
    RECT clientRect{0, 0, 0, 0};    // screen
    std::string title;              // CP932
    bool hasCloseBox = false;
    std::string fontFace;           // CP932, as the template names it
    int fontPixelHeight = 0;        // cell height of the dialog font
    std::vector<DialogControlDescription> controls;
};

struct PopupMenuEntry {
    bool separator = false;
    std::string text;               // CP932, "&" marks the mnemonic, "&&" is "&"
    UINT id = 0;
    bool checked = false;
    bool disabled = false;
    std::vector<PopupMenuEntry> submenu;
    bool hasSubmenu = false;
};

struct MessageBoxContent {
    std::string text;       // CP932
    std::string caption;    // CP932
    UINT type = MB_OK;      // MB_* buttons and icon
};

class DisplayBackend {
public:
    virtual ~DisplayBackend() = default;

    virtual void setListener(DisplayListener *listener) = 0;

    // ----- windows -----
    // A top-level window whose client area shows its surface: no frame, not
    // resizable, at the given place, hidden until showWindow().
    virtual void createWindow(const NativeWindowDescription &description) = 0;
    // A modal dialog with a caption and the given controls, hidden until
    // showWindow().
    virtual void createDialog(const DialogDescription &description) = 0;
    virtual void destroyWindow(HWND window) = 0;
    virtual void showWindow(HWND window, bool visible) = 0;
    virtual void placeWindow(HWND window, const RECT &clientRect) = 0;
    virtual void setTitle(HWND window, const std::string &title) = 0;
    virtual void acceptDrops(HWND window, bool accept) = 0;
    // The parts of the surface (client pixels) that changed; the screen must
    // show them soon.
    virtual void present(HWND window, const std::vector<RECT> &areas) = 0;
    // Starts a move of the window by the pointer, from the button press the
    // backend reported last; the window system's own move, so that it works
    // wherever the window system places windows itself.
    virtual void beginMove(HWND window) = 0;
    // Brings the window to the front with the keyboard, as far as the
    // desktop lets a program do that (SetForegroundWindow).
    virtual void raiseWindow(HWND window) = 0;

    // ----- modal pieces -----
    // Shows a popup menu with its top-left corner at a screen point and
    // returns the chosen id, or 0 when the menu was dismissed.
    virtual UINT trackPopupMenu(HWND owner, POINT screen,
                                const std::vector<PopupMenuEntry> &items,
                                ModalLoop &loop) = 0;
    // Shows a message box; returns IDOK, IDCANCEL, IDYES or IDNO.
    virtual int showMessageBox(HWND owner, const MessageBoxContent &description, ModalLoop &loop) = 0;

    // ----- screen -----
    virtual SIZE screenSize() = 0;
    virtual RECT workArea() = 0;
    virtual POINT cursorPosition() = 0;

    // ----- events and time -----
    // Monotonic milliseconds; the timers run on this clock.
    virtual uint64_t nowMilliseconds() = 0;
    // Dispatches pending events to the listener; blocks until at least one
    // event came, the deadline (nowMilliseconds() clock) passed, or wake()
    // was called. No deadline: wait as long as it takes.
    virtual void waitForEvents(std::optional<uint64_t> deadlineMilliseconds) = 0;
    // Makes a waiting waitForEvents() return. Any thread.
    virtual void wake() = 0;
};

// The backend the window system uses; created through the wiring on first
// use (GUI thread).
DisplayBackend &displayBackend();
// Replaces it (tests). The window system becomes its listener.
void installDisplayBackend(std::unique_ptr<DisplayBackend> backend);
// The backend if one exists, else null; safe from any thread.
DisplayBackend *existingDisplayBackend();

}  // namespace hp::user32
