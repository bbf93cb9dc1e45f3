// The sprite blitter: the one road by which pictures of the skin reach the
// window. Each call loads its image, draws it once and releases everything
// it created before it returns; nothing is kept between calls.
#pragma once

#include <stdint.h>

#include "platform/win32.h"

// Option bits of BlitRequest::options.
enum BlitOption : uint32_t {
    BLIT_RESOURCE = 1,    // a resource of the program's module (load flags 0)
    BLIT_FILE = 2,        // a file; not tested: everything without BLIT_RESOURCE is a file
    BLIT_BITMAP = 4,      // drawn with StretchBlt
    BLIT_ICON = 8,        // drawn with DrawIconEx, released with DestroyIcon
    BLIT_CURSOR = 16,     // drawn with DrawIconEx, released with DestroyCursor
    BLIT_SRC_POS = 32,    // srcX and srcY apply
    BLIT_DEST_POS = 64,   // destX and destY apply
    BLIT_SRC_SIZE = 128,  // srcWidth and srcHeight apply (bitmaps only)
    BLIT_DEST_SIZE = 256, // destWidth and destHeight apply
};

// What every sprite of the front panel uses: a bitmap file cut at a source
// position and size and drawn, unstretched, at a destination position.
constexpr uint32_t skinSpriteOptions =
    BLIT_FILE | BLIT_BITMAP | BLIT_SRC_POS | BLIT_DEST_POS | BLIT_SRC_SIZE | BLIT_DEST_SIZE;
static_assert(skinSpriteOptions == 486, "the skin's sprite requests use options 486");

// The skin file that every sprite and gauge piece is cut from.
constexpr const char *partsImagePath = "image/parts.bmp";

struct BlitRequest {
    HDC targetDc;
    int32_t destX;
    int32_t destY;
    int32_t srcX;
    int32_t srcY;
    char imageName[260];
    int32_t destWidth;
    int32_t destHeight;
    int32_t srcWidth;
    int32_t srcHeight;
    uint32_t options;
};

// Copies the requested rectangle of the image into targetDc. Returns 0 when
// the image cannot be loaded (nothing is drawn), 1 otherwise, also when no
// image kind bit is set and nothing is drawn.
int drawSprite(BlitRequest request);

// A request for one sprite of the skin file: source (srcX, srcY) of the
// given size drawn at (destX, destY), same size.
BlitRequest skinSprite(HDC targetDc, int srcX, int srcY, int width, int height, int destX,
                       int destY);
