// The window classes the system provides itself: the dialog class
// ("#32770") and the two controls that dialog templates use here, "Button"
// (push buttons and group boxes) and "Static" (texts and icons). Their
// windows are drawn by the display's native dialog; the procedures carry
// the messages the platform's controls send and answer.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/user32/display_backend.h"
#include "platform/user32/window.h"
#include "platform/user32/window_class_registry.h"

namespace hp::user32 {

class WindowSystem;

void registerSystemClasses(WindowClassRegistry &classes);

LRESULT CALLBACK dialogWindowProcedure(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT CALLBACK buttonProcedure(HWND button, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT CALLBACK staticProcedure(HWND control, UINT message, WPARAM wParam, LPARAM lParam);

// What the display needs to build a dialog: its place, caption, font and
// controls (kinds, client rectangles, texts, icon pictures).
DialogDescription describeDialog(WindowSystem &system, const Window &dialog);

// The picture of an icon at a size, composed over a background colour, as
// 0x00RRGGBB rows top-down.
std::vector<uint32_t> renderIcon(HICON icon, int width, int height, COLORREF background);

// The platform's face colour of dialogs and buttons (COLOR_BTNFACE).
constexpr COLORREF dialogFaceColor = RGB(240, 240, 240);

}  // namespace hp::user32
