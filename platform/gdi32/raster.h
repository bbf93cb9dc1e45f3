// The pixel work of GDI on surfaces: fills, blits and glyph compositing.
// Rectangles are in surface pixels with the platform's convention (left and
// top included, right and bottom excluded); everything is clipped to the
// surface.
#pragma once

#include "platform/gdi32/device_context.h"

namespace hp::host {
struct GlyphMask;
}

namespace hp::gdi32 {

// Colours as a monochrome bitmap stores them: the nearer of black and white.
uint32_t monochromePixel(uint32_t pixel);

// Fills with one colour.
void fillSolid(DrawTarget &target, const RECT &area, COLORREF color);

// Fills with a brush: solid, pattern (tiled from the context's brush origin,
// a monochrome pattern taking the text colour for black and the background
// colour for white) or null (nothing).
void fillWithBrush(DrawTarget &target, const RECT &area, const Brush &brush,
                   const DeviceContext &dc);

// Colours of a copy between formats: a monochrome source gives the
// destination context's text colour for black and its background colour for
// white; a colour source into a monochrome destination gives white where the
// source pixel equals the source context's background colour, else black.
struct BlitColors {
    bool sourceMonochrome = false;
    COLORREF sourceBackground = RGB(255, 255, 255);
    COLORREF destinationText = RGB(0, 0, 0);
    COLORREF destinationBackground = RGB(255, 255, 255);
};

// StretchBlt with SRCCOPY in surface coordinates. Negative extents span
// toward smaller coordinates from the pixel at x (x + width + 1 .. x), and
// the picture is mirrored on an axis where the two signs differ. Sizes that
// differ stretch by nearest neighbour (STRETCH_DELETESCANS). Source pixels
// outside the source surface are not copied. Zero extents copy nothing.
void stretchCopy(DrawTarget &target, int x, int y, int width, int height, const Surface &source,
                 int sourceX, int sourceY, int sourceWidth, int sourceHeight,
                 const BlitColors &colors);

// Blends a glyph's coverage in the given colour with its pen at (x, y),
// inside `clip` only.
void compositeGlyph(DrawTarget &target, int x, int y, const host::GlyphMask &glyph,
                    COLORREF color, const RECT &clip);

// The same on a bare surface (a window's device copy); returns the area
// drawn, and reports no damage.
RECT blendGlyph(Surface &surface, int x, int y, const host::GlyphMask &glyph, COLORREF color,
                const RECT &clip, bool monochrome);

}  // namespace hp::gdi32
