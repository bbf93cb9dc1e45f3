// The pointer's hot spots on the skin: buttons, gauges and the seek bar,
// whose rectangles are the panel's layout (panel_layout.h).
#pragma once

#include "platform/win32.h"

enum class PanelButton { Stop, Play, Next, Previous, Quit, None };

// The first button whose rectangle holds the point, in the order stop,
// play, next, previous, quit; None elsewhere.
PanelButton buttonAt(int x, int y);

// The status text shown while hovering over a button (or elsewhere).
const char *hoverText(PanelButton button);

// The pointer position of WM_MOUSEMOVE and WM_LBUTTONDOWN: the low and high
// words of lParam as unsigned numbers.
POINT pointerFromLParam(LPARAM lParam);

// Where the pointer was last seen: the client position each pointer
// handler stores first, or the screen position the window procedure stores
// for the popup menu after a right click.
extern POINT pointerPos;
