// Helpers of the USER conformance tests: a window class whose procedure
// logs every message, and a bounded message pump.
#pragma once

#include <functional>
#include <vector>

#include "platform/win32.h"
#include "tests/platform/known_difference.h"

namespace user_test {

struct LoggedMessage {
    HWND window;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
};

// Every message the logging procedure saw, in order.
std::vector<LoggedMessage> &messageLog();
// The messages of one kind in the log, in order.
std::vector<LoggedMessage> logged(UINT message);
// Position of the first logged message of a kind, or -1.
int firstIndexOf(UINT message);

// What the logging procedure answers for a message, instead of
// DefWindowProcA (unset: the default processing).
void answer(UINT message, std::function<LRESULT(HWND, WPARAM, LPARAM)> handler);
void clearAnswers();

LRESULT CALLBACK loggingProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Registers the logging class once under this name.
const char *loggingClass();

// A hidden WS_POPUP window of the logging class.
HWND createPopup(int x, int y, int width, int height, DWORD style = WS_POPUP);

// Dispatches messages until done() holds or maxMilliseconds pass. True
// when done() held.
bool pumpUntil(const std::function<bool()> &done, UINT maxMilliseconds = 3000);

using conformance::runningUnderWine;

// Dispatches what is queued now (posted, input, paint) without waiting.
void pumpPending();

}  // namespace user_test
