#include "tools/skin/backdrop_painter.h"

#include <cmath>

#include "tools/skin/button_painter.h"
#include "tools/skin/cabin_painter.h"
#include "tools/skin/gauge_painter.h"
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
    CabinPainter(canvas_, [this](int x, int y) { return snowAt(x, y); }).paint();
    for (const Area& area : CabinPainter::occupiedAreas())
        reserve(area);
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
