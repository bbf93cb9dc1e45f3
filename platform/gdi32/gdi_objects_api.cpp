// Device contexts and GDI objects: creation, selection, deletion and
// queries.
#include <cstring>

#include "platform/gdi32/device_context.h"
#include "platform/gdi32/gdi_access.h"
#include "platform/gdi32/object_table.h"
#include "platform/gdi32/surface.h"

namespace hp::gdi32 {

namespace {

ObjectTable &table() { return ObjectTable::instance(); }

DeviceContext *findDc(HDC handle)
{
    return table().findAs<DeviceContext>(handle, ObjectKind::DeviceContext);
}

DeviceContext *findDcOrFail(HDC handle)
{
    DeviceContext *dc = findDc(handle);
    if (!dc)
        SetLastError(ERROR_INVALID_HANDLE);
    return dc;
}

HDC createDc(DeviceContext::Type type, HWND window, std::shared_ptr<Surface> surface)
{
    auto dc = std::make_unique<DeviceContext>(type, window, std::move(surface));
    dc->pen = table().stockObject(BLACK_PEN);
    dc->brush = table().stockObject(WHITE_BRUSH);
    dc->font = table().stockObject(SYSTEM_FONT);
    if (type == DeviceContext::Type::Memory)
        dc->bitmap = table().defaultBitmap();
    DeviceContext *raw = dc.get();
    HGDIOBJ handle = table().insert(std::move(dc));
    if (!handle)
        return nullptr;
    table().noteSelected(raw->pen);
    table().noteSelected(raw->brush);
    table().noteSelected(raw->font);
    if (raw->bitmap) {
        table().noteSelected(raw->bitmap);
        if (auto *bitmap = table().findAs<Bitmap>(raw->bitmap, ObjectKind::Bitmap);
            bitmap && !bitmap->isStock())
            bitmap->selectedInto = static_cast<HDC>(handle);
    }
    return static_cast<HDC>(handle);
}

void destroyDc(HDC handle, DeviceContext &dc)
{
    // Let go of everything selected: objects whose deletion waited for this
    // go now.
    const HGDIOBJ selected[] = {dc.pen, dc.brush, dc.font, dc.bitmap};
    if (auto *bitmap = table().findAs<Bitmap>(dc.bitmap, ObjectKind::Bitmap))
        if (bitmap->selectedInto == handle)
            bitmap->selectedInto = nullptr;
    table().erase(handle);
    for (HGDIOBJ object : selected)
        if (object)
            table().noteDeselected(object);
}

}  // namespace

HDC createWindowDc(HWND window, std::shared_ptr<Surface> surface)
{
    return createDc(DeviceContext::Type::Window, window, std::move(surface));
}

void releaseWindowDc(HDC handle)
{
    DeviceContext *dc = findDc(handle);
    if (dc && dc->type == DeviceContext::Type::Window)
        destroyDc(handle, *dc);
}

HWND windowOfDc(HDC handle)
{
    DeviceContext *dc = findDc(handle);
    return dc ? dc->window : nullptr;
}

DWORD liveGdiObjectCount() { return table().liveCount(); }

HBITMAP createBitmapFromImage(std::shared_ptr<const DecodedImage> image, Bitmap::Format format)
{
    return static_cast<HBITMAP>(table().insert(Bitmap::fromImage(std::move(image), format)));
}

}  // namespace hp::gdi32

using hp::gdi32::Bitmap;
using hp::gdi32::Brush;
using hp::gdi32::DeviceContext;
using hp::gdi32::Font;
using hp::gdi32::GdiObject;
using hp::gdi32::ObjectKind;
using hp::gdi32::ObjectTable;
using hp::gdi32::Pen;

