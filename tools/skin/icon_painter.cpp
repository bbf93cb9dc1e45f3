#include "tools/skin/icon_painter.h"

#include <cmath>

#include "tools/skin/painter.h"
#include "tools/skin/stable_math.h"

namespace hp::skin {

namespace {

// A holly leaf from base to tip with three points on each side.
Shape hollyLeaf(Point base, Point tip, double width)
{
    const double dx = tip.x - base.x;
    const double dy = tip.y - base.y;
    const double length = std::sqrt(dx * dx + dy * dy);
    const double nx = -dy / length;
    const double ny = dx / length;
    std::vector<Point> outline;
    const int steps = 6;
    auto edge = [&](int i, double side) {
        const double t = static_cast<double>(i) / steps;
        const double half = width * stableSin(t * kPi) * (i % 2 ? 1.0 : 0.62);
        return Point{base.x + dx * t + nx * half * side, base.y + dy * t + ny * half * side};
    };
    for (int i = 0; i <= steps; ++i)
        outline.push_back(edge(i, 1.0));
    for (int i = steps - 1; i >= 1; --i)
        outline.push_back(edge(i, -1.0));
    return Shape::polygon(outline);
}

} // namespace

Raster IconPainter::paint(int size)
{
    Raster icon(size, size);
    Painter painter(icon);
    const double unit = size / 48.0;
    auto at = [unit](double x, double y) { return Point{x * unit, y * unit}; };

    // Tile.
    painter.fill(Shape::roundRect(1 * unit, 1 * unit, 47 * unit, 47 * unit, 9 * unit),
                 rgb(120, 70, 20));
    painter.fill(Shape::roundRect(2.2 * unit, 2.2 * unit, 45.8 * unit, 45.8 * unit, 8 * unit),
                 [&](int, int y) {
                     return mixColor(rgb(226, 48, 60), rgb(140, 12, 30), (y + 0.5) / size);
                 });
    painter.fill(Shape::roundRect(4 * unit, 3.5 * unit, 44 * unit, 20 * unit, 7 * unit),
                 rgb(255, 255, 255), EdgeStyle::Smooth, 0.18);

    // Quaver: head, stem and flag.
    const Rgba ink = rgb(255, 250, 240);
    painter.fill(Shape::ellipse(20 * unit, 33 * unit, 7.2 * unit, 5.4 * unit), ink);
    painter.fill(Shape::roundRect(24.2 * unit, 9 * unit, 27.6 * unit, 33 * unit, 0.8 * unit), ink);
    painter.fill(Shape::polygon({at(26, 9), at(37, 15.5), at(37, 22.5), at(26, 15.5)}), ink);

    // Holly at the foot of the note.
    painter.fill(hollyLeaf(at(25, 37), at(41, 42), 4.6 * unit), rgb(20, 120, 52));
    painter.fill(hollyLeaf(at(25, 37), at(35, 25), 4.2 * unit), rgb(14, 92, 40));
    const Rgba berry = rgb(196, 14, 30);
    const Rgba shine = rgb(255, 190, 190);
    for (const Point& center : {at(24, 38.5), at(28.5, 40), at(26.5, 35)}) {
        painter.fill(Shape::circle(center.x, center.y, 2.8 * unit), rgb(90, 0, 10));
        painter.fill(Shape::circle(center.x, center.y, 2.3 * unit), berry);
        if (size >= 32)
            painter.fill(Shape::circle(center.x - 0.8 * unit, center.y - 0.8 * unit, 0.8 * unit),
                         shine);
    }
    return icon;
}

} // namespace hp::skin
