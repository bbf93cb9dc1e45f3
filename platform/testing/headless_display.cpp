#include "platform/testing/headless_display.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>

#include "platform/gdi32/surface.h"
#include "platform/host/charset.h"

namespace hp::testing {
namespace {

// How long a wait with nothing scheduled may last before the test is
// considered stuck (real time: only another thread can end it).
constexpr auto stuckAfter = std::chrono::seconds(3);

void describeItems(const std::vector<user32::PopupMenuEntry> &items, int depth)
{
    for (const auto &item : items) {
        std::fprintf(stderr, "%*s%s (id %u)%s\n", depth * 2 + 4, "",
                     item.separator ? "-----" : host::utf8FromCp932(item.text).c_str(), item.id,
                     item.checked ? " [checked]" : "");
        describeItems(item.submenu, depth + 1);
    }
}

}  // namespace

const user32::DialogControlDescription *HeadlessWindow::control(int id) const
{
    for (const auto &control : dialogDescription.controls) {
        if (control.id == id)
            return &control;
    }
    return nullptr;
}

HeadlessDisplay::HeadlessDisplay() = default;
HeadlessDisplay::~HeadlessDisplay() = default;

void HeadlessDisplay::schedule(uint64_t delayMilliseconds, std::function<void()> action)
{
    actions_.push_back(Action{now_ + delayMilliseconds, nextSequence_++, std::move(action)});
}

HeadlessDisplay::Screen *HeadlessDisplay::find(HWND window)
{
    auto it = screens_.find(window);
    return it == screens_.end() ? nullptr : &it->second;
}

const HeadlessWindow *HeadlessDisplay::window(HWND window) const
{
    auto it = screens_.find(window);
    return it == screens_.end() ? nullptr : &it->second.state;
}

const HeadlessPopup *HeadlessDisplay::openPopup() const
{
    for (auto it = popups_.rbegin(); it != popups_.rend(); ++it) {
        if (it->open)
            return &*it;
    }
    return nullptr;
}

const HeadlessMessageBox *HeadlessDisplay::openMessageBox() const
{
    for (auto it = messageBoxes_.rbegin(); it != messageBoxes_.rend(); ++it) {
        if (it->open)
            return &*it;
    }
    return nullptr;
}

// ------------------------------------------------------------ the user ----

void HeadlessDisplay::press(HWND window, POINT client, user32::MouseButton button)
{
    if (const Screen *screen = find(window))
        cursor_ = POINT{screen->state.clientRect.left + client.x, screen->state.clientRect.top + client.y};
    if (listener_)
        listener_->mouseButtonPressed(window, button, client);
}

void HeadlessDisplay::release(HWND window, POINT client, user32::MouseButton button)
{
    if (listener_)
        listener_->mouseButtonReleased(window, button, client);
}

void HeadlessDisplay::click(HWND window, POINT client, user32::MouseButton button)
{
    press(window, client, button);
    release(window, client, button);
}

void HeadlessDisplay::moveMouse(HWND window, POINT client, unsigned buttonsHeld)
{
    if (const Screen *screen = find(window))
        cursor_ = POINT{screen->state.clientRect.left + client.x, screen->state.clientRect.top + client.y};
    if (listener_)
        listener_->mouseMoved(window, client, buttonsHeld);
}

void HeadlessDisplay::pressKey(HWND window, UINT virtualKey)
{
    if (listener_)
        listener_->keyPressed(window, virtualKey);
}

void HeadlessDisplay::pressCloseBox(HWND window)
{
    if (listener_)
        listener_->closeRequested(window);
}

void HeadlessDisplay::drop(HWND window, const std::vector<std::string> &hostPaths, POINT client)
{
    const Screen *screen = find(window);
    if (!screen || !screen->state.acceptsDrops)
        return;  // the window system would not offer the drop to this window
    if (listener_)
        listener_->filesDropped(window, hostPaths, client);
}

bool HeadlessDisplay::pressButton(HWND dialog, int id)
{
    const Screen *screen = find(dialog);
    if (!screen || !screen->state.dialog || !screen->state.visible)
        return false;
    const user32::DialogControlDescription *control = screen->state.control(id);
    if (!control)
        return false;
    if (listener_)
        listener_->controlClicked(control->control);
    return true;
}

bool HeadlessDisplay::chooseMenuItem(UINT id)
{
    for (auto it = popups_.rbegin(); it != popups_.rend(); ++it) {
        if (it->open) {
            it->open = false;
            it->chosen = id;
            return true;
        }
    }
    return false;
}

bool HeadlessDisplay::answerMessageBox(int answer)
{
    for (auto it = messageBoxes_.rbegin(); it != messageBoxes_.rend(); ++it) {
        if (it->open) {
            it->open = false;
            it->answer = answer;
            return true;
        }
    }
    return false;
}

void HeadlessDisplay::moveWindowTo(HWND window, POINT clientOrigin)
{
    Screen *screen = find(window);
    if (!screen)
        return;
    RECT &rect = screen->state.clientRect;
    rect = RECT{clientOrigin.x, clientOrigin.y, clientOrigin.x + (rect.right - rect.left),
                clientOrigin.y + (rect.bottom - rect.top)};
    if (listener_)
        listener_->windowMoved(window, clientOrigin);
}

void HeadlessDisplay::setScreen(SIZE size, RECT workArea)
{
    screenSize_ = size;
    workArea_ = workArea;
}

// ------------------------------------------------------------ windows ----

void HeadlessDisplay::createWindow(const user32::NativeWindowDescription &description)
{
    Screen &screen = screens_[description.window];
    screen.surface = description.surface;
    screen.state.window = description.window;
    screen.state.owner = description.owner;
    screen.state.clientRect = description.clientRect;
    screen.state.title = description.title;
    screen.state.acceptsDrops = description.acceptsDrops;
    screen.state.width = description.surface ? description.surface->width() : 0;
    screen.state.height = description.surface ? description.surface->height() : 0;
    screen.state.shown.assign(static_cast<size_t>(screen.state.width) * screen.state.height, 0);
    order_.push_back(description.window);
}

void HeadlessDisplay::createDialog(const user32::DialogDescription &description)
{
    Screen &screen = screens_[description.dialog];
    screen.state.window = description.dialog;
    screen.state.owner = description.owner;
    screen.state.dialog = true;
    screen.state.clientRect = description.clientRect;
    screen.state.title = description.title;
    screen.state.dialogDescription = description;
    order_.push_back(description.dialog);
}

void HeadlessDisplay::destroyWindow(HWND window)
{
    screens_.erase(window);
    order_.erase(std::remove(order_.begin(), order_.end(), window), order_.end());
}

void HeadlessDisplay::copyToScreen(Screen &screen, const RECT &area)
{
    if (!screen.surface)
        return;
    HeadlessWindow &state = screen.state;
    if (state.width != screen.surface->width() || state.height != screen.surface->height()) {
        state.width = screen.surface->width();
        state.height = screen.surface->height();
        state.shown.assign(static_cast<size_t>(state.width) * state.height, 0);
    }
    const int left = std::max<int>(area.left, 0);
    const int top = std::max<int>(area.top, 0);
    const int right = std::min<int>(area.right, state.width);
    const int bottom = std::min<int>(area.bottom, state.height);
    for (int y = top; y < bottom; ++y) {
        const uint32_t *source = screen.surface->pixels() + static_cast<size_t>(y) * state.width;
        std::copy(source + left, source + right,
                  state.shown.begin() + static_cast<std::ptrdiff_t>(y) * state.width + left);
    }
}

void HeadlessDisplay::showWindow(HWND window, bool visible)
{
    Screen *screen = find(window);
    if (!screen)
        return;
    screen->state.visible = visible;
    if (visible)
        copyToScreen(*screen, RECT{0, 0, screen->state.width, screen->state.height});
}

void HeadlessDisplay::placeWindow(HWND window, const RECT &clientRect)
{
    if (Screen *screen = find(window))
        screen->state.clientRect = clientRect;
}

void HeadlessDisplay::setTitle(HWND window, const std::string &title)
{
    if (Screen *screen = find(window))
        screen->state.title = title;
}

void HeadlessDisplay::acceptDrops(HWND window, bool accept)
{
    if (Screen *screen = find(window))
        screen->state.acceptsDrops = accept;
}

void HeadlessDisplay::present(HWND window, const std::vector<RECT> &areas)
{
    Screen *screen = find(window);
    if (!screen || areas.empty())
        return;
    ++screen->state.presentCount;
    RECT box = areas.front();
    for (const RECT &area : areas) {
        box = RECT{std::min(box.left, area.left), std::min(box.top, area.top),
                   std::max(box.right, area.right), std::max(box.bottom, area.bottom)};
        if (screen->state.visible)
            copyToScreen(*screen, area);
    }
    screen->state.lastPresented = box;
}

void HeadlessDisplay::beginMove(HWND window)
{
    if (Screen *screen = find(window))
        ++screen->state.moveRequests;
}

void HeadlessDisplay::raiseWindow(HWND window)
{
    if (Screen *screen = find(window))
        ++screen->state.raiseRequests;
}

UINT HeadlessDisplay::trackPopupMenu(HWND owner, POINT screen,
                                     const std::vector<user32::PopupMenuEntry> &items,
                                     user32::ModalLoop &loop)
{
    popups_.push_back(HeadlessPopup{owner, screen, items, true, 0});
    const size_t index = popups_.size() - 1;
    if (!loop.runUntil([this, index] { return !popups_[index].open; })) {
        popups_[index].open = false;
        return 0;
    }
    return popups_[index].chosen;
}

int HeadlessDisplay::showMessageBox(HWND owner, const user32::MessageBoxContent &description,
                                    user32::ModalLoop &loop)
{
    messageBoxes_.push_back(HeadlessMessageBox{owner, description, true, 0});
    const size_t index = messageBoxes_.size() - 1;
    if (!loop.runUntil([this, index] { return !messageBoxes_[index].open; })) {
        messageBoxes_[index].open = false;
        return (description.type & MB_TYPEMASK) == MB_YESNO ? IDNO : IDCANCEL;
    }
    return messageBoxes_[index].answer;
}

// -------------------------------------------------------------- events ----

bool HeadlessDisplay::runDueAction()
{
    auto due = actions_.end();
    for (auto it = actions_.begin(); it != actions_.end(); ++it) {
        if (it->at > now_)
            continue;
        if (due == actions_.end() || it->at < due->at ||
            (it->at == due->at && it->sequence < due->sequence))
            due = it;
    }
    if (due == actions_.end())
        return false;
    std::function<void()> action = std::move(due->run);
    actions_.erase(due);
    action();
    return true;
}

void HeadlessDisplay::waitForEvents(std::optional<uint64_t> deadlineMilliseconds)
{
    if (runDueAction())
        return;
    {
        std::lock_guard<std::mutex> guard(wakeLock_);
        if (wakePending_) {
            wakePending_ = false;
            return;
        }
    }
    std::optional<uint64_t> target = deadlineMilliseconds;
    for (const Action &action : actions_) {
        if (!target || action.at < *target)
            target = action.at;
    }
    if (target) {
        now_ = std::max(now_, *target);
        runDueAction();
        return;
    }
    std::unique_lock<std::mutex> guard(wakeLock_);
    if (woken_.wait_for(guard, stuckAfter, [this] { return wakePending_; })) {
        wakePending_ = false;
        return;
    }
    reportDeadlock();
}

void HeadlessDisplay::wake()
{
    {
        std::lock_guard<std::mutex> guard(wakeLock_);
        wakePending_ = true;
    }
    woken_.notify_all();
}

void HeadlessDisplay::reportDeadlock() const
{
    std::fprintf(stderr,
                 "headless display: the program waits for input that no test scheduled "
                 "(no timer, no action, no message) at virtual time %llu ms\n",
                 static_cast<unsigned long long>(now_));
    if (const HeadlessPopup *popup = openPopup()) {
        std::fprintf(stderr, "  a popup menu is open:\n");
        describeItems(popup->items, 0);
    }
    if (const HeadlessMessageBox *box = openMessageBox()) {
        std::fprintf(stderr, "  a message box is open: [%s] %s\n",
                     host::utf8FromCp932(box->description.caption).c_str(),
                     host::utf8FromCp932(box->description.text).c_str());
    }
    for (const auto &entry : screens_) {
        if (entry.second.state.dialog && entry.second.state.visible) {
            std::fprintf(stderr, "  a dialog is open: %s\n",
                         host::utf8FromCp932(entry.second.state.title).c_str());
        }
    }
    std::fflush(stderr);
    std::abort();
}

HeadlessDisplay &headlessDisplay()
{
    if (auto *existing = dynamic_cast<HeadlessDisplay *>(user32::existingDisplayBackend()))
        return *existing;
    auto display = std::make_unique<HeadlessDisplay>();
    HeadlessDisplay &installed = *display;
    user32::installDisplayBackend(std::move(display));
    return installed;
}

}  // namespace hp::testing
