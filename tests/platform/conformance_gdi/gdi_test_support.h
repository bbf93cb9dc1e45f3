// Helpers of the GDI conformance tests: memory contexts over 24-bit DIB
// sections, read back with GetPixel.
#pragma once

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "platform/win32.h"
#include "tests/platform/known_difference.h"

namespace gdi_test {

using conformance::runningUnderWine;

// A memory context with a width x height 24-bit DIB section selected, all
// pixels set to `fill`.
class Canvas {
public:
    Canvas(int width, int height, COLORREF fill = RGB(255, 255, 255))
        : width_(width), height_(height)
    {
        BITMAPINFO info{};
        info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
        info.bmiHeader.biWidth = width;
        info.bmiHeader.biHeight = height;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 24;
        info.bmiHeader.biCompression = BI_RGB;
        dc_ = CreateCompatibleDC(nullptr);
        bitmap_ = CreateDIBSection(dc_, &info, DIB_RGB_COLORS, &bits_, nullptr, 0);
        previous_ = SelectObject(dc_, bitmap_);
        HBRUSH brush = CreateSolidBrush(fill);
        RECT all{0, 0, width, height};
        FillRect(dc_, &all, brush);
        DeleteObject(brush);
    }
    ~Canvas()
    {
        SelectObject(dc_, previous_);
        DeleteObject(bitmap_);
        DeleteDC(dc_);
    }
    Canvas(const Canvas &) = delete;
    Canvas &operator=(const Canvas &) = delete;

    HDC dc() const { return dc_; }
    HBITMAP bitmap() const { return bitmap_; }
    void *bits() const { return bits_; }
    int width() const { return width_; }
    int height() const { return height_; }
    COLORREF at(int x, int y) const { return GetPixel(dc_, x, y); }

    // The pixels of the rectangle [left, right) x [top, bottom) that differ
    // from color.
    int countOtherThan(COLORREF color, int left, int top, int right, int bottom) const
    {
        int count = 0;
        for (int y = top; y < bottom; ++y)
            for (int x = left; x < right; ++x)
                if (at(x, y) != color)
                    ++count;
        return count;
    }
    int countOf(COLORREF color, int left, int top, int right, int bottom) const
    {
        return (right - left) * (bottom - top) - countOtherThan(color, left, top, right, bottom);
    }

private:
    int width_;
    int height_;
    HDC dc_ = nullptr;
    HBITMAP bitmap_ = nullptr;
    HGDIOBJ previous_ = nullptr;
    void *bits_ = nullptr;
};

// Writes a bottom-up 24-bit BMP file whose pixel (x, y) has the colour
// pixel(x, y); returns its path (a relative name in the working folder).
template <typename PixelFunction>
std::string writeBmp24(const char *name, int width, int height, PixelFunction pixel)
{
    const int stride = ((width * 3 + 3) / 4) * 4;
    std::vector<unsigned char> file(54 + static_cast<size_t>(stride) * height, 0);
    auto put16 = [&](size_t at, unsigned v) {
        file[at] = static_cast<unsigned char>(v);
        file[at + 1] = static_cast<unsigned char>(v >> 8);
    };
    auto put32 = [&](size_t at, unsigned v) {
        put16(at, v & 0xFFFF);
        put16(at + 2, v >> 16);
    };
    file[0] = 'B';
    file[1] = 'M';
    put32(2, static_cast<unsigned>(file.size()));
    put32(10, 54);
    put32(14, 40);
    put32(18, static_cast<unsigned>(width));
    put32(22, static_cast<unsigned>(height));
    put16(26, 1);
    put16(28, 24);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            COLORREF c = pixel(x, y);
            size_t at = 54 + static_cast<size_t>(height - 1 - y) * stride + 3 * x;
            file[at] = GetBValue(c);
            file[at + 1] = GetGValue(c);
            file[at + 2] = GetRValue(c);
        }
    FILE *out = std::fopen(name, "wb");
    if (out) {
        std::fwrite(file.data(), 1, file.size(), out);
        std::fclose(out);
    }
    return name;
}

}  // namespace gdi_test
