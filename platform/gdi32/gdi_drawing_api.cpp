// Drawing: rectangles, fills, pixels, blits and text.
#include <algorithm>
#include <string>

#include "platform/gdi32/device_context.h"
#include "platform/gdi32/gdi_access.h"
#include "platform/gdi32/object_table.h"
#include "platform/gdi32/rectangles.h"
#include "platform/gdi32/raster.h"
#include "platform/host/charset.h"
#include "platform/host/utf8.h"
#include "platform/host/font_face.h"
#include "platform/kernel32/cp932_text.h"

namespace hp::gdi32 {

namespace {

ObjectTable &table() { return ObjectTable::instance(); }

DeviceContext *findDcOrFail(HDC handle)
{
    auto *dc = table().findAs<DeviceContext>(handle, ObjectKind::DeviceContext);
    if (!dc)
        SetLastError(ERROR_INVALID_HANDLE);
    return dc;
}

// The system colours that FillRect accepts as (HBRUSH)(COLOR_xxx + 1).
bool systemColorBrush(HBRUSH brush, COLORREF &color)
{
    const uintptr_t value = reinterpret_cast<uintptr_t>(brush);
    if (value == 0 || value > 31)
        return false;
    static const COLORREF colors[31] = {
        RGB(200, 200, 200), RGB(0, 0, 0),       RGB(153, 180, 209), RGB(191, 205, 219),
        RGB(240, 240, 240), RGB(255, 255, 255), RGB(100, 100, 100), RGB(0, 0, 0),
        RGB(0, 0, 0),       RGB(0, 0, 0),       RGB(180, 180, 180), RGB(244, 247, 252),
        RGB(171, 171, 171), RGB(0, 120, 215),   RGB(255, 255, 255), RGB(240, 240, 240),
        RGB(160, 160, 160), RGB(109, 109, 109), RGB(0, 0, 0),       RGB(67, 78, 84),
        RGB(255, 255, 255), RGB(105, 105, 105), RGB(227, 227, 227), RGB(0, 0, 0),
        RGB(255, 255, 225), RGB(0, 0, 0),       RGB(0, 102, 204),   RGB(185, 209, 234),
        RGB(215, 228, 242), RGB(0, 120, 215),   RGB(240, 240, 240)};
    color = colors[value - 1];
    return true;
}

// The platform turns a double-byte sequence it cannot map, and a lead byte
// with nothing after it, into the code page's default character.
constexpr char32_t defaultCharacter = 0x30FB;  // KATAKANA MIDDLE DOT
constexpr char32_t halfWidthDefaultCharacter = 0xFF65;  // HALFWIDTH KATAKANA MIDDLE DOT

struct TextUnit {
    char32_t character;
    bool doubleWidth;  // takes a full cell in a fixed-pitch font
};

// Splits CP932 bytes into characters: a lead byte takes the byte after it,
// whatever it is. A lead byte at the very end stands alone: the platform's
// conversion makes it the default character, the middle dot; here it shows
// as the half-width dot in one cell, so that a line cut inside a character
// (the panel's lines are cut at 27 bytes) stays exactly as wide as its
// bytes and leaves nothing outside its cells.
std::vector<TextUnit> splitText(const char *text, int count)
{
    std::vector<TextUnit> units;
    units.reserve(static_cast<size_t>(count));
    for (int i = 0; i < count; ++i) {
        const auto b = static_cast<unsigned char>(text[i]);
        if (kernel32::isCp932LeadByte(b)) {
            if (i + 1 >= count) {
                units.push_back({halfWidthDefaultCharacter, false});
                break;
            }
            char32_t c = utf8::firstScalar(host::utf8FromCp932(std::string_view(text + i, 2)), defaultCharacter);
            if (c == 0xFFFD)
                c = defaultCharacter;
            units.push_back({c, true});
            ++i;
            continue;
        }
        if (b < 0x80) {
            units.push_back({b, false});
            continue;
        }
        char32_t c = utf8::firstScalar(host::utf8FromCp932(std::string_view(text + i, 1)), defaultCharacter);
        units.push_back({c == 0xFFFD ? char32_t(' ') : c, false});
    }
    return units;
}

Font &fontOf(DeviceContext &dc)
{
    Font *font = table().findAs<Font>(dc.font, ObjectKind::Font);
    if (!font)
        font = table().findAs<Font>(table().stockObject(SYSTEM_FONT), ObjectKind::Font);
    return *font;
}

// The font's request to the host, its height `scale` times as large.
host::FontRequest requestOf(const LOGFONTA &lf, int scale)
{
    host::FontRequest request;
    request.faceUtf8 = host::utf8FromCp932(lf.lfFaceName);
    request.height = lf.lfHeight * scale;
    request.weight = lf.lfWeight;
    request.italic = lf.lfItalic != 0;
    request.underline = lf.lfUnderline != 0;
    request.strikeOut = lf.lfStrikeOut != 0;
    request.charSet = lf.lfCharSet;
    request.pitchAndFamily = lf.lfPitchAndFamily;
    request.quality = lf.lfQuality;
    return request;
}

host::FontFace &faceOf(DeviceContext &dc)
{
    Font &font = fontOf(dc);
    if (!font.face)
        font.face = host::FontFace::open(requestOf(font.logFont, 1));
    return *font.face;
}

// Text drawn once more into a window's device copy (Surface::device): the
// cells keep their places, `scale` times as far apart, and the glyphs come
// from the font at `scale` times its height, so the text is sharp. Only
// opaque text: its cells cover whatever the copy showed there.
void drawAtDeviceScale(Surface &device, int scale, DeviceContext &dc, const RECT &textBox,
                       int baseline, const std::vector<TextUnit> &units,
                       const std::vector<int> &advances)
{
    const RECT box{std::max<LONG>(textBox.left * scale, 0), std::max<LONG>(textBox.top * scale, 0),
                   std::min<LONG>(textBox.right * scale, device.width()),
                   std::min<LONG>(textBox.bottom * scale, device.height())};
    if (isEmptyRect(box))
        return;
    const uint32_t background = pixelFromColor(dc.backgroundColor);
    for (LONG y = box.top; y < box.bottom; ++y)
        std::fill(device.row(y) + box.left, device.row(y) + box.right, background);
    std::shared_ptr<host::FontFace> face =
        host::FontFace::open(requestOf(fontOf(dc).logFont, scale));
    int penX = textBox.left;
    for (size_t i = 0; i < units.size(); ++i) {
        blendGlyph(device, penX * scale, baseline * scale, face->glyph(units[i].character),
                   dc.textColor, box, false);
        penX += advances[i];
    }
}

// The advance of each unit, in pixels.
std::vector<int> advancesOf(host::FontFace &face, const std::vector<TextUnit> &units)
{
    const host::FontMetrics &metrics = face.metrics();
    std::vector<int> advances;
    advances.reserve(units.size());
    for (const TextUnit &unit : units) {
        if (metrics.fixedPitch)
            advances.push_back(metrics.halfWidthAdvance * (unit.doubleWidth ? 2 : 1));
        else
            advances.push_back(face.glyph(unit.character).advance);
    }
    return advances;
}

Brush *brushOf(DeviceContext &dc) { return table().findAs<Brush>(dc.brush, ObjectKind::Brush); }
Pen *penOf(DeviceContext &dc) { return table().findAs<Pen>(dc.pen, ObjectKind::Pen); }

BlitColors blitColors(DeviceContext &destination, DeviceContext &source, bool sourceMonochrome)
{
    BlitColors colors;
    colors.sourceMonochrome = sourceMonochrome;
    colors.sourceBackground = source.backgroundColor;
    colors.destinationText = destination.textColor;
    colors.destinationBackground = destination.backgroundColor;
    return colors;
}

// Raster operations that do not read a source.
bool patternFill(DeviceContext &dc, int x, int y, int width, int height, DWORD rop)
{
    RECT area{width >= 0 ? x : x + width + 1, height >= 0 ? y : y + height + 1, 0, 0};
    area.right = area.left + (width >= 0 ? width : -width);
    area.bottom = area.top + (height >= 0 ? height : -height);
    DrawTarget target(dc);
    switch (rop) {
    case BLACKNESS:
        fillSolid(target, area, RGB(0, 0, 0));
        return true;
    case WHITENESS:
        fillSolid(target, area, RGB(255, 255, 255));
        return true;
    case PATCOPY:
        if (Brush *brush = brushOf(dc))
            fillWithBrush(target, area, *brush, dc);
        return true;
    case DSTINVERT: {
        Surface &surface = target.surface();
        RECT r{std::max<LONG>(area.left, 0), std::max<LONG>(area.top, 0),
               std::min<LONG>(area.right, surface.width()),
               std::min<LONG>(area.bottom, surface.height())};
        for (LONG py = r.top; py < r.bottom; ++py)
            for (LONG px = r.left; px < r.right; ++px)
                surface.row(py)[px] ^= 0xFFFFFF;
        target.touched(r);
        return true;
    }
    default:
        SetLastError(ERROR_INVALID_PARAMETER);
        return false;
    }
}

bool usesSource(DWORD rop) { return ((rop >> 2) & 0x330000) != (rop & 0x330000); }

}  // namespace

bool drawArgbPicture(HDC handle, int x, int y, int width, int height, const uint32_t *argb,
                     int pictureWidth, int pictureHeight, HBRUSH background)
{
    DeviceContext *dc = findDcOrFail(handle);
    if (!dc || !argb || pictureWidth <= 0 || pictureHeight <= 0)
        return false;
    if (width <= 0 || height <= 0)
        return true;
    DrawTarget target(*dc);
    Surface &surface = target.surface();
    Brush *brush = table().findAs<Brush>(background, ObjectKind::Brush);
    if (brush)
        fillWithBrush(target, RECT{x, y, x + width, y + height}, *brush, *dc);
    const RECT r{std::max(x, 0), std::max(y, 0), std::min(x + width, surface.width()),
                 std::min(y + height, surface.height())};
    if (isEmptyRect(r))
        return true;
    for (LONG py = r.top; py < r.bottom; ++py) {
        const int sy = static_cast<int>((int64_t(2 * (py - y) + 1) * pictureHeight) / (2 * int64_t(height)));
        uint32_t *row = surface.row(py);
        for (LONG px = r.left; px < r.right; ++px) {
            const int sx = static_cast<int>((int64_t(2 * (px - x) + 1) * pictureWidth) / (2 * int64_t(width)));
            const uint32_t p = argb[static_cast<size_t>(sy) * pictureWidth + sx];
            const uint32_t a = p >> 24;
            if (a == 0)
                continue;
            if (a == 255) {
                row[px] = p & 0xFFFFFF;
                continue;
            }
            const uint32_t old = row[px];
            auto mix = [a](uint32_t s, uint32_t d) { return (s * a + d * (255 - a) + 127) / 255; };
            row[px] = (mix((p >> 16) & 0xFF, (old >> 16) & 0xFF) << 16) |
                      (mix((p >> 8) & 0xFF, (old >> 8) & 0xFF) << 8) | mix(p & 0xFF, old & 0xFF);
        }
    }
    if (target.isMonochrome())
        for (LONG py = r.top; py < r.bottom; ++py)
            for (LONG px = r.left; px < r.right; ++px)
                surface.row(py)[px] = monochromePixel(surface.row(py)[px]);
    target.touched(r);
    return true;
}

}  // namespace hp::gdi32

