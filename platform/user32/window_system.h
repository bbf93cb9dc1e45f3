// The window system of the GUI thread: classes, windows, the message queue,
// timers, menus and the display backend, and the rules that tie them
// together (message order, painting, modal loops, input from the display).
//
// The Win32 functions of user32 (windows.cpp, messages.cpp, painting.cpp,
// timers.cpp, menus.cpp, dialogs.cpp) are thin checks in front of this
// object. Everything here runs on the GUI thread, except the queue's post
// functions and the handle test, which PostMessageA (and SendMessageA from
// another thread) use from any thread.
#pragma once

#include <atomic>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>
#include <unordered_map>

#include "platform/user32/display_backend.h"
#include "platform/user32/menu_table.h"
#include "platform/user32/message_queue.h"
#include "platform/user32/timer_list.h"
#include "platform/user32/window_class_registry.h"
#include "platform/user32/window_peers.h"
#include "platform/user32/window_table.h"

namespace hp::user32 {

class WindowSystem final : public DisplayListener, public ModalLoop {
public:
    static WindowSystem &instance();

    DisplayBackend &display();
    DisplayBackend *existingDisplay() const;
    void installDisplay(std::unique_ptr<DisplayBackend> backend);

    WindowClassRegistry &classes() { return classes_; }
    WindowTable &windows() { return windows_; }
    MessageQueue &queue() { return queue_; }
    TimerList &timers() { return timers_; }
    MenuTable &menus() { return menus_; }

    // The window, or null with ERROR_INVALID_WINDOW_HANDLE.
    Window *findWindow(HWND handle);
    bool isDescendant(HWND window, HWND ancestor) const;
    HWND topLevelOf(HWND window) const;

    // Geometry (screen coordinates).
    RECT windowRectOnScreen(const Window &window) const;
    RECT clientRectOnScreen(const Window &window) const;
    SIZE clientSize(const Window &window) const;

    // ----- windows -----
    HWND createWindow(DWORD exStyle, const std::shared_ptr<const WindowClass> &windowClass,
                      LPCSTR className, LPCSTR windowName, DWORD style, int x, int y,
                      int width, int height, HWND parent, HMENU menu, HINSTANCE instance,
                      LPVOID param);
    bool destroyWindow(HWND handle);
    bool showWindow(Window &window, bool visible);
    // Moves and sizes by the window rectangle (parent or screen coordinates).
    void placeWindow(Window &window, const RECT &rect, bool moved, bool sized);
    void setEnabled(Window &window, bool enabled);

    LRESULT send(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    // ----- painting -----
    void invalidate(Window &window, const RECT *area, bool erase);
    void validate(Window &window, const RECT *area);
    // Shows what was drawn into the window's surface since the last time.
    void presentDamage(Window &window);
    void presentAllDamage();
    HDC getDc(HWND window);
    bool releaseDc(HWND window, HDC dc);

    // ----- messages -----
    // One retrieval in the platform's order; false when nothing is there.
    bool peek(MSG &message, HWND windowFilter, UINT first, UINT last, bool remove);
    // Blocks until the display reports something or the next timer is due.
    void waitForWork();
    bool runUntil(const std::function<bool()> &finished) override;

    // The thread that runs the windows (the one that created the first).
    bool onGuiThread() const;

    // ----- the user's other programs (window_peers.h) -----
    // Null when the wiring reaches none.
    WindowPeers *peers();
    // FindWindowA: this process's top-level windows first (class by name or
    // atom), then the other processes' (by name). Null when none matches.
    HWND findTopLevel(LPCSTR className, LPCSTR title);
    // The other process's window behind a handle findTopLevel gave out.
    const WindowPeers::PeerWindow *peerWindow(HWND handle) const;
    // Whether a message may cross to or from another process: its
    // parameters must be plain values, or WM_COPYDATA's copied data.
    static bool crossesProcesses(UINT message);

    // ----- DisplayListener -----
    void mouseButtonPressed(HWND window, MouseButton button, POINT client) override;
    void mouseButtonReleased(HWND window, MouseButton button, POINT client) override;
    void mouseMoved(HWND window, POINT client, unsigned buttonsHeld) override;
    void keyPressed(HWND window, UINT virtualKey) override;
    void mediaKeyPressed(HWND window, short appCommand) override;  // media_commands.cpp
    void closeRequested(HWND window) override;
    void windowMoved(HWND window, POINT clientOrigin) override;
    void filesDropped(HWND window, const std::vector<std::string> &hostPaths,
                      POINT client) override;
    void controlClicked(HWND control) override;
    void displayLost() override;

private:
    WindowSystem();

    void ensureNative(Window &window);
    MessageFilter makeFilter(HWND windowFilter, UINT first, UINT last) const;
    bool takePaint(MSG &message, const MessageFilter &filter);
    void stamp(MSG &message);
    bool acceptsInput(HWND window) const;
    void postInput(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    void sendDestroyMessages(HWND handle);
    void sendNcDestroyMessages(HWND handle);
    bool notePointer(HWND handle, POINT client);
    void pointerInput(HWND handle, POINT client, unsigned buttonsHeld, UINT message);
    void forget(HWND handle);
    [[noreturn]] void endSession();
    void servePeers();
    PeerReply answerPeer(const PeerRequest &request);
    PeerReply answerPeerHere(const PeerRequest &request);
    HWND findOwnTopLevel(LPCSTR className, LPCSTR title) const;
    HWND handleForPeerWindow(const WindowPeers::PeerWindow &window);

    std::unique_ptr<DisplayBackend> display_;
    std::atomic<DisplayBackend *> displayPointer_{nullptr};
    WindowClassRegistry classes_;
    WindowTable windows_;
    MessageQueue queue_;
    TimerList timers_;
    MenuTable menus_;
    std::unordered_map<HDC, HWND> windowDcs_;
    std::shared_ptr<gdi32::Surface> desktopSurface_;
    unsigned buttonsHeld_ = 0;
    POINT lastCursor_{0, 0};
    std::optional<std::thread::id> guiThread_;
    bool quitTaken_ = false;  // the thread's loop has taken WM_QUIT
    std::unique_ptr<WindowPeers> peers_;
    bool peersMade_ = false;
    mutable std::mutex peerWindowsLock_;  // SendMessageA asks from any thread
    std::unordered_map<HWND, WindowPeers::PeerWindow> peerWindows_;
    bool endingSession_ = false;
};

}  // namespace hp::user32
