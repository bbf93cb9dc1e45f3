#include "tools/skin/backdrop_painter.h"

#include <cmath>

#include "tools/skin/button_painter.h"
#include "tools/skin/gauge_painter.h"
#include "tools/skin/ornament_painter.h"
#include "tools/skin/painter.h"
#include "tools/skin/pixel_font.h"
#include "tools/skin/random_stream.h"
#include "tools/skin/stable_math.h"
#include "tools/skin/tree_painter.h"

namespace hp::skin {

using namespace layout;

namespace {

// The sky is flat down to this row (every twinkle lies above it), then
// brightens towards the horizon.
constexpr int kFlatSkyBottom = 152;
constexpr int kHorizonY = 290;
constexpr Rgba kHorizonColor = rgb(62, 66, 128);

constexpr Rgba kFarHill = rgb(74, 86, 146);
constexpr Rgba kFarHillRim = rgb(132, 146, 204);
constexpr Rgba kFarPine = rgb(34, 46, 88);
constexpr Rgba kSnowNear = rgb(108, 122, 184);
constexpr Rgba kSnowFront = rgb(188, 200, 238);
constexpr Rgba kSnowRim = rgb(206, 216, 250);

constexpr Rgba kCabinRed = rgb(136, 34, 36);
constexpr Rgba kCabinRedDark = rgb(96, 22, 28);
constexpr Rgba kTrim = rgb(232, 230, 226);
constexpr Rgba kTrimShade = rgb(170, 170, 184);
constexpr Rgba kRoof = rgb(48, 36, 46);
constexpr Rgba kLampLight = rgb(255, 204, 112);

constexpr Area kTitlePanel{182, 132, 469, 165};
constexpr Area kStatusPanel{182, 176, 469, 223};

constexpr Rgba kPanelBorderDark = rgb(110, 16, 30);
constexpr Rgba kStripeRed = rgb(210, 36, 52);
constexpr Rgba kStripeWhite = rgb(252, 244, 244);

} // namespace

Raster BackdropPainter::paint()
{
    canvas_ = Raster(kWindowWidth, kWindowHeight, kSkyColor);
    reserved_.clear();

    // Everything the program paints over, and every twinkle, stays clear of
    // stars and flakes.
    for (const Spot& place : kFastTwinklePlaces)
        reserve({place.x, place.y, place.x + kTwinkleSide - 1, place.y + kTwinkleSide - 1});
    for (const Spot& place : kSlowTwinklePlaces)
        reserve({place.x, place.y, place.x + kTwinkleSide - 1, place.y + kTwinkleSide - 1});
    for (const Gauge& gauge : kGauges)
        reserve({gauge.left - 3, gauge.top - 14, gauge.left + gauge.width + 2,
                 gauge.top + gauge.height + 3});
    reserve(kTitlePanel);
    reserve({kStatusPanel.left, kStatusPanel.top, kStatusPanel.right + 4, kStatusPanel.bottom + 4});
    for (const Button& button : kButtons)
        reserve({button.area.left - 1, button.area.top - 5, button.area.right + 4,
                 button.area.bottom + 4});
    reserve({300, 26, 326, 52}); // moon

    paintSky();
    paintMoon();
    paintStars();
    paintHills();
    paintCabin();
    paintDrifts();
    paintFence();
    paintFootprints();
    paintSnowman();
    paintTree();
    paintGaugeTubes();
    paintPanels();
    paintButtons();
    paintSnowfall();
    paintLogo();
    paintFrame();
    return canvas_;
}

bool BackdropPainter::isReserved(int x, int y, int margin) const
{
    for (const Area& area : reserved_)
        if (x >= area.left - margin && x <= area.right + margin && y >= area.top - margin &&
            y <= area.bottom + margin)
            return true;
    return false;
}

double BackdropPainter::farRidge(double x) const
{
    return 246.0 + 7.0 * stableSin(x * 0.013 + 0.5) + 5.0 * stableSin(x * 0.031 + 2.1) +
           2.0 * stableSin(x * 0.083 + 1.0);
}

double BackdropPainter::nearRidge(double x) const
{
    return 278.0 + 6.0 * stableSin(x * 0.009 + 0.3) + 4.0 * stableSin(x * 0.023 + 1.7);
}

Rgba BackdropPainter::snowAt(int x, int y) const
{
    const double depth = clamp01((y - nearRidge(x)) / (kWindowHeight - 250.0));
    Rgba color = mixColor(kSnowNear, kSnowFront, depth * 0.9 + 0.1);
    // Wind-shaped drifts: long soft bands of light and shade.
    const double drift = valueNoise(x * 0.6, y * 2.2, 26.0, 41) - 0.5;
    const double ripple = valueNoise(x, y * 3.0, 9.0, 43) - 0.5;
    color = shade(color, 1.0 + drift * 0.12 + ripple * 0.04);
    return color;
}

void BackdropPainter::paintSky()
{
    for (int y = kFlatSkyBottom; y < kWindowHeight; ++y) {
        const double t = smoothStep(kFlatSkyBottom, kHorizonY, y);
        const Rgba color = mixColor(kSkyColor, kHorizonColor, t);
        for (int x = 0; x < kWindowWidth; ++x)
            canvas_.set(x, y, color);
    }
}

void BackdropPainter::paintMoon()
{
    const double cx = 313.0;
    const double cy = 39.0;
    Painter painter(canvas_);
    painter.glow(cx, cy, 24.0, rgb(170, 180, 230), 0.28);
    const Shape moon = Shape::difference(Shape::circle(cx, cy, 11.5),
                                         Shape::circle(cx + 6.0, cy - 3.5, 10.0));
    painter.fill(moon, [&](int x, int y) {
        const double shadeAmount = clamp01((x + 0.5 - (cx - 11.0)) / 16.0 + (y - cy) * 0.01);
        return mixColor(rgb(255, 250, 224), rgb(226, 214, 170), shadeAmount);
    });
}

void BackdropPainter::paintStars()
{
    RandomStream random(20241224);
    const Rgba colors[] = {rgb(255, 255, 255), rgb(255, 240, 210), rgb(210, 225, 255)};
    int placed = 0;
    for (int attempt = 0; attempt < 4000 && placed < 110; ++attempt) {
        const int x = random.between(8, kWindowWidth - 9);
        const int y = random.between(8, 236);
        const double brightness = 0.18 + random.unit() * random.unit() * 0.7;
        const Rgba color = colors[random.between(0, 2)];
        if (isReserved(x, y, 3))
            continue;
        if (y > farRidge(x) - 12.0)
            continue;
        ++placed;
        canvas_.blend(x, y, color, brightness);
        if (brightness > 0.62) {
            canvas_.blend(x - 1, y, color, brightness * 0.3);
            canvas_.blend(x + 1, y, color, brightness * 0.3);
            canvas_.blend(x, y - 1, color, brightness * 0.3);
            canvas_.blend(x, y + 1, color, brightness * 0.3);
        }
    }
}

void BackdropPainter::paintHills()
{
    // Far hills with a moonlit rim and a line of distant firs.
    for (int x = 0; x < kWindowWidth; ++x) {
        const double ridge = farRidge(x + 0.5);
        for (int y = static_cast<int>(ridge); y < kWindowHeight; ++y) {
            const double cover = clamp01(y + 1.0 - ridge);
            const double depth = clamp01((y - ridge) / 40.0);
            Rgba color = mixColor(kFarHillRim, kFarHill, clamp01((y - ridge) / 3.0));
            color = mixColor(color, rgb(92, 104, 162), depth * 0.5);
            canvas_.blend(x, y, color, cover);
        }
    }
    RandomStream random(7);
    Painter painter(canvas_);
    for (int i = 0; i < 70; ++i) {
        const double x = random.between(6, kWindowWidth - 6) + random.unit();
        const double height = 5.0 + random.unit() * 9.0;
        const double base = farRidge(x) + 5.0 + random.unit() * 4.0;
        const double halfWidth = height * 0.32;
        painter.fill(Shape::polygon({{x, base - height}, {x + halfWidth, base}, {x - halfWidth, base}}),
                     kFarPine);
        canvas_.blend(static_cast<int>(x), static_cast<int>(base - height + 1.0), kFarHillRim, 0.6);
    }

    // The near snowfield.
    for (int x = 0; x < kWindowWidth; ++x) {
        const double ridge = nearRidge(x + 0.5);
        for (int y = static_cast<int>(ridge); y < kWindowHeight; ++y) {
            const double cover = clamp01(y + 1.0 - ridge);
            Rgba color = snowAt(x, y);
            if (y - ridge < 1.5)
                color = kSnowRim;
            canvas_.blend(x, y, color, cover);
        }
    }
}

void BackdropPainter::paintCabin()
{
    Painter painter(canvas_);
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
    canvas_.set(90, 247, rgb(220, 30, 40));
    canvas_.set(95, 251, rgb(220, 30, 40));
    canvas_.set(91, 253, rgb(220, 30, 40));
    canvas_.set(97, 263, rgb(230, 190, 90)); // door knob

    // Snow banked against the walls.
    for (int x = static_cast<int>(wallLeft) - 8; x <= static_cast<int>(wallRight) + 8; ++x) {
        const double height = 4.0 + 3.0 * valueNoise(x, 0.0, 9.0, 93);
        for (int y = static_cast<int>(groundY - height); y < groundY + 4; ++y)
            canvas_.blend(x, y, snowAt(x, y + 6), clamp01(y + 1.0 - (groundY - height)));
    }

    paintCandleWindow();

    // Smoke curling away from the chimney.
    for (int puff = 0; puff < 9; ++puff) {
        const double t = puff / 8.0;
        const double x = 96.5 + t * 34.0 + 4.0 * stableSin(t * 5.0);
        const double y = 128.0 - t * 36.0;
        painter.glow(x, y, 4.0 + t * 6.0, rgb(160, 170, 210), 0.42 * (1.0 - t * 0.75));
    }
    reserve({static_cast<int>(leftEaveX) - 2, 116, static_cast<int>(rightEaveX) + 2,
             static_cast<int>(groundY) + 4});
    reserve({92, 88, 140, 130});
}

void BackdropPainter::paintCandleWindow()
{
    // The attic window: three candles stand on its sill in a dark room.
    const Spot first = kRowSpritePlaces.front();
    const Spot last = kRowSpritePlaces.back();
    const int interiorLeft = first.x - 4;
    const int interiorRight = last.x + kRowSpriteWidth + 3;
    const int interiorTop = first.y - 16;
    const int interiorBottom = first.y + kRowSpriteHeight - 1; // candles stand on the sill

    canvas_.fillRect(interiorLeft - 3, interiorTop - 3, interiorRight - interiorLeft + 7,
                     interiorBottom - interiorTop + 5, kTrim);
    canvas_.fillRect(interiorLeft - 1, interiorTop - 1, interiorRight - interiorLeft + 3, 1,
                     kTrimShade);
    canvas_.fillRect(interiorLeft, interiorTop, interiorRight - interiorLeft + 1,
                     interiorBottom - interiorTop + 1, kCandleWindowColor);
    // Upper sash bars, clear of the candles and their flames.
    const int barY = first.y - 9;
    canvas_.fillRect(interiorLeft, barY, interiorRight - interiorLeft + 1, 2, kTrim);
    const int middleX = (interiorLeft + interiorRight) / 2;
    canvas_.fillRect(middleX, interiorTop, 2, barY - interiorTop, kTrim);
    // A faint reflection on the upper panes.
    canvas_.blend(interiorLeft + 2, interiorTop + 2, rgb(255, 255, 255), 0.25);
    canvas_.blend(interiorLeft + 3, interiorTop + 1, rgb(255, 255, 255), 0.18);
    canvas_.blend(middleX + 4, interiorTop + 2, rgb(255, 255, 255), 0.22);
    // Sill.
    canvas_.fillRect(interiorLeft - 5, interiorBottom + 1, interiorRight - interiorLeft + 11, 3,
                     rgb(246, 248, 255));
    canvas_.fillRect(interiorLeft - 5, interiorBottom + 4, interiorRight - interiorLeft + 11, 1,
                     kTrimShade);

    for (const Spot& place : kRowSpritePlaces)
        OrnamentPainter::paintCandle(canvas_, place.x, place.y, FlameState::Calm);
}

void BackdropPainter::paintDrifts()
{
    // Foreground drifts, lit from behind by the moon: a bright rim along
    // each crest, the face towards the viewer in soft blue shade.
    struct Drift {
        double centerX, halfWidth, baseY, height;
    };
    const Drift drifts[] = {
        {70.0, 150.0, 500.0, 46.0},
        {330.0, 190.0, 500.0, 34.0},
        {560.0, 150.0, 498.0, 58.0},
    };
    for (const Drift& drift : drifts) {
        for (int x = static_cast<int>(drift.centerX - drift.halfWidth);
             x <= static_cast<int>(drift.centerX + drift.halfWidth); ++x) {
            const double u = (x + 0.5 - drift.centerX) / drift.halfWidth;
            if (u <= -1.0 || u >= 1.0)
                continue;
            const double bump = (1.0 - u * u) * (1.0 - u * u);
            const double wobble = (valueNoise(x, drift.baseY, 14.0, 131) - 0.5) * 4.0;
            const double crest = drift.baseY - drift.height * bump + wobble * bump;
            for (int y = static_cast<int>(crest); y < kWindowHeight; ++y) {
                const double below = y + 0.5 - crest;
                if (below < -0.5)
                    continue;
                const double cover = clamp01(below + 0.5);
                Rgba color = snowAt(x, y);
                if (below < 1.0)
                    color = rgb(232, 238, 255);
                else if (below < 2.5)
                    color = mixColor(color, rgb(214, 222, 252), 0.7);
                else
                    color = mixColor(color, rgb(96, 108, 172), 0.28 * clamp01(1.2 - below / 40.0));
                canvas_.blend(x, y, color, cover);
            }
        }
    }
    // Moonlit glints on the snow.
    RandomStream random(1224);
    for (int glint = 0; glint < 70; ++glint) {
        const int x = random.between(8, kWindowWidth - 9);
        const int y = random.between(300, kWindowHeight - 9);
        if (isReserved(x, y, 2))
            continue;
        canvas_.blend(x, y, rgb(255, 255, 255), 0.5 + random.unit() * 0.5);
    }
}

void BackdropPainter::paintFence()
{
    // A split-rail fence running from the cabin towards the tree.
    Painter painter(canvas_);
    const Rgba wood = rgb(78, 56, 52);
    const Rgba woodLit = rgb(118, 92, 84);
    const int firstPost = 136;
    const int lastPost = 316;
    auto baseAt = [this](double x) { return nearRidge(x) + 20.0 - (x - 136.0) * 0.02; };
    for (int rail = 0; rail < 2; ++rail) {
        const double lift = rail == 0 ? 13.0 : 6.5;
        painter.fill(Shape::line({firstPost + 1.0, baseAt(firstPost) - lift},
                                 {lastPost + 1.0, baseAt(lastPost) - lift}, 2.2),
                     wood);
        painter.fill(Shape::line({firstPost + 1.0, baseAt(firstPost) - lift - 1.2},
                                 {lastPost + 1.0, baseAt(lastPost) - lift - 1.2}, 0.9),
                     rgb(232, 238, 255), EdgeStyle::Smooth, 0.9);
    }
    for (int x = firstPost; x <= lastPost; x += 15) {
        const double base = baseAt(x);
        painter.fill(Shape::roundRect(x - 1.0, base - 17.0, x + 2.0, base + 1.0, 0.5),
                     [&](int px, int) { return px < x ? woodLit : wood; }, EdgeStyle::Crisp);
        painter.fill(Shape::ellipse(x + 0.5, base - 17.0, 2.6, 1.6), rgb(244, 247, 255));
        // Snow drifted against the foot of the post.
        painter.fill(Shape::ellipse(x + 0.5, base + 1.0, 4.0, 2.0), snowAt(x, static_cast<int>(base) + 4));
    }
    reserve({firstPost - 4, static_cast<int>(baseAt(firstPost)) - 20, lastPost + 4,
             static_cast<int>(baseAt(firstPost)) + 4});
}

void BackdropPainter::paintFootprints()
{
    // Someone walked from the cabin door down to build the snowman.
    const Point path[] = {{93.0, 284.0}, {104.0, 350.0}, {196.0, 356.0}, {236.0, 447.0}};
    auto pointAt = [&](double t) {
        const double u = 1.0 - t;
        const double a = u * u * u, b = 3 * u * u * t, c = 3 * u * t * t, d = t * t * t;
        return Point{a * path[0].x + b * path[1].x + c * path[2].x + d * path[3].x,
                     a * path[0].y + b * path[1].y + c * path[2].y + d * path[3].y};
    };
    Painter painter(canvas_);
    const int steps = 26;
    for (int step = 1; step < steps; ++step) {
        const double t = static_cast<double>(step) / steps;
        const Point here = pointAt(t);
        const Point ahead = pointAt(t + 0.01);
        const double dx = ahead.x - here.x;
        const double dy = ahead.y - here.y;
        const double length = std::sqrt(dx * dx + dy * dy);
        const double side = (step % 2 == 0) ? 1.0 : -1.0;
        const double scale = 0.7 + (here.y - 280.0) / 260.0;
        const double x = here.x - dy / length * 2.4 * scale * side;
        const double y = here.y + dx / length * 2.4 * scale * side;
        const Rgba print = shade(snowAt(static_cast<int>(x), static_cast<int>(y)), 0.8);
        painter.fill(Shape::ellipse(x, y, 1.5 * scale, 1.0 * scale), print);
        painter.fill(Shape::ellipse(x, y + 1.0 * scale, 1.4 * scale, 0.6 * scale), rgb(236, 242, 255),
                     EdgeStyle::Smooth, 0.35);
        reserve({static_cast<int>(x) - 2, static_cast<int>(y) - 2, static_cast<int>(x) + 2,
                 static_cast<int>(y) + 2});
    }
}

void BackdropPainter::paintSnowman()
{
    Painter painter(canvas_);
    const double cx = 252.0;
    const double groundY = 452.0;
    painter.fill(Shape::ellipse(cx + 6.0, groundY, 24.0, 4.5), rgb(96, 110, 170), EdgeStyle::Smooth,
                 0.5);
    auto ball = [&](double cy, double radius) {
        painter.fill(Shape::circle(cx, cy, radius), [&](int x, int y) {
            const double dx = (x + 0.5 - (cx - radius * 0.4)) / radius;
            const double dy = (y + 0.5 - (cy - radius * 0.4)) / radius;
            const double light = 1.0 - (dx * dx + dy * dy) * 0.35;
            return mixColor(rgb(150, 164, 214), rgb(248, 250, 255), clamp01(light));
        });
    };
    ball(groundY - 17.0, 18.0);
    ball(groundY - 44.0, 13.0);
    ball(groundY - 65.0, 9.5);
    // Stick arms.
    const Rgba stick = rgb(82, 52, 36);
    painter.fill(Shape::line({cx - 11.0, groundY - 46.0}, {cx - 27.0, groundY - 58.0}, 1.6), stick);
    painter.fill(Shape::line({cx - 23.0, groundY - 55.0}, {cx - 26.0, groundY - 62.0}, 1.3), stick);
    painter.fill(Shape::line({cx + 11.0, groundY - 46.0}, {cx + 26.0, groundY - 40.0}, 1.6), stick);
    painter.fill(Shape::line({cx + 22.0, groundY - 42.0}, {cx + 27.0, groundY - 47.0}, 1.3), stick);
    // Scarf.
    painter.fill(Shape::roundRect(cx - 9.5, groundY - 58.0, cx + 9.5, groundY - 54.0, 2.0),
                 [](int x, int) { return (x / 3) % 2 ? rgb(200, 30, 44) : rgb(150, 16, 32); });
    painter.fill(Shape::polygon({{cx + 3.0, groundY - 55.0},
                                 {cx + 8.0, groundY - 55.0},
                                 {cx + 10.0, groundY - 43.0},
                                 {cx + 5.0, groundY - 44.0}}),
                 rgb(176, 22, 38));
    // Hat.
    const Rgba hat = rgb(30, 28, 40);
    painter.fill(Shape::roundRect(cx - 11.0, groundY - 74.0, cx + 11.0, groundY - 71.5, 1.0), hat);
    painter.fill(Shape::roundRect(cx - 7.0, groundY - 87.0, cx + 7.0, groundY - 73.0, 1.0), hat);
    painter.fill(Shape::roundRect(cx - 7.0, groundY - 77.0, cx + 7.0, groundY - 75.0, 0.0),
                 rgb(200, 30, 44));
    painter.fill(Shape::circle(cx + 5.0, groundY - 78.0, 1.6), rgb(30, 110, 50));
    canvas_.set(static_cast<int>(cx) + 6, static_cast<int>(groundY) - 79, rgb(230, 40, 50));
    // Face and buttons.
    const Rgba coal = rgb(30, 30, 40);
    painter.fill(Shape::circle(cx - 3.5, groundY - 67.5, 1.1), coal);
    painter.fill(Shape::circle(cx + 3.0, groundY - 67.5, 1.1), coal);
    painter.fill(Shape::polygon({{cx - 0.5, groundY - 65.5}, {cx + 8.0, groundY - 63.5},
                                 {cx - 0.5, groundY - 62.5}}),
                 rgb(240, 130, 30));
    painter.fill(Shape::circle(cx - 3.0, groundY - 61.0, 0.8), coal);
    painter.fill(Shape::circle(cx, groundY - 60.2, 0.8), coal);
    painter.fill(Shape::circle(cx + 3.0, groundY - 61.0, 0.8), coal);
    painter.fill(Shape::circle(cx, groundY - 48.0, 1.3), coal);
    painter.fill(Shape::circle(cx, groundY - 41.0, 1.3), coal);
    painter.fill(Shape::circle(cx, groundY - 34.0, 1.3), coal);
    reserve({220, 360, 285, 460});
}

void BackdropPainter::paintTree()
{
    TreePainter(canvas_).paint();
    reserve({330, 284, 424, 446});
}

void BackdropPainter::paintGaugeTubes()
{
    Painter painter(canvas_);
    for (const Gauge& gauge : kGauges) {
        const double left = gauge.left - 2.0;
        const double right = gauge.left + gauge.width + 2.0;
        const double top = gauge.top - 2.0;
        const double bottom = gauge.top + gauge.height + 2.0;
        // Glass tube: dark outline, bright rim, and the program's column inside.
        painter.fill(Shape::roundRect(left - 1.0, top - 1.0, right + 1.0, bottom + 1.0, 4.0),
                     rgb(10, 14, 36));
        painter.fill(Shape::roundRect(left, top, right, bottom, 3.0), [&](int x, int) {
            return x < gauge.left + gauge.width / 2 ? rgb(206, 220, 246) : rgb(140, 156, 200);
        });
        GaugePainter::paintColumn(canvas_, gauge.left, gauge.top, gauge.width, gauge.height,
                                  GaugeFill::Empty);
        // Scale marks every tenth, on the right of the tube.
        for (int tenth = 1; tenth < 10; ++tenth) {
            const int y = gauge.top + gauge.height * tenth / 10;
            canvas_.set(static_cast<int>(right) + 1, y, rgb(206, 220, 246));
            canvas_.set(static_cast<int>(right) + 2, y, rgb(206, 220, 246));
        }
        // The name on a little tag above the tube.
        const int textWidth = PixelFont::textWidth(gauge.label);
        const int tagLeft = gauge.left + gauge.width / 2 - textWidth / 2 - 3;
        const int tagTop = gauge.top - 14;
        painter.fill(Shape::roundRect(tagLeft, tagTop, tagLeft + textWidth + 6.0, tagTop + 10.0, 2.5),
                     rgb(150, 20, 34));
        painter.fill(Shape::roundRect(tagLeft + 1.0, tagTop + 1.0, tagLeft + textWidth + 5.0,
                                      tagTop + 9.0, 2.0),
                     rgb(196, 34, 48));
        PixelFont::draw(canvas_, tagLeft + 3, tagTop + 2, gauge.label, rgb(255, 244, 226));
    }
}

void BackdropPainter::paintPanels()
{
    Painter painter(canvas_);
    auto panel = [&](const Area& area) {
        const double left = area.left;
        const double top = area.top;
        const double right = area.right + 1.0;
        const double bottom = area.bottom + 1.0;
        painter.fill(Shape::roundRect(left + 3.0, top + 4.0, right + 3.0, bottom + 4.0, 6.0),
                     rgb(8, 10, 30), EdgeStyle::Smooth, 0.4);
        painter.fill(Shape::roundRect(left, top, right, bottom, 6.0), kPanelBorderDark);
        // Candy-cane border.
        painter.fill(Shape::roundRect(left + 1.0, top + 1.0, right - 1.0, bottom - 1.0, 5.0),
                     [](int x, int y) { return ((x + y) / 3) % 2 ? kStripeRed : kStripeWhite; },
                     EdgeStyle::Crisp);
        painter.fill(Shape::roundRect(left + 4.0, top + 4.0, right - 4.0, bottom - 4.0, 2.5),
                     kPanelBorderDark, EdgeStyle::Crisp);
        painter.fill(Shape::roundRect(left + 5.0, top + 5.0, right - 5.0, bottom - 5.0, 1.5),
                     kTextBackground, EdgeStyle::Crisp);
    };
    panel(kTitlePanel);
    panel(kStatusPanel);

    // The progress bar at rest, framed by a deeper pink line.
    const Area bar = kProgressBar;
    canvas_.fillRect(bar.left - 1, bar.top - 1, bar.right - bar.left + 3, bar.bottom - bar.top + 3,
                     rgb(214, 140, 150));
    canvas_.fillRect(bar.left, bar.top, bar.right - bar.left + 1, bar.bottom - bar.top + 1,
                     rgb(255, 255, 255));
    canvas_.fillRect(bar.left + 1, bar.top + 1, bar.right - bar.left - 1, bar.bottom - bar.top - 1,
                     kProgressFill);

    // Two beamed quavers left of the bar.
    const Rgba ink = rgb(176, 40, 60);
    painter.fill(Shape::ellipse(201.5, 214.0, 2.6, 2.0), ink);
    painter.fill(Shape::roundRect(203.0, 204.0, 204.2, 214.0, 0.0), ink);
    painter.fill(Shape::ellipse(212.5, 215.0, 2.6, 2.0), ink);
    painter.fill(Shape::roundRect(214.0, 205.0, 215.2, 215.0, 0.0), ink);
    painter.fill(Shape::polygon({{204.0, 204.0}, {215.0, 205.0}, {215.0, 207.0}, {204.0, 206.2}}), ink);

    // Holly on the corner of the title panel.
    auto leaf = [&](Point base, Point tip) {
        const double dx = tip.x - base.x;
        const double dy = tip.y - base.y;
        const double length = std::sqrt(dx * dx + dy * dy);
        const double nx = -dy / length;
        const double ny = dx / length;
        std::vector<Point> outline;
        const int points = 5;
        for (int i = 0; i <= points; ++i) {
            const double t = static_cast<double>(i) / points;
            const double width = 3.6 * stableSin(t * kPi) + (i % 2 ? 1.2 : 0.0);
            outline.push_back({base.x + dx * t + nx * width, base.y + dy * t + ny * width});
        }
        for (int i = points - 1; i >= 1; --i) {
            const double t = static_cast<double>(i) / points;
            const double width = 3.6 * stableSin(t * kPi) + (i % 2 ? 1.2 : 0.0);
            outline.push_back({base.x + dx * t - nx * width, base.y + dy * t - ny * width});
        }
        painter.fill(Shape::polygon(outline), [&](int x, int y) {
            const double side = (x + 0.5 - base.x) * nx + (y + 0.5 - base.y) * ny;
            return side > 0 ? rgb(24, 110, 50) : rgb(14, 76, 36);
        });
        painter.fill(Shape::line(base, {base.x + dx * 0.85, base.y + dy * 0.85}, 0.7),
                     rgb(80, 150, 80));
    };
    auto berry = [&](double x, double y) {
        painter.fill(Shape::circle(x, y, 2.4), rgb(200, 20, 36));
        painter.fill(Shape::circle(x - 0.6, y - 0.7, 0.9), rgb(255, 150, 150));
    };
    const Point sprig{kTitlePanel.left + 4.0, kTitlePanel.top + 4.0};
    leaf(sprig, {sprig.x - 6.0, sprig.y + 16.0});
    leaf(sprig, {sprig.x + 16.0, sprig.y - 5.0});
    berry(sprig.x + 1.0, sprig.y + 1.5);
    berry(sprig.x - 2.5, sprig.y - 1.5);
    berry(sprig.x + 3.0, sprig.y - 3.0);
    const Point corner{kStatusPanel.right - 5.0, kStatusPanel.bottom - 4.0};
    leaf(corner, {corner.x + 4.0, corner.y - 17.0});
    leaf(corner, {corner.x - 16.0, corner.y + 5.0});
    berry(corner.x - 1.0, corner.y - 1.5);
    berry(corner.x + 2.5, corner.y + 1.5);
    berry(corner.x - 3.0, corner.y + 3.0);
}

void BackdropPainter::paintButtons()
{
    ButtonPainter painter(canvas_);
    for (const Button& button : kButtons)
        painter.paint(button);
}

void BackdropPainter::paintSnowfall()
{
    RandomStream random(1225);
    Painter painter(canvas_);
    int placed = 0;
    for (int attempt = 0; attempt < 6000 && placed < 230; ++attempt) {
        const double x = 6.0 + random.unit() * (kWindowWidth - 12.0);
        const double y = 6.0 + random.unit() * (kWindowHeight - 12.0);
        const double size = random.unit();
        const int px = static_cast<int>(x);
        const int py = static_cast<int>(y);
        if (isReserved(px, py, 3))
            continue;
        // Flakes over the bright snowfield would not show.
        if (y > nearRidge(x) + 30.0 && random.unit() < 0.8)
            continue;
        ++placed;
        if (size < 0.55) {
            canvas_.blend(px, py, rgb(255, 255, 255), 0.45 + size * 0.6);
        } else if (size < 0.9) {
            painter.fill(Shape::circle(x, y, 1.1), rgb(250, 252, 255), EdgeStyle::Smooth, 0.85);
        } else {
            // A few large, near flakes with six arms.
            for (int arm = 0; arm < 3; ++arm) {
                const double angle = arm * kPi / 3.0;
                const double dx = 2.8 * stableCos(angle);
                const double dy = 2.8 * stableSin(angle);
                painter.fill(Shape::line({x - dx, y - dy}, {x + dx, y + dy}, 0.9),
                             rgb(240, 246, 255), EdgeStyle::Smooth, 0.8);
            }
        }
    }
}

void BackdropPainter::paintLogo()
{
    const std::string name = "Hollyphone";
    const int left = 20;
    const int top = 463;
    // Outline, then the letters; a green holly underline.
    PixelFont::forEachPixel(name, [&](int x, int y) {
        for (int dy = -1; dy <= 2; ++dy)
            for (int dx = -1; dx <= 2; ++dx)
                canvas_.fillRect(left + x * 2 + dx, top + y * 2 + dy, 1, 1, rgb(255, 255, 255));
    });
    PixelFont::forEachPixel(name, [&](int x, int y) {
        canvas_.fillRect(left + x * 2 + 1, top + y * 2 + 1, 2, 2, rgb(120, 12, 26));
    });
    PixelFont::draw(canvas_, left, top, name, rgb(206, 28, 44), 2, 2);
    PixelFont::draw(canvas_, left + 2, top + 19, "merry music for winter nights", rgb(40, 110, 60));
}

void BackdropPainter::paintFrame()
{
    // A deep red frame with a gold line around the whole window.
    for (int y = 0; y < kWindowHeight; ++y) {
        for (int x = 0; x < kWindowWidth; ++x) {
            const int edge = std::min(std::min(x, y), std::min(kWindowWidth - 1 - x, kWindowHeight - 1 - y));
            if (edge >= 5)
                continue;
            Rgba color = rgb(118, 16, 28);
            if (edge == 0)
                color = rgb(46, 6, 14);
            else if (edge == 1)
                color = rgb(164, 34, 46);
            else if (edge == 3)
                color = rgb(94, 10, 22);
            else if (edge == 4)
                color = rgb(214, 168, 72);
            canvas_.set(x, y, color);
        }
    }
}

} // namespace hp::skin
