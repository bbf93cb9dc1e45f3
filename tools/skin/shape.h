// Plane figures given by an inside test over continuous coordinates; the
// pixel (x, y) covers [x, x + 1) x [y, y + 1).
#pragma once

#include <functional>
#include <vector>

namespace hp::skin {

struct Point {
    double x = 0.0;
    double y = 0.0;
};

struct Shape {
    // Pixel bounds to scan, edges included.
    int left = 0;
    int top = 0;
    int right = -1;
    int bottom = -1;
    std::function<bool(double, double)> inside;

    static Shape circle(double centerX, double centerY, double radius);
    static Shape ellipse(double centerX, double centerY, double radiusX, double radiusY);
    // Rectangle [left, right) x [top, bottom) with corners rounded by radius.
    static Shape roundRect(double left, double top, double right, double bottom, double radius);
    static Shape polygon(std::vector<Point> corners);
    // A stroke of the given width between two points, with round ends.
    static Shape line(Point from, Point to, double width);
    // Points inside first and not inside second.
    static Shape difference(Shape first, Shape second);
    // Points inside either.
    static Shape unite(Shape first, Shape second);
};

} // namespace hp::skin
