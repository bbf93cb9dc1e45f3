#include "tools/skin/gauge_painter.h"

#include "tools/skin/stable_math.h"

namespace hp::skin {

namespace {

constexpr Rgba kGlass = rgb(24, 30, 66);
constexpr Rgba kCandyRed = rgb(214, 30, 48);
constexpr Rgba kCandyWhite = rgb(255, 246, 240);
constexpr int kStripePeriod = 8;

} // namespace

void GaugePainter::paintColumn(Raster& target, int left, int top, int width, int height,
                               GaugeFill fill)
{
    for (int row = 0; row < height; ++row) {
        const bool scaleMark = row > 0 && (row * 10) % height < 10 && row * 10 >= height;
        for (int column = 0; column < width; ++column) {
            // Round tube: darker towards both sides, a highlight left of centre.
            const double across = (column + 0.5) / width;
            const double roundness = stableSin(across * kPi);
            Rgba color;
            if (fill == GaugeFill::Empty) {
                color = shade(kGlass, 0.75 + 0.35 * roundness);
                if (scaleMark && column >= width - 4)
                    color = mixColor(color, rgb(150, 170, 220), 0.45);
            } else {
                const bool red = ((column + row) % kStripePeriod) < kStripePeriod / 2;
                color = shade(red ? kCandyRed : kCandyWhite, 0.62 + 0.38 * roundness);
                if (scaleMark && column >= width - 4)
                    color = shade(color, 0.8);
            }
            if (column == 2 || column == 3)
                color = mixColor(color, rgb(255, 255, 255), fill == GaugeFill::Empty ? 0.12 : 0.35);
            target.set(left + column, top + row, color);
        }
    }
}

} // namespace hp::skin
