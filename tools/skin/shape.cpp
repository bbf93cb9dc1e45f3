#include "tools/skin/shape.h"

#include <algorithm>
#include <cmath>

namespace hp::skin {

namespace {

int floorToInt(double value)
{
    return static_cast<int>(std::floor(value));
}

} // namespace

Shape Shape::circle(double centerX, double centerY, double radius)
{
    return ellipse(centerX, centerY, radius, radius);
}

Shape Shape::ellipse(double centerX, double centerY, double radiusX, double radiusY)
{
    Shape shape;
    shape.left = floorToInt(centerX - radiusX);
    shape.top = floorToInt(centerY - radiusY);
    shape.right = floorToInt(centerX + radiusX);
    shape.bottom = floorToInt(centerY + radiusY);
    shape.inside = [=](double x, double y) {
        const double dx = (x - centerX) / radiusX;
        const double dy = (y - centerY) / radiusY;
        return dx * dx + dy * dy <= 1.0;
    };
    return shape;
}

Shape Shape::roundRect(double left, double top, double right, double bottom, double radius)
{
    Shape shape;
    shape.left = floorToInt(left);
    shape.top = floorToInt(top);
    shape.right = floorToInt(right);
    shape.bottom = floorToInt(bottom);
    shape.inside = [=](double x, double y) {
        if (x < left || x >= right || y < top || y >= bottom)
            return false;
        const double cornerX = std::min(std::max(x, left + radius), right - radius);
        const double cornerY = std::min(std::max(y, top + radius), bottom - radius);
        const double dx = x - cornerX;
        const double dy = y - cornerY;
        return dx * dx + dy * dy <= radius * radius;
    };
    return shape;
}

Shape Shape::polygon(std::vector<Point> corners)
{
    Shape shape;
    double minX = corners.front().x, maxX = minX, minY = corners.front().y, maxY = minY;
    for (const Point& corner : corners) {
        minX = std::min(minX, corner.x);
        maxX = std::max(maxX, corner.x);
        minY = std::min(minY, corner.y);
        maxY = std::max(maxY, corner.y);
    }
    shape.left = floorToInt(minX);
    shape.top = floorToInt(minY);
    shape.right = floorToInt(maxX);
    shape.bottom = floorToInt(maxY);
    shape.inside = [corners = std::move(corners)](double x, double y) {
        bool inside = false;
        const size_t count = corners.size();
        for (size_t i = 0, j = count - 1; i < count; j = i++) {
            const Point& a = corners[i];
            const Point& b = corners[j];
            if ((a.y > y) != (b.y > y)) {
                const double crossX = a.x + (y - a.y) * (b.x - a.x) / (b.y - a.y);
                if (x < crossX)
                    inside = !inside;
            }
        }
        return inside;
    };
    return shape;
}

Shape Shape::line(Point from, Point to, double width)
{
    const double half = width / 2.0;
    Shape shape;
    shape.left = floorToInt(std::min(from.x, to.x) - half);
    shape.top = floorToInt(std::min(from.y, to.y) - half);
    shape.right = floorToInt(std::max(from.x, to.x) + half);
    shape.bottom = floorToInt(std::max(from.y, to.y) + half);
    shape.inside = [=](double x, double y) {
        const double vx = to.x - from.x;
        const double vy = to.y - from.y;
        const double length = vx * vx + vy * vy;
        double t = length > 0.0 ? ((x - from.x) * vx + (y - from.y) * vy) / length : 0.0;
        t = std::min(1.0, std::max(0.0, t));
        const double dx = x - (from.x + t * vx);
        const double dy = y - (from.y + t * vy);
        return dx * dx + dy * dy <= half * half;
    };
    return shape;
}

Shape Shape::difference(Shape first, Shape second)
{
    Shape shape = first;
    shape.inside = [first, second](double x, double y) {
        return first.inside(x, y) && !second.inside(x, y);
    };
    return shape;
}

Shape Shape::unite(Shape first, Shape second)
{
    Shape shape;
    shape.left = std::min(first.left, second.left);
    shape.top = std::min(first.top, second.top);
    shape.right = std::max(first.right, second.right);
    shape.bottom = std::max(first.bottom, second.bottom);
    shape.inside = [first, second](double x, double y) {
        return first.inside(x, y) || second.inside(x, y);
    };
    return shape;
}

} // namespace hp::skin
