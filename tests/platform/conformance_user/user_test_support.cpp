#include "user_test_support.h"

#include <map>

namespace user_test {
namespace {

std::map<UINT, std::function<LRESULT(HWND, WPARAM, LPARAM)>> &answers()
{
    static std::map<UINT, std::function<LRESULT(HWND, WPARAM, LPARAM)>> table;
    return table;
}

}  // namespace

std::vector<LoggedMessage> &messageLog()
{
    static std::vector<LoggedMessage> log;
    return log;
}

std::vector<LoggedMessage> logged(UINT message)
{
    std::vector<LoggedMessage> found;
    for (const LoggedMessage &entry : messageLog()) {
        if (entry.message == message)
            found.push_back(entry);
    }
    return found;
}

int firstIndexOf(UINT message)
{
    const auto &log = messageLog();
    for (size_t i = 0; i < log.size(); ++i) {
        if (log[i].message == message)
            return static_cast<int>(i);
    }
    return -1;
}

void answer(UINT message, std::function<LRESULT(HWND, WPARAM, LPARAM)> handler)
{
    answers()[message] = std::move(handler);
}

void clearAnswers() { answers().clear(); }

LRESULT CALLBACK loggingProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    messageLog().push_back(LoggedMessage{window, message, wParam, lParam});
    auto it = answers().find(message);
    if (it != answers().end())
        return it->second(window, wParam, lParam);
    return DefWindowProcA(window, message, wParam, lParam);
}

const char *loggingClass()
{
    static const char *name = [] {
        WNDCLASSEXA windowClass{};
        windowClass.cbSize = sizeof windowClass;
        windowClass.lpfnWndProc = loggingProcedure;
        windowClass.hInstance = GetModuleHandleA(nullptr);
        windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
        windowClass.lpszClassName = "UserConformanceLogging";
        RegisterClassExA(&windowClass);
        return "UserConformanceLogging";
    }();
    return name;
}

HWND createPopup(int x, int y, int width, int height, DWORD style)
{
    return CreateWindowExA(0, loggingClass(), "logging window", style, x, y, width, height,
                           nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
}

bool pumpUntil(const std::function<bool()> &done, UINT maxMilliseconds)
{
    const UINT_PTR watchdog = SetTimer(nullptr, 0, maxMilliseconds, nullptr);
    bool expired = false;
    MSG message;
    while (!done()) {
        const BOOL got = GetMessageA(&message, nullptr, 0, 0);
        if (got <= 0) {
            if (got == 0)
                PostQuitMessage(static_cast<int>(message.wParam));
            break;
        }
        if (!message.hwnd && message.message == WM_TIMER && message.wParam == watchdog) {
            expired = true;
            break;
        }
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    KillTimer(nullptr, watchdog);
    return !expired && done();
}

void pumpPending()
{
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT) {
            PostQuitMessage(static_cast<int>(message.wParam));
            return;
        }
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
}

}  // namespace user_test
