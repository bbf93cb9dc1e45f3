#include "panel/sprite.h"

namespace {

// The geometry a request asks for; the image's own size fills in what it
// leaves open (bitmaps only).
struct BlitGeometry {
    int destX = 0;
    int destY = 0;
    int srcX = 0;
    int srcY = 0;
    int srcWidth = 0;
    int srcHeight = 0;
    int destWidth = 0;
    int destHeight = 0;
};

BlitGeometry geometryOf(const BlitRequest &request)
{
    BlitGeometry geometry;
    if (request.options & BLIT_DEST_POS) {
        geometry.destX = request.destX;
        geometry.destY = request.destY;
    }
    if (request.options & BLIT_SRC_POS) {
        geometry.srcX = request.srcX;
        geometry.srcY = request.srcY;
    }
    if (request.options & BLIT_SRC_SIZE) {
        geometry.srcWidth = request.srcWidth;
        geometry.srcHeight = request.srcHeight;
    }
    if (request.options & BLIT_DEST_SIZE) {
        geometry.destWidth = request.destWidth;
        geometry.destHeight = request.destHeight;
    }
    return geometry;
}

UINT loadFlagsOf(const BlitRequest &request, UINT imageType)
{
    if (request.options & BLIT_RESOURCE)
        return 0;
    if (imageType == IMAGE_BITMAP)
        return LR_LOADFROMFILE | LR_CREATEDIBSECTION;
    return LR_LOADFROMFILE;
}

int drawBitmap(const BlitRequest &request, BlitGeometry geometry)
{
    HBITMAP bitmap = static_cast<HBITMAP>(LoadImageA(GetModuleHandleA(nullptr), request.imageName,
                                                     IMAGE_BITMAP, 0, 0,
                                                     loadFlagsOf(request, IMAGE_BITMAP)));
    if (!bitmap)
        return 0;
    HDC memoryDc = CreateCompatibleDC(nullptr);
    SelectObject(memoryDc, bitmap);
    BITMAP info = {};
    GetObjectA(bitmap, sizeof(BITMAP), &info);
    if (!(request.options & BLIT_SRC_SIZE)) {
        geometry.srcWidth = info.bmWidth;
        geometry.srcHeight = info.bmHeight;
    }
    if (!(request.options & BLIT_DEST_SIZE)) {
        geometry.destWidth = info.bmWidth;
        geometry.destHeight = info.bmHeight;
    }
    StretchBlt(request.targetDc, geometry.destX, geometry.destY, geometry.destWidth,
               geometry.destHeight, memoryDc, geometry.srcX, geometry.srcY, geometry.srcWidth,
               geometry.srcHeight, SRCCOPY);
    // The context goes first, so that the bitmap is no longer selected into
    // a live context when it is deleted.
    DeleteDC(memoryDc);
    DeleteObject(bitmap);
    return 1;
}

// Icons and cursors are composed over the white stock brush, so their
// transparent parts come out white.
int drawIconOrCursor(const BlitRequest &request, const BlitGeometry &geometry, UINT imageType)
{
    HICON icon = static_cast<HICON>(LoadImageA(GetModuleHandleA(nullptr), request.imageName,
                                               imageType, 0, 0, loadFlagsOf(request, imageType)));
    if (!icon)
        return 0;
    HBRUSH white = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
    if (request.options & BLIT_DEST_SIZE)
        DrawIconEx(request.targetDc, geometry.destX, geometry.destY, icon, geometry.destWidth,
                   geometry.destHeight, 0, white, DI_NORMAL);
    else
        DrawIconEx(request.targetDc, geometry.destX, geometry.destY, icon, 0, 0, 0, white,
                   DI_DEFAULTSIZE);
    if (imageType == IMAGE_ICON)
        DestroyIcon(icon);
    else
        DestroyCursor(icon);
    return 1;
}

}  // namespace

int drawSprite(BlitRequest request)
{
    BlitGeometry geometry = geometryOf(request);
    if (request.options & BLIT_BITMAP)
        return drawBitmap(request, geometry);
    if (request.options & BLIT_ICON)
        return drawIconOrCursor(request, geometry, IMAGE_ICON);
    if (request.options & BLIT_CURSOR)
        return drawIconOrCursor(request, geometry, IMAGE_CURSOR);
    return 1;
}

BlitRequest skinSprite(HDC targetDc, int srcX, int srcY, int width, int height, int destX,
                       int destY)
{
    BlitRequest request = {};
    request.targetDc = targetDc;
    request.destX = destX;
    request.destY = destY;
    request.srcX = srcX;
    request.srcY = srcY;
    lstrcpyA(request.imageName, partsImagePath);
    request.destWidth = width;
    request.destHeight = height;
    request.srcWidth = width;
    request.srcHeight = height;
    request.options = skinSpriteOptions;
    return request;
}
