// File formats the skin is delivered in. Each encoder returns the whole file.
#pragma once

#include <cstdint>
#include <vector>

#include "tools/skin/raster.h"

namespace hp::skin {

using Bytes = std::vector<uint8_t>;

// Windows bitmap: BITMAPFILEHEADER + BITMAPINFOHEADER, 24 bits per pixel,
// BI_RGB, rows bottom-up and padded to four bytes. Alpha is dropped.
Bytes encodeBmp24(const Raster& picture);

// PNG, 8-bit RGBA, not interlaced. The image data is zlib-wrapped in stored
// (uncompressed) deflate blocks: small and exact, with no library needed.
Bytes encodePng(const Raster& picture);

// Windows icon with one 32-bit BGRA image per size, each followed by its
// AND mask (set where the pixel is fully transparent).
Bytes encodeIco(const std::vector<Raster>& sizes);

} // namespace hp::skin
