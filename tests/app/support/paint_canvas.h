// Where the paint tests look: a memory context the size of the main window
// over a DIB section, and the skin's sprite sheet read straight from its
// file, so that what a paint step drew can be compared with the picture it
// was meant to cut out.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/win32.h"

namespace hp::apptest {

constexpr int panelWidth = 632;
constexpr int panelHeight = 500;

// Colours as 0xRRGGBB.
constexpr uint32_t rgbOf(COLORREF colour)
{
    return (static_cast<uint32_t>(GetRValue(colour)) << 16) |
           (static_cast<uint32_t>(GetGValue(colour)) << 8) | GetBValue(colour);
}

class PaintCanvas {
public:
    explicit PaintCanvas(COLORREF fill = RGB(0, 0, 0));
    ~PaintCanvas();
    PaintCanvas(const PaintCanvas &) = delete;
    PaintCanvas &operator=(const PaintCanvas &) = delete;

    HDC dc() const { return dc_; }
    // What has been drawn so far; the first read takes a copy, so draw
    // everything before reading.
    uint32_t pixel(int x, int y) const;  // 0xRRGGBB
    // True when the rectangle [left, left + width) x [top, top + height)
    // shows the same pixels here and on the other canvas.
    bool sameArea(const PaintCanvas &other, int left, int top, int width, int height) const;

private:
    void capture() const;

    // Drawing goes to a screen-compatible bitmap: the layer converts a DIB
    // section's whole surface on every drawing call, which would make the
    // paint tests crawl. Reads come from one copy into a DIB section.
    HDC dc_ = nullptr;
    HBITMAP bitmap_ = nullptr;
    HGDIOBJ previous_ = nullptr;
    mutable HDC copyDc_ = nullptr;
    mutable HBITMAP copyBitmap_ = nullptr;
    mutable HGDIOBJ copyPrevious_ = nullptr;
    mutable void *bits_ = nullptr;
};

// A 24-bit uncompressed BMP file, read by the test itself.
class BitmapPicture {
public:
    // False when the file is missing or not of that kind.
    bool load(const std::string &path);
    int width() const { return width_; }
    int height() const { return height_; }
    uint32_t pixel(int x, int y) const;  // from the top-left corner, 0xRRGGBB

private:
    int width_ = 0;
    int height_ = 0;
    std::vector<uint32_t> pixels_;
};

// image/parts.bmp and image/swbase1.bmp of the source tree.
const BitmapPicture &spriteSheet();
const BitmapPicture &skinBackground();

// The first pixel of a drawn area that differs from the sheet's source area,
// as text ("" when they agree).
std::string compareWithSheet(const PaintCanvas &canvas, int destX, int destY, int srcX,
                             int srcY, int width, int height);

}  // namespace hp::apptest
