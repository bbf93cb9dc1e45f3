// The sizes of window frames and captions, and the other fixed system
// metrics, with the values of the platform's classic look (96 DPI).
//
// A window's frame follows from its style alone, as AdjustWindowRectEx
// computes it: a dialog frame (WS_DLGFRAME or WS_EX_DLGMODALFRAME) is
// SM_CXDLGFRAME wide, a resizing frame adds the difference to SM_CXFRAME,
// a border one more pixel, and a caption (WS_CAPTION) adds SM_CYCAPTION on
// top. A WS_POPUP window without those styles has no frame at all.
#pragma once

#include "platform/win32.h"

namespace hp::user32 {

constexpr int captionHeightPixels = 19;     // SM_CYCAPTION (18 + the line under it)
constexpr int dialogFramePixels = 3;        // SM_CXDLGFRAME, SM_CYDLGFRAME
constexpr int sizingFramePixels = 4;        // SM_CXFRAME, SM_CYFRAME
constexpr int borderPixels = 1;             // SM_CXBORDER, SM_CYBORDER
constexpr int edgePixels = 2;               // SM_CXEDGE, SM_CYEDGE
constexpr int iconSizePixels = 32;          // SM_CXICON
constexpr int smallIconSizePixels = 16;     // SM_CXSMICON
constexpr int cursorSizePixels = 32;        // SM_CXCURSOR

struct FrameInsets {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
};

FrameInsets frameInsetsFor(DWORD style, DWORD exStyle);

}  // namespace hp::user32
