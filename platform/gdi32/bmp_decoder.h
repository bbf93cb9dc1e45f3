// Decoding of device-independent bitmaps: BMP files and the DIBs inside
// icons and cursors.
//
// Supported: 1, 4, 8, 16, 24 and 32 bits per pixel; bottom-up and top-down;
// BI_RGB, BI_BITFIELDS, BI_RLE8 and BI_RLE4; BITMAPCOREHEADER (OS/2) and
// BITMAPINFOHEADER and its later versions (V4, V5). Every failure is a clean
// false: a truncated or hostile file never reads outside its bytes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "platform/gdi32/surface.h"

namespace hp::gdi32 {

struct DecodedImage {
    std::shared_ptr<Surface> pixels;  // 0x00RRGGBB, top-down
    // Per-pixel alpha (0-255, top-down) when the image carries it (32-bit
    // images whose alpha is not all zero); empty otherwise.
    std::vector<uint8_t> alpha;
    int bitsPerPixel = 0;  // as stored
    // The pixel array as the file stores it (uncompressed BI_RGB and
    // BI_BITFIELDS only, else empty), and its row order.
    std::vector<uint8_t> dibBits;
    bool topDown = false;
};

// Pictures of more pixels (width x rows) are refused, so that a hostile
// header cannot ask for absurd memory: a few bytes of run-length data can
// describe a picture of any size. Callers may set a lower bound.
constexpr int64_t maxDecodedPixels = 64ll * 1024 * 1024;

// Both decoders leave image as it was when they refuse the bytes.

// A whole BMP file (BITMAPFILEHEADER first).
bool decodeBmpFile(const uint8_t *bytes, size_t size, DecodedImage &image,
                   int64_t maxPixels = maxDecodedPixels);

// A DIB: header, colour table, pixel array. With iconHeight > 0 the header's
// height covers the colour image and the AND mask below it (icon layout):
// only the top iconHeight rows are the image, and mask receives the AND mask
// (1 = transparent), iconWidth x iconHeight, top-down.
bool decodeDib(const uint8_t *bytes, size_t size, DecodedImage &image, int iconHeight = 0,
               std::vector<uint8_t> *mask = nullptr, int64_t maxPixels = maxDecodedPixels);

}  // namespace hp::gdi32
