#include "platform/gdi32/raster.h"

#include <algorithm>
#include <vector>

#include "platform/gdi32/rectangles.h"
#include "platform/host/font_face.h"

namespace hp::gdi32 {

namespace {

RECT clipToSurface(const RECT &area, const Surface &surface)
{
    return RECT{std::max<LONG>(area.left, 0), std::max<LONG>(area.top, 0),
                std::min<LONG>(area.right, surface.width()),
                std::min<LONG>(area.bottom, surface.height())};
}

// Floor modulo for pattern tiling.
int wrap(int value, int period)
{
    int m = value % period;
    return m < 0 ? m + period : m;
}

// The source pixel index for destination index i of n, over m source pixels:
// the centre of the destination pixel, mapped back.
int nearestSource(int i, int n, int m)
{
    return static_cast<int>((static_cast<int64_t>(2 * i + 1) * m) / (2 * static_cast<int64_t>(n)));
}

}  // namespace

uint32_t monochromePixel(uint32_t pixel)
{
    const int sum = int((pixel >> 16) & 0xFF) + int((pixel >> 8) & 0xFF) + int(pixel & 0xFF);
    return sum >= 3 * 128 ? 0xFFFFFF : 0x000000;
}

void fillSolid(DrawTarget &target, const RECT &area, COLORREF color)
{
    Surface &surface = target.surface();
    const RECT r = clipToSurface(area, surface);
    if (isEmptyRect(r))
        return;
    uint32_t pixel = pixelFromColor(color);
    if (target.isMonochrome())
        pixel = monochromePixel(pixel);
    for (LONG y = r.top; y < r.bottom; ++y)
        std::fill(surface.row(y) + r.left, surface.row(y) + r.right, pixel);
    target.touched(r);
}

void fillWithBrush(DrawTarget &target, const RECT &area, const Brush &brush,
                   const DeviceContext &dc)
{
    if (brush.style == BS_NULL)
        return;
    if (brush.style != BS_PATTERN || !brush.pattern || brush.pattern->width() <= 0 ||
        brush.pattern->height() <= 0) {
        fillSolid(target, area, brush.color);
        return;
    }
    Surface &surface = target.surface();
    const RECT r = clipToSurface(area, surface);
    if (isEmptyRect(r))
        return;
    const Surface &pattern = *brush.pattern;
    const uint32_t textPixel = pixelFromColor(dc.textColor);
    const uint32_t backgroundPixel = pixelFromColor(dc.backgroundColor);
    const bool monochrome = target.isMonochrome();
    for (LONG y = r.top; y < r.bottom; ++y) {
        const uint32_t *patternRow = pattern.pixels() +
                                     static_cast<size_t>(wrap(y - dc.brushOrigin.y, pattern.height())) *
                                         pattern.width();
        uint32_t *row = surface.row(y);
        int px = wrap(r.left - dc.brushOrigin.x, pattern.width());
        for (LONG x = r.left; x < r.right; ++x) {
            uint32_t pixel = patternRow[px];
            if (brush.patternIsMonochrome)
                pixel = pixel ? backgroundPixel : textPixel;
            row[x] = monochrome ? monochromePixel(pixel) : pixel;
            if (++px == pattern.width())
                px = 0;
        }
    }
    target.touched(r);
}

void stretchCopy(DrawTarget &target, int x, int y, int width, int height, const Surface &source,
                 int sourceX, int sourceY, int sourceWidth, int sourceHeight,
                 const BlitColors &colors)
{
    if (!width || !height || !sourceWidth || !sourceHeight)
        return;
    Surface &surface = target.surface();

    // Spans: a negative extent covers x + width + 1 .. x.
    const int left = width > 0 ? x : x + width + 1;
    const int top = height > 0 ? y : y + height + 1;
    const int columns = width > 0 ? width : -width;
    const int rows = height > 0 ? height : -height;
    const int sourceLeft = sourceWidth > 0 ? sourceX : sourceX + sourceWidth + 1;
    const int sourceTop = sourceHeight > 0 ? sourceY : sourceY + sourceHeight + 1;
    const int sourceColumns = sourceWidth > 0 ? sourceWidth : -sourceWidth;
    const int sourceRows = sourceHeight > 0 ? sourceHeight : -sourceHeight;
    const bool mirrorX = (width > 0) != (sourceWidth > 0);
    const bool mirrorY = (height > 0) != (sourceHeight > 0);

    const RECT clipped = clipToSurface(
        RECT{left, top, left + columns, top + rows}, surface);
    if (isEmptyRect(clipped))
        return;

    // A copy within one surface reads from a snapshot, so that overlapping
    // areas copy as if all at once.
    std::vector<uint32_t> snapshot;
    const uint32_t *sourcePixels = source.pixels();
    if (&source == &surface) {
        snapshot.assign(source.pixels(), source.pixels() + size_t(source.width()) * source.height());
        sourcePixels = snapshot.data();
    }

    const uint32_t sourceBackground = pixelFromColor(colors.sourceBackground);
    const uint32_t textPixel = pixelFromColor(colors.destinationText);
    const uint32_t backgroundPixel = pixelFromColor(colors.destinationBackground);
    const bool toMonochrome = target.isMonochrome() && !colors.sourceMonochrome;
    const bool fromMonochrome = colors.sourceMonochrome && !target.isMonochrome();

    // The common case, a sprite: same size, same orientation, same format.
    // Rows are copied whole, with the same rule for source pixels outside
    // the source surface.
    if (columns == sourceColumns && rows == sourceRows && !mirrorX && !mirrorY &&
        !toMonochrome && !fromMonochrome) {
        const LONG firstColumn = std::max<LONG>(clipped.left, left - sourceLeft);
        const LONG endColumn = std::min<LONG>(clipped.right, left - sourceLeft + source.width());
        if (firstColumn >= endColumn)
            return;
        RECT written{firstColumn, clipped.bottom, endColumn, clipped.top};
        for (LONG dy = clipped.top; dy < clipped.bottom; ++dy) {
            const int sy = sourceTop + (dy - top);
            if (sy < 0 || sy >= source.height())
                continue;
            const uint32_t *sourceRow = sourcePixels + static_cast<size_t>(sy) * source.width();
            std::copy_n(sourceRow + sourceLeft + (firstColumn - left), endColumn - firstColumn,
                        surface.row(dy) + firstColumn);
            written.top = std::min(written.top, dy);
            written.bottom = std::max<LONG>(written.bottom, dy + 1);
        }
        if (written.top < written.bottom)
            target.touched(written);
        return;
    }

    // Source column of each destination column.
    std::vector<int> sourceColumnOf(static_cast<size_t>(clipped.right - clipped.left));
    for (LONG dx = clipped.left; dx < clipped.right; ++dx) {
        int k = dx - left;
        int j = columns == sourceColumns ? k : nearestSource(k, columns, sourceColumns);
        if (mirrorX)
            j = sourceColumns - 1 - j;
        sourceColumnOf[dx - clipped.left] = sourceLeft + j;
    }

    bool wrote = false;
    RECT written{clipped.right, clipped.bottom, clipped.left, clipped.top};
    for (LONG dy = clipped.top; dy < clipped.bottom; ++dy) {
        int k = dy - top;
        int j = rows == sourceRows ? k : nearestSource(k, rows, sourceRows);
        if (mirrorY)
            j = sourceRows - 1 - j;
        const int sy = sourceTop + j;
        if (sy < 0 || sy >= source.height())
            continue;
        const uint32_t *sourceRow = sourcePixels + static_cast<size_t>(sy) * source.width();
        uint32_t *row = surface.row(dy);
        for (LONG dx = clipped.left; dx < clipped.right; ++dx) {
            const int sx = sourceColumnOf[dx - clipped.left];
            if (sx < 0 || sx >= source.width())
                continue;
            uint32_t pixel = sourceRow[sx];
            if (toMonochrome)
                pixel = pixel == sourceBackground ? 0xFFFFFF : 0x000000;
            else if (fromMonochrome)
                pixel = pixel ? backgroundPixel : textPixel;
            row[dx] = pixel;
            wrote = true;
            written.left = std::min(written.left, dx);
            written.right = std::max<LONG>(written.right, dx + 1);
            written.top = std::min(written.top, dy);
            written.bottom = std::max<LONG>(written.bottom, dy + 1);
        }
    }
    if (wrote)
        target.touched(written);
}

RECT blendGlyph(Surface &surface, int x, int y, const host::GlyphMask &glyph, COLORREF color,
                const RECT &clip, bool monochrome)
{
    if (glyph.width <= 0 || glyph.height <= 0)
        return RECT{};
    const int left = x + glyph.left;
    const int top = y + glyph.top;
    RECT r = clipToSurface(RECT{left, top, left + glyph.width, top + glyph.height}, surface);
    r.left = std::max(r.left, clip.left);
    r.top = std::max(r.top, clip.top);
    r.right = std::min(r.right, clip.right);
    r.bottom = std::min(r.bottom, clip.bottom);
    if (isEmptyRect(r))
        return RECT{};
    uint32_t textPixel = pixelFromColor(color);
    if (monochrome)
        textPixel = monochromePixel(textPixel);
    const uint32_t tr = (textPixel >> 16) & 0xFF, tg = (textPixel >> 8) & 0xFF, tb = textPixel & 0xFF;
    for (LONG py = r.top; py < r.bottom; ++py) {
        const uint8_t *coverage = glyph.coverage.data() + static_cast<size_t>(py - top) * glyph.width;
        uint32_t *row = surface.row(py);
        for (LONG px = r.left; px < r.right; ++px) {
            const uint32_t a = coverage[px - left];
            if (!a)
                continue;
            if (a == 255 || monochrome) {
                if (a >= 128 || !monochrome)
                    row[px] = textPixel;
                continue;
            }
            const uint32_t old = row[px];
            const uint32_t r8 = (tr * a + ((old >> 16) & 0xFF) * (255 - a) + 127) / 255;
            const uint32_t g8 = (tg * a + ((old >> 8) & 0xFF) * (255 - a) + 127) / 255;
            const uint32_t b8 = (tb * a + (old & 0xFF) * (255 - a) + 127) / 255;
            row[px] = (r8 << 16) | (g8 << 8) | b8;
        }
    }
    return r;
}

void compositeGlyph(DrawTarget &target, int x, int y, const host::GlyphMask &glyph,
                    COLORREF color, const RECT &clip)
{
    target.touched(
        blendGlyph(target.surface(), x, y, glyph, color, clip, target.isMonochrome()));
}

}  // namespace hp::gdi32
