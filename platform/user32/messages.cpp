// USER32: the message loop, sending and posting.
#include "platform/user32/window_system.h"
#include "platform/win32.h"

using hp::user32::WindowSystem;

namespace {

// HWND_BROADCAST: every top-level window.
const HWND broadcastWindow = reinterpret_cast<HWND>(0xFFFF);
const HWND threadMessagesOnly = reinterpret_cast<HWND>(-1);

bool validFilter(HWND window)
{
    return !window || window == threadMessagesOnly ||
           WindowSystem::instance().findWindow(window) != nullptr;
}

// A window of another process (FindWindowA found it): the message crosses
// when its parameters mean the same there (WindowSystem::crossesProcesses),
// WM_COPYDATA's data copied along; the caller waits for the result.
LRESULT sendToPeer(const hp::user32::WindowPeers::PeerWindow &peer, UINT message, WPARAM wParam,
                   LPARAM lParam)
{
    using hp::user32::PeerRequest;
    WindowSystem &system = WindowSystem::instance();
    if (!WindowSystem::crossesProcesses(message)) {
        SetLastError(ERROR_ACCESS_DENIED);
        return 0;
    }
    PeerRequest request;
    request.kind = PeerRequest::Kind::Send;
    request.window = peer.handle;
    request.message = message;
    request.wParam = wParam;
    request.lParam = lParam;
    if (message == WM_COPYDATA) {
        const auto *copy = reinterpret_cast<const COPYDATASTRUCT *>(lParam);
        if (!copy || (copy->cbData && !copy->lpData) ||
            copy->cbData > hp::user32::maximumCopyDataBytes) {
            SetLastError(ERROR_INVALID_PARAMETER);
            return 0;
        }
        request.lParam = 0;
        request.copyTag = copy->dwData;
        request.copyData.assign(static_cast<const char *>(copy->lpData), copy->cbData);
    }
    hp::user32::WindowPeers *reached = system.peers();
    const auto reply = reached ? reached->ask(peer.process, request) : std::nullopt;
    if (!reply) {
        SetLastError(ERROR_TIMEOUT);
        return 0;
    }
    if (!reply->done) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return 0;
    }
    return static_cast<LRESULT>(reply->value);
}

}  // namespace

BOOL WINAPI GetMessageA(LPMSG message, HWND window, UINT filterMin, UINT filterMax)
{
    if (!message) {
        SetLastError(ERROR_NOACCESS);
        return -1;
    }
    if (!validFilter(window))
        return -1;
    WindowSystem &system = WindowSystem::instance();
    for (;;) {
        if (system.peek(*message, window, filterMin, filterMax, true))
            return message->message == WM_QUIT ? FALSE : TRUE;
        system.waitForWork();
        if (window && window != threadMessagesOnly && !system.windows().contains(window)) {
            // The window the caller waits for is gone; nothing can arrive.
            SetLastError(ERROR_INVALID_WINDOW_HANDLE);
            return -1;
        }
    }
}

BOOL WINAPI PeekMessageA(LPMSG message, HWND window, UINT filterMin, UINT filterMax,
                         UINT removeMessage)
{
    if (!message || !validFilter(window))
        return FALSE;
    WindowSystem &system = WindowSystem::instance();
    const bool remove = (removeMessage & PM_REMOVE) != 0;
    if (system.peek(*message, window, filterMin, filterMax, remove))
        return TRUE;
    // Let the display hand over what it has, without waiting.
    system.display().waitForEvents(system.display().nowMilliseconds());
    return system.peek(*message, window, filterMin, filterMax, remove) ? TRUE : FALSE;
}

BOOL WINAPI TranslateMessage(const MSG *message)
{
    if (!message)
        return FALSE;
    switch (message->message) {
    case WM_KEYDOWN: {
        // Keys that have a character of their own without a shift state.
        const WPARAM key = message->wParam;
        WPARAM character = 0;
        if (key >= 'A' && key <= 'Z')
            character = key - 'A' + 'a';
        else if ((key >= '0' && key <= '9') || key == ' ' || key == VK_RETURN ||
                 key == VK_ESCAPE || key == 0x08 /* VK_BACK */ || key == 0x09 /* VK_TAB */)
            character = key;
        if (character) {
            MSG translated = *message;
            translated.message = WM_CHAR;
            translated.wParam = character;
            WindowSystem::instance().queue().post(translated);
        }
        return TRUE;
    }
    case WM_KEYUP:
    case WM_SYSKEYDOWN:
    case WM_SYSKEYUP:
        return TRUE;
    default:
        return FALSE;
    }
}

LRESULT WINAPI DispatchMessageA(const MSG *message)
{
    if (!message)
        return 0;
    if (message->message == WM_TIMER && message->lParam) {
        auto callback = reinterpret_cast<TIMERPROC>(message->lParam);
        callback(message->hwnd, WM_TIMER, message->wParam, GetTickCount());
        return 0;
    }
    if (!message->hwnd)
        return 0;
    WindowSystem &system = WindowSystem::instance();
    if (!system.findWindow(message->hwnd))
        return 0;
    return system.send(message->hwnd, message->message, message->wParam, message->lParam);
}

BOOL WINAPI PostMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    WindowSystem &system = WindowSystem::instance();
    MSG posted{};
    posted.message = message;
    posted.wParam = wParam;
    posted.lParam = lParam;
    if (window == broadcastWindow) {
        for (HWND handle : system.windows().handles()) {
            const hp::user32::Window *target = system.windows().find(handle);
            if (target && !target->isChild()) {
                posted.hwnd = handle;
                system.queue().post(posted);
            }
        }
        return TRUE;
    }
    if (window && !system.windows().contains(window)) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return FALSE;
    }
    posted.hwnd = window;
    system.queue().post(posted);
    return TRUE;
}

LRESULT WINAPI SendMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    WindowSystem &system = WindowSystem::instance();
    if (const auto *peer = system.peerWindow(window))
        return sendToPeer(*peer, message, wParam, lParam);
    if (window == broadcastWindow) {
        for (HWND handle : system.windows().handles()) {
            const hp::user32::Window *target = system.windows().find(handle);
            if (target && !target->isChild())
                system.send(handle, message, wParam, lParam);
        }
        return 0;
    }
    if (!system.onGuiThread()) {
        // Window procedures run on the GUI thread only: from another thread
        // the message is delivered there the next time the GUI thread looks
        // at its queue, and the caller does not wait for the result (the
        // platform would block it until then).
        if (!system.windows().contains(window)) {
            SetLastError(ERROR_INVALID_WINDOW_HANDLE);
            return 0;
        }
        MSG sent{};
        sent.hwnd = window;
        sent.message = message;
        sent.wParam = wParam;
        sent.lParam = lParam;
        system.queue().sendLater(sent);
        return 0;
    }
    return system.send(window, message, wParam, lParam);
}

void WINAPI PostQuitMessage(int exitCode) { WindowSystem::instance().queue().postQuit(exitCode); }
