#include "tools/skin/raster.h"

#include <cmath>

namespace hp::skin {

namespace {

uint8_t mixChannel(uint8_t under, uint8_t over, double opacity)
{
    const double value = under + (over - under) * opacity;
    const long rounded = std::lround(value);
    return static_cast<uint8_t>(rounded < 0 ? 0 : (rounded > 255 ? 255 : rounded));
}

} // namespace

Raster::Raster(int width, int height, Rgba fill)
    : width_(width), height_(height), pixels_(static_cast<size_t>(width) * height, fill)
{
}

Rgba Raster::at(int x, int y) const
{
    if (!contains(x, y))
        return Rgba{0, 0, 0, 0};
    return pixels_[static_cast<size_t>(y) * width_ + x];
}

void Raster::set(int x, int y, Rgba color)
{
    if (!contains(x, y))
        return;
    pixels_[static_cast<size_t>(y) * width_ + x] = color;
}

void Raster::blend(int x, int y, Rgba color, double opacity)
{
    if (!contains(x, y) || opacity <= 0.0)
        return;
    if (opacity > 1.0)
        opacity = 1.0;
    Rgba& pixel = pixels_[static_cast<size_t>(y) * width_ + x];
    if (pixel.alpha == 255) {
        pixel.red = mixChannel(pixel.red, color.red, opacity);
        pixel.green = mixChannel(pixel.green, color.green, opacity);
        pixel.blue = mixChannel(pixel.blue, color.blue, opacity);
        return;
    }
    // Over a partly transparent pixel (icons): straight-alpha "over".
    const double underAlpha = pixel.alpha / 255.0;
    const double outAlpha = opacity + underAlpha * (1.0 - opacity);
    if (outAlpha <= 0.0)
        return;
    auto over = [&](uint8_t under, uint8_t paint) {
        const double value = (paint * opacity + under * underAlpha * (1.0 - opacity)) / outAlpha;
        return mixChannel(0, 255, value / 255.0);
    };
    pixel.red = over(pixel.red, color.red);
    pixel.green = over(pixel.green, color.green);
    pixel.blue = over(pixel.blue, color.blue);
    pixel.alpha = mixChannel(0, 255, outAlpha);
}

void Raster::fillRect(int left, int top, int width, int height, Rgba color)
{
    for (int y = top; y < top + height; ++y)
        for (int x = left; x < left + width; ++x)
            set(x, y, color);
}

void Raster::copyFrom(const Raster& source, int sourceX, int sourceY, int width, int height,
                      int destX, int destY)
{
    for (int row = 0; row < height; ++row)
        for (int column = 0; column < width; ++column)
            if (source.contains(sourceX + column, sourceY + row))
                set(destX + column, destY + row,
                    source.at(sourceX + column, sourceY + row));
}

Raster Raster::crop(int left, int top, int width, int height) const
{
    Raster piece(width, height);
    piece.copyFrom(*this, left, top, width, height, 0, 0);
    return piece;
}

} // namespace hp::skin
