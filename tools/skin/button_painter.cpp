#include "tools/skin/button_painter.h"

#include <cmath>

#include "tools/skin/painter.h"
#include "tools/skin/stable_math.h"

namespace hp::skin {

namespace {

constexpr Rgba kSymbol = rgb(255, 255, 255);
constexpr Rgba kSymbolShadow = rgb(60, 10, 16);

struct Palette {
    Rgba top;
    Rgba bottom;
};

Palette paletteFor(layout::ButtonKind kind)
{
    switch (kind) {
    case layout::ButtonKind::Play:
    case layout::ButtonKind::Quit:
        return {rgb(236, 62, 70), rgb(140, 14, 30)};
    default:
        return {rgb(52, 170, 86), rgb(12, 84, 42)};
    }
}

} // namespace

void ButtonPainter::paint(const layout::Button& button)
{
    const layout::Area& area = button.area;
    const int width = area.right - area.left + 1;
    const int height = area.bottom - area.top + 1;
    const Palette palette = paletteFor(button.kind);
    const double radius = std::min(width, height) * (button.kind == layout::ButtonKind::Play ? 0.3 : 0.36);

    Painter painter(target_);
    // A soft shadow on the snow below and to the right.
    painter.fill(Shape::roundRect(area.left + 2.0, area.top + 3.0, area.right + 4.0,
                                  area.bottom + 4.0, radius),
                 rgb(40, 50, 100), EdgeStyle::Smooth, 0.32);
    paintBody(area, palette.top, palette.bottom, radius);
    paintSymbol(button);
    paintSnowCap(area, static_cast<int>(button.kind));
}

void ButtonPainter::paintBody(const layout::Area& area, Rgba top, Rgba bottom, double radius)
{
    const double left = area.left;
    const double right = area.right + 1.0;
    const double upper = area.top;
    const double lower = area.bottom + 1.0;
    Painter painter(target_);
    // Gold rim, then the glossy body inside it.
    painter.fill(Shape::roundRect(left, upper, right, lower, radius), rgb(120, 80, 24));
    painter.fill(Shape::roundRect(left + 1.0, upper + 1.0, right - 1.0, lower - 1.0, radius - 1.0),
                 rgb(236, 194, 92));
    painter.fill(Shape::roundRect(left + 2.0, upper + 2.0, right - 2.0, lower - 2.0, radius - 1.5),
                 [&](int, int y) {
                     const double t = (y + 0.5 - upper) / (lower - upper);
                     return mixColor(top, bottom, t);
                 });
    // Gloss over the upper half.
    painter.fill(Shape::roundRect(left + 3.0, upper + 2.5, right - 3.0,
                                  upper + (lower - upper) * 0.48, radius - 2.0),
                 rgb(255, 255, 255), EdgeStyle::Smooth, 0.22);
}

void ButtonPainter::paintSnowCap(const layout::Area& area, int seed)
{
    Painter painter(target_);
    const int width = area.right - area.left + 1;
    const bool large = width > 40;
    // A pillow of snow along the top edge, made of overlapping lumps.
    const double lumpRadius = large ? 3.4 : 2.2;
    Shape pillow = Shape::roundRect(area.left + 3.0, area.top - 0.5, area.right - 2.0,
                                    area.top + (large ? 2.5 : 1.5), 1.0);
    for (double x = area.left + 4.0; x <= area.right - 3.0; x += lumpRadius * 1.3) {
        const double bump = valueNoise(x, seed * 13.0, 5.0, 301 + seed);
        pillow = Shape::unite(pillow, Shape::circle(x, area.top + 0.8 - bump * 1.2,
                                                    lumpRadius * (0.7 + bump * 0.5)));
    }
    const double shadeFrom = area.top + (large ? 2.0 : 1.0);
    painter.fill(pillow, [&](int, int y) {
        return y >= shadeFrom ? rgb(206, 220, 248) : rgb(248, 250, 255);
    });
    if (!large)
        return;
    // Icicles hanging from the big button's snow.
    for (int icicle = 0; icicle < 3; ++icicle) {
        const double x = area.left + width * (0.3 + 0.22 * icicle) + (icicle == 1 ? 1.0 : 0.0);
        const double length = 3.0 + ((seed + icicle) % 3);
        painter.fill(Shape::polygon({{x - 1.2, area.top + 2.0},
                                     {x + 1.2, area.top + 2.0},
                                     {x, area.top + 2.0 + length}}),
                     rgb(232, 242, 255));
    }
}

void ButtonPainter::paintSymbol(const layout::Button& button)
{
    const layout::Area& area = button.area;
    const double cx = (area.left + area.right + 1) / 2.0;
    const double cy = (area.top + area.bottom + 1) / 2.0 + 1.0;
    Painter painter(target_);

    auto withShadow = [&](const Shape& shape) {
        Shape shadow = shape;
        auto inside = shape.inside;
        shadow.inside = [inside](double x, double y) { return inside(x - 1.0, y - 1.0); };
        shadow.right += 1;
        shadow.bottom += 1;
        painter.fill(shadow, kSymbolShadow, EdgeStyle::Smooth, 0.55);
        painter.fill(shape, kSymbol);
    };
    auto triangle = [](double left, double top, double right, double bottom, bool pointsRight) {
        const double middle = (top + bottom) / 2.0;
        if (pointsRight)
            return Shape::polygon({{left, top}, {right, middle}, {left, bottom}});
        return Shape::polygon({{right, top}, {left, middle}, {right, bottom}});
    };

    switch (button.kind) {
    case layout::ButtonKind::Stop:
        withShadow(Shape::roundRect(cx - 3.5, cy - 3.5, cx + 3.5, cy + 3.5, 0.8));
        break;
    case layout::ButtonKind::Play:
        withShadow(triangle(cx - 7.0, cy - 11.0, cx + 11.0, cy + 11.0, true));
        break;
    case layout::ButtonKind::Next:
        withShadow(Shape::unite(
            Shape::unite(triangle(cx - 7.0, cy - 4.5, cx - 1.0, cy + 4.5, true),
                         triangle(cx - 1.5, cy - 4.5, cx + 4.5, cy + 4.5, true)),
            Shape::roundRect(cx + 4.5, cy - 4.5, cx + 6.5, cy + 4.5, 0.0)));
        break;
    case layout::ButtonKind::Previous:
        withShadow(Shape::unite(
            Shape::unite(triangle(cx + 1.0, cy - 4.5, cx + 7.0, cy + 4.5, false),
                         triangle(cx - 4.5, cy - 4.5, cx + 1.5, cy + 4.5, false)),
            Shape::roundRect(cx - 6.5, cy - 4.5, cx - 4.5, cy + 4.5, 0.0)));
        break;
    case layout::ButtonKind::Quit:
        withShadow(Shape::unite(Shape::line({cx - 2.5, cy - 2.5}, {cx + 2.5, cy + 2.5}, 2.0),
                                Shape::line({cx - 2.5, cy + 2.5}, {cx + 2.5, cy - 2.5}, 2.0)));
        break;
    }
}

} // namespace hp::skin
