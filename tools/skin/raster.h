// An RGBA picture held in memory while the skin is painted.
#pragma once

#include <cstdint>
#include <vector>

namespace hp::skin {

struct Rgba {
    uint8_t red = 0;
    uint8_t green = 0;
    uint8_t blue = 0;
    uint8_t alpha = 255;

    bool operator==(const Rgba& other) const
    {
        return red == other.red && green == other.green && blue == other.blue &&
               alpha == other.alpha;
    }
    bool operator!=(const Rgba& other) const { return !(*this == other); }
};

constexpr Rgba rgb(int red, int green, int blue)
{
    return Rgba{static_cast<uint8_t>(red), static_cast<uint8_t>(green),
                static_cast<uint8_t>(blue), 255};
}

// Pixels are stored top row first. Reads and writes outside the picture are
// ignored (reads give transparent black), so shapes may run over the edges.
class Raster {
public:
    Raster() = default;
    Raster(int width, int height, Rgba fill = Rgba{0, 0, 0, 0});

    int width() const { return width_; }
    int height() const { return height_; }
    bool contains(int x, int y) const { return x >= 0 && y >= 0 && x < width_ && y < height_; }

    Rgba at(int x, int y) const;
    void set(int x, int y, Rgba color);

    // Mixes color over the pixel with the given opacity (0..1), alpha included.
    void blend(int x, int y, Rgba color, double opacity);

    void fillRect(int left, int top, int width, int height, Rgba color);

    // Copies a rectangle of source to (destX, destY) unchanged.
    void copyFrom(const Raster& source, int sourceX, int sourceY, int width, int height,
                  int destX, int destY);

    Raster crop(int left, int top, int width, int height) const;

private:
    int width_ = 0;
    int height_ = 0;
    std::vector<Rgba> pixels_;
};

} // namespace hp::skin