extern "C" {

HDC WINAPI CreateCompatibleDC(HDC dc)
{
    if (dc && !hp::gdi32::findDcOrFail(dc))
        return nullptr;
    return hp::gdi32::createDc(DeviceContext::Type::Memory, nullptr, nullptr);
}

BOOL WINAPI DeleteDC(HDC handle)
{
    DeviceContext *dc = hp::gdi32::findDcOrFail(handle);
    if (!dc)
        return FALSE;
    // Window contexts go back with ReleaseDC/EndPaint.
    if (dc->type != DeviceContext::Type::Memory) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    hp::gdi32::destroyDc(handle, *dc);
    return TRUE;
}

HBITMAP WINAPI CreateCompatibleBitmap(HDC handle, int width, int height)
{
    DeviceContext *dc = hp::gdi32::findDcOrFail(handle);
    if (!dc)
        return nullptr;
    if (width < 0 || height < 0) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    // A memory context holding a monochrome bitmap (its default one, say)
    // makes monochrome bitmaps: the platform's well-known rule.
    int bitsPerPixel = 32;
    if (dc->type == DeviceContext::Type::Memory) {
        auto *bitmap = ObjectTable::instance().findAs<Bitmap>(dc->bitmap, ObjectKind::Bitmap);
        if (bitmap && bitmap->isMonochrome())
            bitsPerPixel = 1;
    }
    if (width == 0 || height == 0) {
        width = 1;
        height = 1;
        bitsPerPixel = 1;
    }
    auto bitmap = Bitmap::createDevice(width, height, bitsPerPixel);
    if (!bitmap) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
    return static_cast<HBITMAP>(ObjectTable::instance().insert(std::move(bitmap)));
}

HBITMAP WINAPI CreateDIBSection(HDC handle, const BITMAPINFO *info, UINT usage, VOID **bits,
                                HANDLE section, DWORD offset)
{
    (void)offset;
    if (bits)
        *bits = nullptr;
    if (handle && !hp::gdi32::findDcOrFail(handle))
        return nullptr;
    if (!info || usage != DIB_RGB_COLORS || section) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    auto bitmap = Bitmap::createDibSection(*info);
    if (!bitmap) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    void *programBits = bitmap->programBits();
    HBITMAP result = static_cast<HBITMAP>(ObjectTable::instance().insert(std::move(bitmap)));
    if (result && bits)
        *bits = programBits;
    return result;
}

HGDIOBJ WINAPI SelectObject(HDC handle, HGDIOBJ object)
{
    ObjectTable &objects = ObjectTable::instance();
    DeviceContext *dc = hp::gdi32::findDcOrFail(handle);
    if (!dc)
        return nullptr;
    GdiObject *target = objects.find(object);
    if (!target || target->deletePending) {
        SetLastError(ERROR_INVALID_HANDLE);
        return nullptr;
    }
    HGDIOBJ *slot = nullptr;
    switch (target->kind()) {
    case ObjectKind::Pen:
        slot = &dc->pen;
        break;
    case ObjectKind::Brush:
        slot = &dc->brush;
        break;
    case ObjectKind::Font:
        slot = &dc->font;
        break;
    case ObjectKind::Bitmap: {
        auto *bitmap = static_cast<Bitmap *>(target);
        // Bitmaps go only into memory contexts, and into one at a time.
        if (dc->type != DeviceContext::Type::Memory ||
            (bitmap->selectedInto && bitmap->selectedInto != handle)) {
            SetLastError(ERROR_INVALID_PARAMETER);
            return nullptr;
        }
        if (auto *old = objects.findAs<Bitmap>(dc->bitmap, ObjectKind::Bitmap))
            if (old->selectedInto == handle)
                old->selectedInto = nullptr;
        if (!bitmap->isStock())
            bitmap->selectedInto = handle;
        slot = &dc->bitmap;
        break;
    }
    default:
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    HGDIOBJ previous = *slot;
    if (previous == object)
        return previous;
    *slot = object;
    objects.noteSelected(object);
    objects.noteDeselected(previous);
    return previous;
}

HGDIOBJ WINAPI GetCurrentObject(HDC handle, UINT type)
{
    DeviceContext *dc = hp::gdi32::findDcOrFail(handle);
    if (!dc)
        return nullptr;
    switch (type) {
    case OBJ_PEN:
        return dc->pen;
    case OBJ_BRUSH:
        return dc->brush;
    case OBJ_FONT:
        return dc->font;
    case OBJ_BITMAP:
        return dc->bitmap;
    default:
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
}

BOOL WINAPI DeleteObject(HGDIOBJ object)
{
    ObjectTable &objects = ObjectTable::instance();
    GdiObject *target = objects.find(object);
    if (!target) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    if (target->isStock())
        return TRUE;  // stock objects stay
    if (target->kind() == ObjectKind::DeviceContext) {
        // DeleteObject on a memory context deletes it as DeleteDC does.
        return DeleteDC(static_cast<HDC>(object));
    }
    if (target->selectionCount > 0) {
        // Still selected: it goes when the last context lets it go.
        target->deletePending = true;
        return TRUE;
    }
    objects.erase(object);
    return TRUE;
}

HGDIOBJ WINAPI GetStockObject(int index) { return ObjectTable::instance().stockObject(index); }

DWORD WINAPI GetObjectType(HGDIOBJ object)
{
    GdiObject *target = ObjectTable::instance().find(object);
    if (!target) {
        SetLastError(ERROR_INVALID_HANDLE);
        return 0;
    }
    switch (target->kind()) {
    case ObjectKind::Pen:
        return OBJ_PEN;
    case ObjectKind::Brush:
        return OBJ_BRUSH;
    case ObjectKind::Font:
        return OBJ_FONT;
    case ObjectKind::Bitmap:
        return OBJ_BITMAP;
    case ObjectKind::Palette:
        return OBJ_PAL;
    case ObjectKind::DeviceContext:
        return static_cast<DeviceContext *>(target)->type == DeviceContext::Type::Memory
                   ? OBJ_MEMDC
                   : OBJ_DC;
    }
    return 0;
}

int WINAPI GetObjectA(HGDIOBJ object, int size, LPVOID buffer)
{
    GdiObject *target = ObjectTable::instance().find(object);
    if (!target) {
        SetLastError(ERROR_INVALID_HANDLE);
        return 0;
    }
    // With no buffer the size of the record is returned; with a smaller
    // buffer the record is cut, as the platform does.
    auto copyOut = [&](const void *record, int recordSize) {
        if (!buffer)
            return recordSize;
        if (size <= 0)
            return 0;
        int copied = size < recordSize ? size : recordSize;
        std::memcpy(buffer, record, static_cast<size_t>(copied));
        return copied;
    };
    switch (target->kind()) {
    case ObjectKind::Bitmap: {
        BITMAP record{};
        static_cast<Bitmap *>(target)->describe(record);
        if (buffer && size < static_cast<int>(sizeof(BITMAP)))
            return 0;  // a BITMAP record is returned whole or not at all
        return copyOut(&record, sizeof(record));
    }
    case ObjectKind::Pen: {
        auto *pen = static_cast<Pen *>(target);
        LOGPEN record{static_cast<UINT>(pen->style), POINT{pen->width, 0}, pen->color};
        return copyOut(&record, sizeof(record));
    }
    case ObjectKind::Brush: {
        auto *brush = static_cast<Brush *>(target);
        LOGBRUSH record{static_cast<UINT>(brush->style), brush->color,
                        reinterpret_cast<ULONG_PTR>(brush->patternBitmap)};
        return copyOut(&record, sizeof(record));
    }
    case ObjectKind::Font:
        return copyOut(&static_cast<Font *>(target)->logFont, sizeof(LOGFONTA));
    case ObjectKind::Palette: {
        WORD entries = 20;
        return copyOut(&entries, sizeof(entries));
    }
    case ObjectKind::DeviceContext:
        break;
    }
    SetLastError(ERROR_INVALID_HANDLE);
    return 0;
}

HBRUSH WINAPI CreateSolidBrush(COLORREF color)
{
    return static_cast<HBRUSH>(
        ObjectTable::instance().insert(std::make_unique<Brush>(BS_SOLID, color & 0xFFFFFF)));
}

HBRUSH WINAPI CreatePatternBrush(HBITMAP bitmapHandle)
{
    auto *bitmap = ObjectTable::instance().findAs<Bitmap>(bitmapHandle, ObjectKind::Bitmap);
    if (!bitmap) {
        SetLastError(ERROR_INVALID_HANDLE);
        return nullptr;
    }
    auto brush = std::make_unique<Brush>(BS_PATTERN, 0);
    brush->pattern = bitmap->snapshot();
    brush->patternIsMonochrome = bitmap->isMonochrome();
    brush->patternBitmap = bitmapHandle;
    return static_cast<HBRUSH>(ObjectTable::instance().insert(std::move(brush)));
}

HPEN WINAPI CreatePen(int style, int width, COLORREF color)
{
    if (style < PS_SOLID || style > PS_INSIDEFRAME) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    return static_cast<HPEN>(ObjectTable::instance().insert(
        std::make_unique<Pen>(style, width < 0 ? 0 : width, color & 0xFFFFFF)));
}

HFONT WINAPI CreateFontIndirectA(const LOGFONTA *font)
{
    if (!font) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    LOGFONTA copy = *font;
    copy.lfFaceName[LF_FACESIZE - 1] = '\0';
    return static_cast<HFONT>(ObjectTable::instance().insert(std::make_unique<Font>(copy)));
}

HFONT WINAPI CreateFontA(int height, int width, int escapement, int orientation, int weight,
                         DWORD italic, DWORD underline, DWORD strikeOut, DWORD charSet,
                         DWORD outPrecision, DWORD clipPrecision, DWORD quality,
                         DWORD pitchAndFamily, LPCSTR faceName)
{
    LOGFONTA font{};
    font.lfHeight = height;
    font.lfWidth = width;
    font.lfEscapement = escapement;
    font.lfOrientation = orientation;
    font.lfWeight = weight;
    font.lfItalic = static_cast<BYTE>(italic);
    font.lfUnderline = static_cast<BYTE>(underline);
    font.lfStrikeOut = static_cast<BYTE>(strikeOut);
    font.lfCharSet = static_cast<BYTE>(charSet);
    font.lfOutPrecision = static_cast<BYTE>(outPrecision);
    font.lfClipPrecision = static_cast<BYTE>(clipPrecision);
    font.lfQuality = static_cast<BYTE>(quality);
    font.lfPitchAndFamily = static_cast<BYTE>(pitchAndFamily);
    if (faceName)
        std::strncpy(font.lfFaceName, faceName, LF_FACESIZE - 1);
    return CreateFontIndirectA(&font);
}

COLORREF WINAPI SetBkColor(HDC handle, COLORREF color)
{
    DeviceContext *dc = hp::gdi32::findDcOrFail(handle);
    if (!dc)
        return CLR_INVALID;
    COLORREF previous = dc->backgroundColor;
    dc->backgroundColor = color & 0xFFFFFF;
    return previous;
}

COLORREF WINAPI GetBkColor(HDC handle)
{
    DeviceContext *dc = hp::gdi32::findDcOrFail(handle);
    return dc ? dc->backgroundColor : CLR_INVALID;
}

COLORREF WINAPI SetTextColor(HDC handle, COLORREF color)
{
    DeviceContext *dc = hp::gdi32::findDcOrFail(handle);
    if (!dc)
        return CLR_INVALID;
    COLORREF previous = dc->textColor;
    dc->textColor = color & 0xFFFFFF;
    return previous;
}

COLORREF WINAPI GetTextColor(HDC handle)
{
    DeviceContext *dc = hp::gdi32::findDcOrFail(handle);
    return dc ? dc->textColor : CLR_INVALID;
}

int WINAPI SetBkMode(HDC handle, int mode)
{
    DeviceContext *dc = hp::gdi32::findDcOrFail(handle);
    if (!dc)
        return 0;
    if (mode != TRANSPARENT && mode != OPAQUE) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    int previous = dc->backgroundMode;
    dc->backgroundMode = mode;
    return previous;
}

int WINAPI GetBkMode(HDC handle)
{
    DeviceContext *dc = hp::gdi32::findDcOrFail(handle);
    return dc ? dc->backgroundMode : 0;
}

int WINAPI SetStretchBltMode(HDC handle, int mode)
{
    DeviceContext *dc = hp::gdi32::findDcOrFail(handle);
    if (!dc)
        return 0;
    if (mode < BLACKONWHITE || mode > HALFTONE) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    int previous = dc->stretchMode;
    dc->stretchMode = mode;
    return previous;
}

int WINAPI GetStretchBltMode(HDC handle)
{
    DeviceContext *dc = hp::gdi32::findDcOrFail(handle);
    return dc ? dc->stretchMode : 0;
}

BOOL WINAPI SetBrushOrgEx(HDC handle, int x, int y, LPPOINT previous)
{
    DeviceContext *dc = hp::gdi32::findDcOrFail(handle);
    if (!dc)
        return FALSE;
    if (previous)
        *previous = dc->brushOrigin;
    dc->brushOrigin = POINT{x, y};
    return TRUE;
}

int WINAPI GetDeviceCaps(HDC handle, int index)
{
    DeviceContext *dc = hp::gdi32::findDcOrFail(handle);
    if (!dc)
        return 0;
    switch (index) {
    case LOGPIXELSX:
    case LOGPIXELSY:
        return 96;
    case BITSPIXEL:
        return 32;
    case PLANES:
        return 1;
    case HORZRES:
    case VERTRES:
        // The screen's size belongs to the display backend; contexts here
        // report their own surface.
        if (dc->type == DeviceContext::Type::Window && dc->windowSurface)
            return index == HORZRES ? dc->windowSurface->width() : dc->windowSurface->height();
        return 0;
    default:
        return 0;
    }
}

}  // extern "C"

extern "C" BOOL WINAPI GdiFlush(void)
{
    // Drawing is never batched here: the pixels and a DIB section's bits are
    // in step when each call returns.
    return TRUE;
}
