// Fills shapes into a raster, anti-aliased by 4 x 4 sampling or crisp.
#pragma once

#include <functional>

#include "tools/skin/raster.h"
#include "tools/skin/shape.h"

namespace hp::skin {

enum class EdgeStyle { Smooth, Crisp };

using ColorField = std::function<Rgba(int x, int y)>;

class Painter {
public:
    explicit Painter(Raster& target) : target_(target) {}

    // Share of the pixel (x, y) that lies inside the shape, 0..1.
    static double coverage(const Shape& shape, int x, int y);

    void fill(const Shape& shape, Rgba color, EdgeStyle edges = EdgeStyle::Smooth,
              double opacity = 1.0);
    void fill(const Shape& shape, const ColorField& color, EdgeStyle edges = EdgeStyle::Smooth,
              double opacity = 1.0);

    // A soft round glow: opacity falls from peak at the centre to 0 at radius.
    void glow(double centerX, double centerY, double radius, Rgba color, double peak);

private:
    Raster& target_;
};

} // namespace hp::skin
