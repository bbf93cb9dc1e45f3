#include "headless_support.h"

#include <cstdio>

namespace headless_test {
namespace {

Procedure &currentProcedure()
{
    static Procedure procedure;
    return procedure;
}

LRESULT CALLBACK testProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    log().push_back(Message{window, message, wParam, lParam});
    if (currentProcedure())
        return currentProcedure()(window, message, wParam, lParam);
    return DefWindowProcA(window, message, wParam, lParam);
}

}  // namespace

HWND createWindow(Procedure procedure, RECT rect, DWORD style, HBRUSH background)
{
    currentProcedure() = std::move(procedure);
    static int classNumber = 0;
    static char className[32];
    // A class per window, so that each may have its own background brush.
    snprintf(className, sizeof className, "HeadlessTest%d", ++classNumber);
    WNDCLASSEXA windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.style = CS_HREDRAW | CS_VREDRAW;
    windowClass.lpfnWndProc = testProcedure;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.hbrBackground = background;
    windowClass.lpszClassName = className;
    RegisterClassExA(&windowClass);
    return CreateWindowExA(0, className, "test window", style, rect.left, rect.top,
                           rect.right - rect.left, rect.bottom - rect.top, nullptr, nullptr,
                           GetModuleHandleA(nullptr), nullptr);
}

std::vector<Message> &log()
{
    static std::vector<Message> messages;
    return messages;
}

std::vector<Message> logged(UINT message)
{
    std::vector<Message> found;
    for (const Message &entry : log()) {
        if (entry.message == message)
            found.push_back(entry);
    }
    return found;
}

void pump()
{
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
}

void runUntil(const std::function<bool()> &done)
{
    MSG message;
    while (!done()) {
        if (GetMessageA(&message, nullptr, 0, 0) <= 0)
            return;
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
}

hp::testing::HeadlessDisplay &display() { return hp::testing::headlessDisplay(); }

}  // namespace headless_test
