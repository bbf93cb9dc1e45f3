#include "tests/support/owner_window.h"

namespace hp::test {

namespace {

constexpr char ownerClassName[] = "HpTestOwner";

LRESULT CALLBACK ownerProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    return DefWindowProcA(window, message, wParam, lParam);
}

void registerOwnerClass()
{
    static bool registered = false;
    if (registered) {
        return;
    }
    WNDCLASSEXA windowClass = {};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = ownerProcedure;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = ownerClassName;
    registered = RegisterClassExA(&windowClass) != 0;
}

}  // namespace

OwnerWindow::OwnerWindow()
{
    registerOwnerClass();
    handle_ = CreateWindowExA(0, ownerClassName, "owner", WS_POPUP, 0, 0, 100, 100, nullptr,
                              nullptr, GetModuleHandleA(nullptr), nullptr);
}

OwnerWindow::~OwnerWindow()
{
    if (handle_) {
        DestroyWindow(handle_);
    }
}

}  // namespace hp::test
