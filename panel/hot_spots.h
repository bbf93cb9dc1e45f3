// The pointer's hot rectangles on the skin: buttons, gauges and the seek
// bar. Both bounds of every rectangle belong to it; no two overlap.
#pragma once

#include "platform/win32.h"

struct HotRect {
    int left;
    int right;
    int top;
    int bottom;

    bool contains(int x, int y) const { return x >= left && x <= right && y >= top && y <= bottom; }
};

enum class PanelButton { Stop, Play, Next, Previous, Quit, None };

constexpr HotRect stopButton = {450, 474, 338, 353};
constexpr HotRect playButton = {509, 572, 411, 452};
constexpr HotRect nextButton = {486, 510, 305, 321};
constexpr HotRect previousButton = {436, 460, 377, 393};
constexpr HotRect quitButton = {586, 601, 320, 331};
constexpr HotRect seekBar = {236, 388, 207, 214};

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
