#include "platform/user32/frame_metrics.h"

namespace hp::user32 {

FrameInsets frameInsetsFor(DWORD style, DWORD exStyle)
{
    constexpr DWORD exStaticEdge = 0x00020000;  // WS_EX_STATICEDGE
    constexpr DWORD exClientEdge = 0x00000200;  // WS_EX_CLIENTEDGE
    constexpr DWORD exToolWindow = 0x00000080;  // WS_EX_TOOLWINDOW
    constexpr int smallCaptionHeightPixels = 15;

    int adjust = 0;
    if ((exStyle & (exStaticEdge | WS_EX_DLGMODALFRAME)) == exStaticEdge)
        adjust = 1;
    else if ((exStyle & WS_EX_DLGMODALFRAME) || (style & (WS_THICKFRAME | WS_DLGFRAME)))
        adjust = 2;
    if (style & WS_THICKFRAME)
        adjust += sizingFramePixels - dialogFramePixels;
    if ((style & (WS_BORDER | WS_DLGFRAME)) || (exStyle & WS_EX_DLGMODALFRAME))
        adjust += 1;

    FrameInsets insets{adjust, adjust, adjust, adjust};
    if ((style & WS_CAPTION) == WS_CAPTION)
        insets.top += (exStyle & exToolWindow) ? smallCaptionHeightPixels : captionHeightPixels;
    if (exStyle & exClientEdge) {
        insets.left += edgePixels;
        insets.top += edgePixels;
        insets.right += edgePixels;
        insets.bottom += edgePixels;
    }
    return insets;
}

}  // namespace hp::user32
