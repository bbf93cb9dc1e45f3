#include "platform/user32/frame_metrics.h"

namespace hp::user32 {

FrameInsets frameInsetsFor(DWORD style, DWORD exStyle)
{
    constexpr int smallCaptionHeightPixels = 15;

    int adjust = 0;
    if ((exStyle & (WS_EX_STATICEDGE | WS_EX_DLGMODALFRAME)) == WS_EX_STATICEDGE)
        adjust = 1;
    else if ((exStyle & WS_EX_DLGMODALFRAME) || (style & (WS_THICKFRAME | WS_DLGFRAME)))
        adjust = 2;
    if (style & WS_THICKFRAME)
        adjust += sizingFramePixels - dialogFramePixels;
    if ((style & (WS_BORDER | WS_DLGFRAME)) || (exStyle & WS_EX_DLGMODALFRAME))
        adjust += 1;

    FrameInsets insets{adjust, adjust, adjust, adjust};
    if ((style & WS_CAPTION) == WS_CAPTION)
        insets.top += (exStyle & WS_EX_TOOLWINDOW) ? smallCaptionHeightPixels : captionHeightPixels;
    if (exStyle & WS_EX_CLIENTEDGE) {
        insets.left += edgePixels;
        insets.top += edgePixels;
        insets.right += edgePixels;
        insets.bottom += edgePixels;
    }
    return insets;
}

}  // namespace hp::user32
