// What the rest of the layer (user32's images, icons and windows) needs from
// GDI beyond the SDK calls.
#pragma once

#include <cstdint>
#include <memory>

#include "platform/gdi32/bitmap.h"
#include "platform/gdi32/bmp_decoder.h"

namespace hp::gdi32 {

// A bitmap handle over a decoded image (LoadImageA). Null when the table is
// full.
HBITMAP createBitmapFromImage(std::shared_ptr<const DecodedImage> image, Bitmap::Format format);

// Draws a picture with straight alpha (0xAARRGGBB, rows top-down), scaled by
// nearest neighbour to width x height at (x, y). With a background brush the
// picture is first composed over that brush and then copied, so transparent
// parts show the brush; without one it is blended over the context's
// pixels. False for a bad context.
bool drawArgbPicture(HDC dc, int x, int y, int width, int height, const uint32_t *argb,
                     int pictureWidth, int pictureHeight, HBRUSH background);

}  // namespace hp::gdi32
