// Pixels that GDI draws into: a window's backing surface or a bitmap.
//
// Every window keeps one Surface the size of its client area; GetDC and
// BeginPaint hand out device contexts that draw straight into it, and the
// display backend shows the damaged part on screen (the GTK backend wraps
// the same memory in a cairo image surface, so the format is cairo's
// CAIRO_FORMAT_RGB24: 32 bits per pixel, 0x00RRGGBB in native byte order,
// rows top-down, stride = width * 4). Nothing is ever drawn anywhere else,
// so the screen always shows what the program drew and a repaint never
// flickers.
//
// Threading: GUI thread only.
#pragma once

#include <algorithm>
#include <cstdint>
#include <memory>
#include <vector>

#include "platform/win32.h"

namespace hp::gdi32 {

class Surface {
public:
    Surface(int width, int height);
    // Copies take the device copy along.
    Surface(const Surface &other);
    Surface &operator=(const Surface &other);

    int width() const { return width_; }
    int height() const { return height_; }
    int stride() const { return width_ * 4; }
    uint32_t *pixels() { return pixels_.data(); }
    const uint32_t *pixels() const { return pixels_.data(); }
    uint32_t *row(int y) { return pixels_.data() + static_cast<size_t>(y) * width_; }

    // Pixel as 0x00RRGGBB; x and y must be inside.
    uint32_t at(int x, int y) const { return pixels_[static_cast<size_t>(y) * width_ + x]; }

    // Changes the size; the new area is black, the old pixels stay where
    // they overlap.
    void resize(int width, int height);

    // The parts drawn since the last takeDamage(): a short list of
    // rectangles that together cover every pixel drawn (empty when nothing
    // was). Drawing calls add to it. Scattered small drawings stay separate,
    // so that the screen copies a few small rectangles rather than the box
    // around them; rectangles whose union would waste little are merged,
    // and the list never grows beyond maxDamageRectangles.
    static constexpr size_t maxDamageRectangles = 8;
    void addDamage(const RECT &area);
    std::vector<RECT> takeDamage();
    bool hasDamage() const { return !damage_.empty(); }

    // High-density screens. At a device scale above 1 a window's surface
    // keeps a second copy of its pixels, `scale` times as wide and high,
    // which the screen shows pixel for pixel. Whatever is drawn (reported
    // as damage) is copied there by nearest neighbour, each pixel a block of
    // scale x scale, so bitmaps are scaled without blur; text drawing then
    // draws its text there again at the device scale, so that it is sharp.
    // The program keeps seeing and reading the surface at its own size.
    // Scale 1 keeps no copy.
    void setDeviceScale(int scale);
    int deviceScale() const { return scale_; }
    Surface *device() { return device_.get(); }

private:
    void copyToDevice(const RECT &area);

    int width_ = 0;
    int height_ = 0;
    std::vector<uint32_t> pixels_;
    std::vector<RECT> damage_;
    std::unique_ptr<Surface> device_;
    int scale_ = 1;
};

// COLORREF (0x00BBGGRR) <-> surface pixel (0x00RRGGBB).
constexpr uint32_t pixelFromColor(COLORREF color)
{
    return ((color & 0xFF) << 16) | (color & 0xFF00) | ((color >> 16) & 0xFF);
}
constexpr COLORREF colorFromPixel(uint32_t pixel)
{
    return ((pixel >> 16) & 0xFF) | (pixel & 0xFF00) | ((pixel & 0xFF) << 16);
}

// A device context that draws into a window's surface, as GetDC and
// BeginPaint return it: default pen, brush, font and colours, opaque
// background mode. The window code (user32) creates and releases these; the
// surface outlives the context.
HDC createWindowDc(HWND window, std::shared_ptr<Surface> surface);
void releaseWindowDc(HDC dc);

// The window a context draws into, or null for memory contexts.
HWND windowOfDc(HDC dc);

// Number of live GDI objects (pens, brushes, fonts, bitmaps, contexts),
// as GetGuiResources(GR_GDIOBJECTS) reports them.
DWORD liveGdiObjectCount();

}  // namespace hp::gdi32
