// Icons and cursors as the rest of the layer sees them: the pictures behind
// HICON/HCURSOR handles (for window icons, dialog icons and the pointer)
// and their count (GetGuiResources(GR_USEROBJECTS)).
#pragma once

#include <cstdint>
#include <vector>

#include "platform/win32.h"

namespace hp::user32 {

struct IconPicture {
    int width = 0;
    int height = 0;
    std::vector<uint32_t> argb;  // straight alpha, 0xAARRGGBB, rows top-down
    POINT hotspot{0, 0};         // cursors
    bool isCursor = false;
};

// The picture of an icon or cursor; false (ERROR_INVALID_CURSOR_HANDLE) for
// a handle that names none.
bool iconPicture(HICON icon, IconPicture &picture);

// Icons and cursors alive in the process, shared ones (LoadIconA,
// LoadCursorA, LR_SHARED) included.
DWORD liveIconCount();

}  // namespace hp::user32
