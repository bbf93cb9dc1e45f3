#include "tools/skin/painter.h"

#include <cmath>

#include "tools/skin/stable_math.h"

namespace hp::skin {

namespace {

constexpr int kSamplesPerSide = 4;

} // namespace

double Painter::coverage(const Shape& shape, int x, int y)
{
    int hits = 0;
    for (int row = 0; row < kSamplesPerSide; ++row)
        for (int column = 0; column < kSamplesPerSide; ++column)
            if (shape.inside(x + (column + 0.5) / kSamplesPerSide,
                             y + (row + 0.5) / kSamplesPerSide))
                ++hits;
    return static_cast<double>(hits) / (kSamplesPerSide * kSamplesPerSide);
}

void Painter::fill(const Shape& shape, Rgba color, EdgeStyle edges, double opacity)
{
    fill(shape, [color](int, int) { return color; }, edges, opacity);
}

void Painter::fill(const Shape& shape, const ColorField& color, EdgeStyle edges,
                   double opacity)
{
    for (int y = shape.top; y <= shape.bottom; ++y) {
        for (int x = shape.left; x <= shape.right; ++x) {
            if (!target_.contains(x, y))
                continue;
            double amount = 0.0;
            if (edges == EdgeStyle::Crisp)
                amount = shape.inside(x + 0.5, y + 0.5) ? 1.0 : 0.0;
            else
                amount = coverage(shape, x, y);
            if (amount <= 0.0)
                continue;
            const Rgba paint = color(x, y);
            target_.blend(x, y, paint, amount * opacity * paint.alpha / 255.0);
        }
    }
}

void Painter::glow(double centerX, double centerY, double radius, Rgba color, double peak)
{
    const int left = static_cast<int>(centerX - radius) - 1;
    const int top = static_cast<int>(centerY - radius) - 1;
    const int right = static_cast<int>(centerX + radius) + 1;
    const int bottom = static_cast<int>(centerY + radius) + 1;
    for (int y = top; y <= bottom; ++y) {
        for (int x = left; x <= right; ++x) {
            const double dx = x + 0.5 - centerX;
            const double dy = y + 0.5 - centerY;
            const double distance = std::sqrt(dx * dx + dy * dy) / radius;
            if (distance >= 1.0)
                continue;
            const double falloff = (1.0 - distance) * (1.0 - distance);
            target_.blend(x, y, color, peak * falloff);
        }
    }
}

} // namespace hp::skin
