// The window system's side of the user's other programs on this layer
// (window_peers.h): finding their windows, sending to them, raising them,
// and answering them on the GUI thread.
#include <chrono>
#include <future>

#include "platform/kernel32/cp932_text.h"
#include "platform/user32/user_handle.h"
#include "platform/user32/window_system.h"
#include "platform/wiring.h"

namespace hp::user32 {

WindowPeers *WindowSystem::peers()
{
    if (!peersMade_) {
        peersMade_ = true;
        peers_ = wiring::makeWindowPeers();
    }
    return peers_.get();
}

void WindowSystem::servePeers()
{
    if (WindowPeers *reached = peers())
        reached->serve([this](const PeerRequest &request) { return answerPeer(request); });
}

bool WindowSystem::crossesProcesses(UINT message)
{
    return message == WM_NULL || message == WM_CLOSE || message == WM_COMMAND ||
           message == WM_COPYDATA || message >= WM_USER;
}

// On the listener thread: the GUI thread answers, the next time it looks at
// its queue; an answer that comes too late is dropped.
PeerReply WindowSystem::answerPeer(const PeerRequest &request)
{
    auto answer = std::make_shared<std::promise<PeerReply>>();
    std::future<PeerReply> answered = answer->get_future();
    queue_.callLater([this, request, answer] { answer->set_value(answerPeerHere(request)); });
    if (answered.wait_for(std::chrono::milliseconds(answerTimeoutMs(request))) !=
        std::future_status::ready)
        return PeerReply{};
    return answered.get();
}

PeerReply WindowSystem::answerPeerHere(const PeerRequest &request)
{
    PeerReply reply;
    if (request.kind == PeerRequest::Kind::Find) {
        const HWND found = findOwnTopLevel(request.className ? request.className->c_str() : nullptr,
                                           request.title ? request.title->c_str() : nullptr);
        reply.done = found != nullptr;
        reply.value = static_cast<int64_t>(reinterpret_cast<uintptr_t>(found));
        return reply;
    }
    const HWND handle = reinterpret_cast<HWND>(static_cast<uintptr_t>(request.window));
    Window *window = windows_.find(handle);
    if (!window || window->destroying)
        return reply;
    if (request.kind == PeerRequest::Kind::Raise) {
        const HWND topLevel = topLevelOf(handle);
        if (Window *shown = windows_.find(topLevel); shown && shown->nativeCreated)
            display().raiseWindow(topLevel);
        reply.done = true;
        return reply;
    }
    if (!crossesProcesses(request.message))
        return reply;
    LPARAM lParam = static_cast<LPARAM>(request.lParam);
    COPYDATASTRUCT copy{};
    if (request.message == WM_COPYDATA) {
        // The copy lives until the window procedure returns.
        copy.dwData = static_cast<ULONG_PTR>(request.copyTag);
        copy.cbData = static_cast<DWORD>(request.copyData.size());
        copy.lpData = request.copyData.empty() ? nullptr
                                                : const_cast<char *>(request.copyData.data());
        lParam = reinterpret_cast<LPARAM>(&copy);
    }
    reply.value = static_cast<int64_t>(
        send(handle, request.message, static_cast<WPARAM>(request.wParam), lParam));
    reply.done = true;
    return reply;
}

HWND WindowSystem::findOwnTopLevel(LPCSTR className, LPCSTR title) const
{
    for (HWND handle : windows_.handles()) {
        const Window *window = windows_.find(handle);
        if (!window || window->isChild() || window->destroying)
            continue;
        const bool classMatches =
            !className ||
            (IS_INTRESOURCE(className)
                 ? window->windowClass->atom == static_cast<ATOM>(reinterpret_cast<uintptr_t>(className))
                 : kernel32::equalIgnoringAsciiCase(window->windowClass->name, className));
        if (classMatches && (!title || kernel32::equalIgnoringAsciiCase(window->text, title)))
            return handle;
    }
    return nullptr;
}

HWND WindowSystem::findTopLevel(LPCSTR className, LPCSTR title)
{
    if (HWND own = findOwnTopLevel(className, title))
        return own;
    // Atoms are the process's own: other processes are asked by name.
    if (className && IS_INTRESOURCE(className))
        return nullptr;
    WindowPeers *reached = peers();
    if (!reached)
        return nullptr;
    const auto optionalText = [](LPCSTR text) {
        return text ? std::optional<std::string>(text) : std::nullopt;
    };
    const std::optional<WindowPeers::PeerWindow> found =
        reached->find(optionalText(className), optionalText(title));
    return found ? handleForPeerWindow(*found) : nullptr;
}

// Another process's window gets a handle of our own, the same one each
// time it is found.
HWND WindowSystem::handleForPeerWindow(const WindowPeers::PeerWindow &window)
{
    std::lock_guard<std::mutex> guard(peerWindowsLock_);
    for (const auto &entry : peerWindows_) {
        if (entry.second.process == window.process && entry.second.handle == window.handle)
            return entry.first;
    }
    const HWND handle = reinterpret_cast<HWND>(nextUserHandleValue());
    peerWindows_[handle] = window;
    return handle;
}

const WindowPeers::PeerWindow *WindowSystem::peerWindow(HWND handle) const
{
    // Entries are never removed, so the record outlives the lock.
    std::lock_guard<std::mutex> guard(peerWindowsLock_);
    auto it = peerWindows_.find(handle);
    return it == peerWindows_.end() ? nullptr : &it->second;
}

}  // namespace hp::user32
