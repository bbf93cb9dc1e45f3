// Helpers of the headless window-system tests: windows whose procedure is
// a test's lambda, and pumping on the headless display.
#pragma once

#include <functional>
#include <vector>

#include "platform/testing/headless_display.h"
#include "platform/win32.h"

namespace headless_test {

using Procedure = std::function<LRESULT(HWND, UINT, WPARAM, LPARAM)>;

struct Message {
    HWND window;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
};

// A window whose procedure logs every message and then calls `procedure`
// (DefWindowProcA when it is empty). One at a time per test.
HWND createWindow(Procedure procedure, RECT rect, DWORD style = WS_POPUP,
                  HBRUSH background = nullptr);

std::vector<Message> &log();
std::vector<Message> logged(UINT message);

// Dispatches everything queued now, without letting time pass.
void pump();

// Runs GetMessageA/DispatchMessageA until done() holds (the headless
// display moves the clock and runs scheduled actions as the loop waits).
void runUntil(const std::function<bool()> &done);

hp::testing::HeadlessDisplay &display();

}  // namespace headless_test
