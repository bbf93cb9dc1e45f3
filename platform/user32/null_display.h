// A display for a machine without one: windows exist only as data, nothing
// is shown, popup menus are dismissed at once and message boxes take their
// default button (their text goes to the standard error stream). Time is
// the real monotonic clock, so timers still run.
#pragma once

#include <condition_variable>
#include <memory>
#include <mutex>

#include "platform/user32/display_backend.h"

namespace hp::user32 {

class NullDisplay final : public DisplayBackend {
public:
    void setListener(DisplayListener *) override {}
    void createWindow(const NativeWindowDescription &) override {}
    void createDialog(const DialogDescription &) override {}
    void destroyWindow(HWND) override {}
    void showWindow(HWND, bool) override {}
    void placeWindow(HWND, const RECT &) override {}
    void setTitle(HWND, const std::string &) override {}
    void acceptDrops(HWND, bool) override {}
    void present(HWND, const std::vector<RECT> &) override {}
    void beginMove(HWND) override {}
    void raiseWindow(HWND) override {}
    UINT trackPopupMenu(HWND, POINT, const std::vector<PopupMenuEntry> &, ModalLoop &) override
    {
        return 0;
    }
    int showMessageBox(HWND owner, const MessageBoxContent &description, ModalLoop &loop) override;
    SIZE screenSize() override { return SIZE{1024, 768}; }
    RECT workArea() override { return RECT{0, 0, 1024, 768}; }
    POINT cursorPosition() override { return POINT{0, 0}; }
    uint64_t nowMilliseconds() override;
    void waitForEvents(std::optional<uint64_t> deadlineMilliseconds) override;
    void wake() override;

private:
    std::mutex lock_;
    std::condition_variable woken_;
    bool wakePending_ = false;
};

}  // namespace hp::user32
