// The system colours (GetSysColor), with the platform's default scheme.
#pragma once

#include "platform/win32.h"

namespace hp::user32 {

constexpr int lastSystemColorIndex = COLOR_MENUBAR;

// The colour of a COLOR_* index; black for an unknown index.
COLORREF systemColor(int index);

}  // namespace hp::user32