using namespace hp::gdi32;

extern "C" {

BOOL WINAPI Rectangle(HDC handle, int left, int top, int right, int bottom)
{
    DeviceContext *dc = findDcOrFail(handle);
    if (!dc)
        return FALSE;
    if (left > right)
        std::swap(left, right);
    if (top > bottom)
        std::swap(top, bottom);
    if (left == right || top == bottom)
        return TRUE;  // nothing to draw

    Pen *pen = penOf(*dc);
    Brush *brush = brushOf(*dc);
    const bool outlined = pen && pen->draws();
    int penWidth = outlined ? std::max(pen->width, 1) : 0;
    DrawTarget target(*dc);
    if (outlined && pen->style == PS_INSIDEFRAME && penWidth > 1) {
        // Inside-frame pens keep their whole width within the bounds.
        left += penWidth / 2;
        top += penWidth / 2;
        right -= (penWidth - 1) / 2;
        bottom -= (penWidth - 1) / 2;
    }
    // The last column and row that the rectangle covers.
    const int innerLastX = right - 1;
    const int innerLastY = bottom - 1;
    if (brush) {
        // The interior: inside the outline; with no pen, the rectangle less
        // its last column and row.
        RECT interior{left + (penWidth + 1) / 2, top + (penWidth + 1) / 2,
                      innerLastX - penWidth / 2, innerLastY - penWidth / 2};
        fillWithBrush(target, interior, *brush, *dc);
    }
    if (outlined) {
        // The outline is centred on the lines through the corner pixels.
        const int before = (penWidth - 1) / 2;
        const int after = penWidth / 2;
        const COLORREF color = pen->color;
        fillSolid(target, RECT{left - before, top - before, innerLastX + after + 1, top + after + 1},
                  color);
        fillSolid(target,
                  RECT{left - before, innerLastY - before, innerLastX + after + 1,
                       innerLastY + after + 1},
                  color);
        fillSolid(target, RECT{left - before, top - before, left + after + 1, innerLastY + after + 1},
                  color);
        fillSolid(target,
                  RECT{innerLastX - before, top - before, innerLastX + after + 1,
                       innerLastY + after + 1},
                  color);
    }
    return TRUE;
}

int WINAPI FillRect(HDC handle, const RECT *rect, HBRUSH brushHandle)
{
    DeviceContext *dc = findDcOrFail(handle);
    if (!dc)
        return 0;
    if (!rect) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    COLORREF systemColor = 0;
    if (systemColorBrush(brushHandle, systemColor)) {
        DrawTarget target(*dc);
        fillSolid(target, *rect, systemColor);
        return 1;
    }
    Brush *brush = table().findAs<Brush>(brushHandle, ObjectKind::Brush);
    if (!brush) {
        SetLastError(ERROR_INVALID_HANDLE);
        return 0;
    }
    DrawTarget target(*dc);
    fillWithBrush(target, *rect, *brush, *dc);
    return 1;
}

COLORREF WINAPI SetPixel(HDC handle, int x, int y, COLORREF color)
{
    DeviceContext *dc = findDcOrFail(handle);
    if (!dc)
        return CLR_INVALID;
    DrawTarget target(*dc);
    Surface &surface = target.surface();
    if (x < 0 || y < 0 || x >= surface.width() || y >= surface.height())
        return CLR_INVALID;
    uint32_t pixel = pixelFromColor(color);
    if (target.isMonochrome())
        pixel = monochromePixel(pixel);
    surface.row(y)[x] = pixel;
    target.touched(RECT{x, y, x + 1, y + 1});
    return colorFromPixel(pixel);
}

COLORREF WINAPI GetPixel(HDC handle, int x, int y)
{
    DeviceContext *dc = findDcOrFail(handle);
    if (!dc)
        return CLR_INVALID;
    const Surface &surface = readablePixels(*dc);
    if (x < 0 || y < 0 || x >= surface.width() || y >= surface.height())
        return CLR_INVALID;
    return colorFromPixel(surface.at(x, y));
}

BOOL WINAPI StretchBlt(HDC destinationHandle, int x, int y, int width, int height,
                       HDC sourceHandle, int sourceX, int sourceY, int sourceWidth,
                       int sourceHeight, DWORD rop)
{
    DeviceContext *destination = findDcOrFail(destinationHandle);
    if (!destination)
        return FALSE;
    if (!usesSource(rop))
        return patternFill(*destination, x, y, width, height, rop) ? TRUE : FALSE;
    if (rop != SRCCOPY) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    DeviceContext *source = findDcOrFail(sourceHandle);
    if (!source)
        return FALSE;
    bool sourceMonochrome = false;
    const Surface &pixels = readablePixels(*source, &sourceMonochrome);
    const BlitColors colors = blitColors(*destination, *source, sourceMonochrome);
    DrawTarget target(*destination);
    stretchCopy(target, x, y, width, height, pixels, sourceX, sourceY, sourceWidth, sourceHeight,
                colors);
    return TRUE;
}

BOOL WINAPI BitBlt(HDC destination, int x, int y, int width, int height, HDC source, int sourceX,
                   int sourceY, DWORD rop)
{
    return StretchBlt(destination, x, y, width, height, source, sourceX, sourceY, width, height,
                      rop);
}

BOOL WINAPI TextOutA(HDC handle, int x, int y, LPCSTR text, int count)
{
    DeviceContext *dc = findDcOrFail(handle);
    if (!dc)
        return FALSE;
    if (count < 0 || (count > 0 && !text)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    if (count == 0)
        return TRUE;
    hp::host::FontFace &face = faceOf(*dc);
    const hp::host::FontMetrics &metrics = face.metrics();
    const std::vector<TextUnit> units = splitText(text, count);
    const std::vector<int> advances = advancesOf(face, units);
    int total = 0;
    for (int advance : advances)
        total += advance;

    DrawTarget target(*dc);
    // The text owns its cells and nothing else: ink that a face draws past
    // its advance (the tail of a Mincho "y") would otherwise stay behind
    // when the line is drawn again, since a redraw repaints only the cells.
    const RECT textBox{x, y, x + total, y + metrics.height};
    if (dc->backgroundMode == OPAQUE)
        fillSolid(target, textBox, dc->backgroundColor);
    const int baseline = y + metrics.ascent;
    int penX = x;
    for (size_t i = 0; i < units.size(); ++i) {
        const hp::host::GlyphMask &glyph = face.glyph(units[i].character);
        compositeGlyph(target, penX, baseline, glyph, dc->textColor, textBox);
        penX += advances[i];
    }
    if (Surface *device = target.surface().device(); device && dc->backgroundMode == OPAQUE)
        drawAtDeviceScale(*device, target.surface().deviceScale(), *dc, textBox, baseline, units,
                          advances);
    // Underline and strike-out: one-pixel lines through the whole run.
    if (Font *font = table().findAs<Font>(dc->font, ObjectKind::Font)) {
        const int thickness = std::max(1, metrics.height / 17);
        if (font->logFont.lfUnderline)
            fillSolid(target, RECT{x, baseline + 1, x + total, baseline + 1 + thickness},
                      dc->textColor);
        if (font->logFont.lfStrikeOut) {
            const int strikeY = baseline - metrics.ascent / 3;
            fillSolid(target, RECT{x, strikeY, x + total, strikeY + thickness}, dc->textColor);
        }
    }
    return TRUE;
}

BOOL WINAPI GetTextExtentPoint32A(HDC handle, LPCSTR text, int count, LPSIZE size)
{
    DeviceContext *dc = findDcOrFail(handle);
    if (!dc)
        return FALSE;
    if (count < 0 || !size || (count > 0 && !text)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    hp::host::FontFace &face = faceOf(*dc);
    int total = 0;
    for (int advance : advancesOf(face, splitText(text, count)))
        total += advance;
    size->cx = total;
    size->cy = face.metrics().height;
    return TRUE;
}

BOOL WINAPI GetTextMetricsA(HDC handle, LPTEXTMETRICA metrics)
{
    DeviceContext *dc = findDcOrFail(handle);
    if (!dc)
        return FALSE;
    if (!metrics) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    Font *font = table().findAs<Font>(dc->font, ObjectKind::Font);
    const hp::host::FontMetrics &m = faceOf(*dc).metrics();
    *metrics = TEXTMETRICA{};
    metrics->tmHeight = m.height;
    metrics->tmAscent = m.ascent;
    metrics->tmDescent = m.descent;
    metrics->tmInternalLeading = m.internalLeading;
    metrics->tmExternalLeading = 0;
    metrics->tmAveCharWidth = m.averageCharWidth;
    metrics->tmMaxCharWidth = m.maxCharWidth;
    metrics->tmWeight = m.weight;
    metrics->tmOverhang = 0;
    metrics->tmDigitizedAspectX = 96;
    metrics->tmDigitizedAspectY = 96;
    metrics->tmFirstChar = 0x20;
    metrics->tmLastChar = 0xFC;
    metrics->tmDefaultChar = 0x1F;
    metrics->tmBreakChar = 0x20;
    metrics->tmItalic = font ? font->logFont.lfItalic : 0;
    metrics->tmUnderlined = font ? font->logFont.lfUnderline : 0;
    metrics->tmStruckOut = font ? font->logFont.lfStrikeOut : 0;
    // TMPF_FIXED_PITCH is set for variable pitch fonts (the platform's
    // famously inverted bit); TMPF_VECTOR | TMPF_TRUETYPE for outlines.
    metrics->tmPitchAndFamily = static_cast<BYTE>((m.fixedPitch ? 0 : 0x01) | 0x02 | 0x04 |
                                                  (font ? (font->logFont.lfPitchAndFamily & 0xF0) : 0));
    metrics->tmCharSet = font ? font->logFont.lfCharSet : SHIFTJIS_CHARSET;
    return TRUE;
}

}  // extern "C"
