// The display of tests: windows, dialogs, popup menus and message boxes as
// data that a test inspects and answers, the pixels each window shows, and
// a virtual clock that the timers run on.
//
// How a test plays the user: it schedules actions (a click, a key, a menu
// choice, an answer) at times on the virtual clock. Whenever the program
// waits for events (GetMessageA, a modal loop), the display runs the next
// action that is due; when none is due, waiting moves the clock forward to
// the next timer deadline or the next action, whichever comes first, so a
// test of a 30-second animation takes no time. One action runs per wait, so
// the program handles each one before the next.
//
// When the program would wait for ever (no timer, no action, no message
// from another thread within a few seconds of real time), the display says
// what is open on the standard error stream and aborts the test process.
//
// The input calls (click, pressKey, ...) may also be made directly from a
// test; they queue input exactly as the user's would, for the next
// GetMessageA or PeekMessageA.
//
// GUI thread only, except wake().
#pragma once

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "platform/user32/display_backend.h"

namespace hp::testing {

struct HeadlessWindow {
    HWND window = nullptr;
    HWND owner = nullptr;
    bool dialog = false;
    RECT clientRect{0, 0, 0, 0};  // screen
    std::string title;            // CP932
    bool visible = false;
    bool acceptsDrops = false;
    int moveRequests = 0;         // beginMove calls
    int raiseRequests = 0;        // raiseWindow calls
    int presentCount = 0;
    RECT lastPresented{0, 0, 0, 0};  // the box around the last present's areas
    // What the screen shows of the client area (0x00RRGGBB): the surface as
    // it was when last presented or shown.
    int width = 0;
    int height = 0;
    std::vector<uint32_t> shown;
    user32::DialogDescription dialogDescription;  // dialogs: controls, font, caption

    uint32_t shownPixel(int x, int y) const { return shown[static_cast<size_t>(y) * width + x]; }
    const user32::DialogControlDescription *control(int id) const;
};

struct HeadlessPopup {
    HWND owner = nullptr;
    POINT point{0, 0};
    std::vector<user32::PopupMenuEntry> items;
    bool open = true;
    UINT chosen = 0;
};

struct HeadlessMessageBox {
    HWND owner = nullptr;
    user32::MessageBoxContent description;
    bool open = true;
    int answer = 0;
};

class HeadlessDisplay final : public user32::DisplayBackend {
public:
    HeadlessDisplay();
    ~HeadlessDisplay() override;

    // ----- clock and script -----
    uint64_t now() const { return now_; }
    // Time passes without the program running.
    void advance(uint64_t milliseconds) { now_ += milliseconds; }
    // A user action, delayMilliseconds from now.
    void schedule(uint64_t delayMilliseconds, std::function<void()> action);
    size_t pendingActions() const { return actions_.size(); }

    // ----- what is on the screen -----
    const HeadlessWindow *window(HWND window) const;
    std::vector<HWND> windowsInOrder() const { return order_; }
    const HeadlessPopup *openPopup() const;
    const std::deque<HeadlessPopup> &popups() const { return popups_; }
    const HeadlessMessageBox *openMessageBox() const;
    const std::deque<HeadlessMessageBox> &messageBoxes() const { return messageBoxes_; }

    // ----- the user -----
    void press(HWND window, POINT client, user32::MouseButton button = user32::MouseButton::Left);
    void release(HWND window, POINT client, user32::MouseButton button = user32::MouseButton::Left);
    void click(HWND window, POINT client, user32::MouseButton button = user32::MouseButton::Left);
    void moveMouse(HWND window, POINT client, unsigned buttonsHeld = 0);
    void pressKey(HWND window, UINT virtualKey);
    void pressCloseBox(HWND window);
    void drop(HWND window, const std::vector<std::string> &hostPaths, POINT client);
    // Clicks the push button with this id in a dialog; false if there is none.
    bool pressButton(HWND dialog, int id);
    // Answers the open popup menu (0 dismisses it); false if none is open.
    bool chooseMenuItem(UINT id);
    bool answerMessageBox(int answer);
    // The window manager put the window's client area here (after a move
    // the program started, or on its own).
    void moveWindowTo(HWND window, POINT clientOrigin);
    void setCursorPosition(POINT screen) { cursor_ = screen; }
    void setScreen(SIZE size, RECT workArea);

    // ----- DisplayBackend -----
    void setListener(user32::DisplayListener *listener) override { listener_ = listener; }
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
    SIZE screenSize() override { return screenSize_; }
    RECT workArea() override { return workArea_; }
    POINT cursorPosition() override { return cursor_; }
    uint64_t nowMilliseconds() override { return now_; }
    void waitForEvents(std::optional<uint64_t> deadlineMilliseconds) override;
    void wake() override;

private:
    struct Action {
        uint64_t at = 0;
        uint64_t sequence = 0;
        std::function<void()> run;
    };
    struct Screen {
        HeadlessWindow state;
        std::shared_ptr<gdi32::Surface> surface;
    };

    Screen *find(HWND window);
    void copyToScreen(Screen &screen, const RECT &area);
    bool runDueAction();
    [[noreturn]] void reportDeadlock() const;

    user32::DisplayListener *listener_ = nullptr;
    uint64_t now_ = 1000;
    uint64_t nextSequence_ = 0;
    std::vector<Action> actions_;
    std::map<HWND, Screen> screens_;
    std::vector<HWND> order_;
    std::deque<HeadlessPopup> popups_;
    std::deque<HeadlessMessageBox> messageBoxes_;
    POINT cursor_{0, 0};
    SIZE screenSize_{1280, 1024};
    RECT workArea_{0, 0, 1280, 1024};

    std::mutex wakeLock_;
    std::condition_variable woken_;
    bool wakePending_ = false;
};

// The headless display the window system is using, installed first if the
// window system has not asked for a display yet (or uses another one).
HeadlessDisplay &headlessDisplay();

}  // namespace hp::testing
