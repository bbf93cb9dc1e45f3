#include "tools/skin/cabin_painter.h"

#include <cmath>

#include "tools/skin/ornament_painter.h"
#include "tools/skin/painter.h"
#include "tools/skin/random_stream.h"
#include "tools/skin/skin_layout.h"
#include "tools/skin/stable_math.h"

namespace hp::skin {

using namespace layout;

namespace {

constexpr Rgba kCabinRed = rgb(136, 34, 36);
constexpr Rgba kCabinRedDark = rgb(96, 22, 28);
constexpr Rgba kTrim = rgb(232, 230, 226);
constexpr Rgba kTrimShade = rgb(170, 170, 184);
constexpr Rgba kRoof = rgb(48, 36, 46);
constexpr Rgba kLampLight = rgb(255, 204, 112);

} // namespace

std::vector<Area> CabinPainter::occupiedAreas()
{
    // The house with its roof and snow bank, and the chimney smoke.
    return {{9, 116, 130, 282}, {92, 88, 140, 130}};
}

void CabinPainter::paint()
{
    Painter painter(target_);
    const double peakX = 70.0;
    const double wallPeakY = 134.0;
    const double eaveY = 211.0;
    const double slope = 1.58; // rows per column of the gable
    const double halfWall = (eaveY - wallPeakY) / slope;
    const double wallLeft = peakX - halfWall;
    const double wallRight = peakX + halfWall;
    const double groundY = 278.0;

    // Warm light spilling from the lower windows onto the snow.
    painter.glow(48.0, 280.0, 34.0, rgb(255, 190, 110), 0.30);
    painter.glow(97.0, 284.0, 24.0, rgb(255, 190, 110), 0.22);

    // Walls: gable on top of the ground floor, vertical boards.
    const Shape walls = Shape::unite(
        Shape::polygon({{wallLeft, eaveY}, {peakX, wallPeakY}, {wallRight, eaveY}}),
        Shape::roundRect(wallLeft, eaveY - 1.0, wallRight, groundY, 0.0));
    painter.fill(walls, [&](int x, int y) {
        const int board = (x - static_cast<int>(wallLeft)) % 6;
        Rgba color = board == 0 ? kCabinRedDark : kCabinRed;
        color = shade(color, 1.0 + (valueNoise(x * 6.0, y, 7.0, 61) - 0.5) * 0.12);
        // The roof throws a shadow under the eaves.
        if (y < eaveY + 4 && y > eaveY - 2)
            color = shade(color, 0.8);
        return color;
    }, EdgeStyle::Crisp);
    // Corner boards and the band between the floors.
    painter.fill(Shape::roundRect(wallLeft, eaveY - 1.0, wallLeft + 3.0, groundY, 0.0), kTrim,
                 EdgeStyle::Crisp);
    painter.fill(Shape::roundRect(wallRight - 3.0, eaveY - 1.0, wallRight, groundY, 0.0), kTrimShade,
                 EdgeStyle::Crisp);
    painter.fill(Shape::roundRect(wallLeft, eaveY - 1.0, wallRight, eaveY + 2.0, 0.0), kTrim,
                 EdgeStyle::Crisp);

    // Roof: two slabs along the gable edges, deep snow on top, icicles.
    const double thickness = 7.0;
    const double overhang = 10.0;
    const double leftEaveX = wallLeft - overhang;
    const double rightEaveX = wallRight + overhang;
    const double eaveDrop = overhang * slope;
    const Shape leftSlab = Shape::polygon({{peakX, wallPeakY - thickness - 1.0},
                                           {peakX, wallPeakY},
                                           {leftEaveX, eaveY + eaveDrop},
                                           {leftEaveX, eaveY + eaveDrop - thickness}});
    const Shape rightSlab = Shape::polygon({{peakX, wallPeakY - thickness - 1.0},
                                            {rightEaveX, eaveY + eaveDrop - thickness},
                                            {rightEaveX, eaveY + eaveDrop},
                                            {peakX, wallPeakY}});
    // Chimney on the right slope, behind the snow.
    painter.fill(Shape::roundRect(92.0, 136.0, 101.0, 168.0, 0.0), [](int x, int y) {
        const bool mortar = (y % 4 == 0) || ((x + (y / 4) * 3) % 6 == 0);
        return mortar ? rgb(86, 60, 60) : (x > 98 ? rgb(104, 48, 40) : rgb(134, 64, 50));
    }, EdgeStyle::Crisp);
    painter.fill(Shape::roundRect(90.0, 133.0, 103.0, 137.0, 1.0), rgb(240, 244, 255));
    painter.fill(Shape::unite(leftSlab, rightSlab), [&](int x, int) {
        return x < peakX ? kRoof : shade(kRoof, 0.75);
    }, EdgeStyle::Crisp);
    const double snowDepth = 5.0;
    const Shape roofSnow = Shape::polygon({{peakX, wallPeakY - thickness - snowDepth - 1.5},
                                           {rightEaveX + 1.0, eaveY + eaveDrop - thickness - snowDepth + 2.0},
                                           {rightEaveX + 1.5, eaveY + eaveDrop - thickness + 2.0},
                                           {peakX, wallPeakY - thickness},
                                           {leftEaveX - 1.5, eaveY + eaveDrop - thickness + 2.0},
                                           {leftEaveX - 1.0, eaveY + eaveDrop - thickness - snowDepth + 2.0}});
    painter.fill(roofSnow, [&](int x, int y) {
        const double onEdge = std::fabs(x + 0.5 - peakX) * slope + (wallPeakY - thickness) - (y + 0.5);
        return onEdge < 1.5 ? rgb(186, 200, 236) : rgb(244, 247, 255);
    });
    RandomStream random(31);
    for (int side = 0; side < 2; ++side) {
        for (int i = 0; i < 6; ++i) {
            const double t = 0.35 + i * 0.12 + random.unit() * 0.05;
            const double x = side == 0 ? lerp(peakX, leftEaveX, t) : lerp(peakX, rightEaveX, t);
            const double y = lerp(wallPeakY, eaveY + eaveDrop, t) + 0.5;
            const double length = 2.0 + random.unit() * 5.0;
            painter.fill(Shape::polygon({{x - 1.0, y}, {x + 1.0, y}, {x, y + length}}),
                         rgb(214, 232, 255));
        }
    }

    // Lower floor: a window and a door with a wreath, both lit from inside.
    auto litWindow = [&](double left, double top, double right, double bottom) {
        painter.fill(Shape::roundRect(left - 2.0, top - 2.0, right + 2.0, bottom + 2.0, 0.0), kTrim,
                     EdgeStyle::Crisp);
        painter.fill(Shape::roundRect(left, top, right, bottom, 0.0), [&](int, int y) {
            return mixColor(rgb(255, 226, 150), rgb(238, 150, 70), (y - top) / (bottom - top));
        }, EdgeStyle::Crisp);
        const double middleX = std::floor((left + right) / 2.0);
        const double middleY = std::floor((top + bottom) / 2.0);
        painter.fill(Shape::roundRect(middleX, top, middleX + 1.0, bottom, 0.0), kTrimShade,
                     EdgeStyle::Crisp);
        painter.fill(Shape::roundRect(left, middleY, right, middleY + 1.0, 0.0), kTrimShade,
                     EdgeStyle::Crisp);
        painter.fill(Shape::roundRect(left - 3.0, bottom + 1.0, right + 3.0, bottom + 3.0, 0.0),
                     rgb(246, 248, 255), EdgeStyle::Crisp);
    };
    litWindow(32.0, 224.0, 58.0, 248.0);
    painter.fill(Shape::roundRect(84.0, 228.0, 101.0, groundY, 0.0), kTrim, EdgeStyle::Crisp);
    painter.fill(Shape::roundRect(86.0, 230.0, 99.0, groundY, 0.0), [](int x, int) {
        return (x - 86) % 4 == 0 ? rgb(70, 40, 30) : rgb(100, 60, 40);
    }, EdgeStyle::Crisp);
    painter.fill(Shape::roundRect(88.0, 233.0, 97.0, 240.0, 0.0), kLampLight, EdgeStyle::Crisp);
    painter.fill(Shape::difference(Shape::circle(92.5, 250.0, 4.5), Shape::circle(92.5, 250.0, 2.3)),
                 rgb(26, 96, 46));
    target_.set(90, 247, rgb(220, 30, 40));
    target_.set(95, 251, rgb(220, 30, 40));
    target_.set(91, 253, rgb(220, 30, 40));
    target_.set(97, 263, rgb(230, 190, 90)); // door knob

    // Snow banked against the walls.
    for (int x = static_cast<int>(wallLeft) - 8; x <= static_cast<int>(wallRight) + 8; ++x) {
        const double height = 4.0 + 3.0 * valueNoise(x, 0.0, 9.0, 93);
        for (int y = static_cast<int>(groundY - height); y < groundY + 4; ++y)
            target_.blend(x, y, snow_(x, y + 6), clamp01(y + 1.0 - (groundY - height)));
    }

    paintCandleWindow();

    // Smoke curling away from the chimney.
    for (int puff = 0; puff < 9; ++puff) {
        const double t = puff / 8.0;
        const double x = 96.5 + t * 34.0 + 4.0 * stableSin(t * 5.0);
        const double y = 128.0 - t * 36.0;
        painter.glow(x, y, 4.0 + t * 6.0, rgb(160, 170, 210), 0.42 * (1.0 - t * 0.75));
    }
}

void CabinPainter::paintCandleWindow()
{
    // The attic window: three candles stand on its sill in a dark room.
    const Spot first = kRowSpritePlaces.front();
    const Spot last = kRowSpritePlaces.back();
    const int interiorLeft = first.x - 4;
    const int interiorRight = last.x + kRowSpriteWidth + 3;
    const int interiorTop = first.y - 16;
    const int interiorBottom = first.y + kRowSpriteHeight - 1; // candles stand on the sill

    target_.fillRect(interiorLeft - 3, interiorTop - 3, interiorRight - interiorLeft + 7,
                     interiorBottom - interiorTop + 5, kTrim);
    target_.fillRect(interiorLeft - 1, interiorTop - 1, interiorRight - interiorLeft + 3, 1,
                     kTrimShade);
    target_.fillRect(interiorLeft, interiorTop, interiorRight - interiorLeft + 1,
                     interiorBottom - interiorTop + 1, kCandleWindowColor);
    // Upper sash bars, clear of the candles and their flames.
    const int barY = first.y - 9;
    target_.fillRect(interiorLeft, barY, interiorRight - interiorLeft + 1, 2, kTrim);
    const int middleX = (interiorLeft + interiorRight) / 2;
    target_.fillRect(middleX, interiorTop, 2, barY - interiorTop, kTrim);
    // A faint reflection on the upper panes.
    target_.blend(interiorLeft + 2, interiorTop + 2, rgb(255, 255, 255), 0.25);
    target_.blend(interiorLeft + 3, interiorTop + 1, rgb(255, 255, 255), 0.18);
    target_.blend(middleX + 4, interiorTop + 2, rgb(255, 255, 255), 0.22);
    // Sill.
    target_.fillRect(interiorLeft - 5, interiorBottom + 1, interiorRight - interiorLeft + 11, 3,
                     rgb(246, 248, 255));
    target_.fillRect(interiorLeft - 5, interiorBottom + 4, interiorRight - interiorLeft + 11, 1,
                     kTrimShade);

    for (const Spot& place : kRowSpritePlaces)
        OrnamentPainter::paintCandle(target_, place.x, place.y, FlameState::Calm);
}

} // namespace hp::skin
