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

// The sizes a window's icons are shown at: the small icon in title bars
// and task bars (SM_CXSMICON), the large one in task switchers at the
// system size (SM_CXICON) and above.
constexpr int windowSmallIconSize = 16;
constexpr int windowLargeIconSizes[] = {32, 48};

// The pictures of a window whose class has these icons, smallest first: the
// small icon (or, without one, the large icon) at windowSmallIconSize, the
// large icon at each of windowLargeIconSizes. As the platform does, each
// comes from the image of the icon's resource or file nearest its size, not
// from the picture loaded at another size. Handles that name no icon give
// nothing.
std::vector<IconPicture> windowIconPictures(HICON icon, HICON smallIcon);

// Icons and cursors alive in the process, shared ones (LoadIconA,
// LoadCursorA, LR_SHARED) included.
DWORD liveIconCount();

}  // namespace hp::user32
