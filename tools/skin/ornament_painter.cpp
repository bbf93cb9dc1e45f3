#include "tools/skin/ornament_painter.h"

#include "tools/skin/painter.h"
#include <cmath>

#include "tools/skin/stable_math.h"

namespace hp::skin {

namespace {

constexpr Rgba kWax = rgb(238, 230, 214);
constexpr Rgba kWaxShadow = rgb(190, 176, 160);
constexpr Rgba kWick = rgb(40, 28, 24);
constexpr Rgba kFlameCore = rgb(255, 252, 220);
constexpr Rgba kFlameOuter = rgb(255, 178, 52);
constexpr Rgba kFlameGlow = rgb(255, 170, 80);

// Soft light limited to the inside of a box: zero on the box's outer ring.
void boxedGlow(Raster& target, int left, int top, int width, int height, double centerX,
               double centerY, double radius, Rgba color, double peak)
{
    for (int y = top + 1; y < top + height - 1; ++y) {
        for (int x = left + 1; x < left + width - 1; ++x) {
            const double dx = x + 0.5 - centerX;
            const double dy = y + 0.5 - centerY;
            const double distance = std::sqrt(dx * dx + dy * dy) / radius;
            if (distance >= 1.0)
                continue;
            target.blend(x, y, color, peak * (1.0 - distance) * (1.0 - distance));
        }
    }
}

} // namespace

void OrnamentPainter::paintCandle(Raster& target, int left, int top, FlameState flame)
{
    // Body: columns 3..6, rows 5..10, shaded on its right.
    for (int y = top + 5; y <= top + 10; ++y) {
        for (int x = left + 3; x <= left + 6; ++x)
            target.set(x, y, x == left + 6 ? kWaxShadow : kWax);
    }
    target.set(left + 3, top + 5, kWaxShadow); // melted rim
    target.set(left + 6, top + 5, shade(kWaxShadow, 0.9));
    target.set(left + 4, top + 4, kWick);

    Painter painter(target);
    const double flameX = left + 5.0;
    if (flame == FlameState::Calm) {
        painter.fill(Shape::ellipse(flameX - 0.5, top + 2.6, 1.1, 1.6), kFlameOuter);
        target.blend(left + 4, top + 3, kFlameCore, 0.8);
        return;
    }
    double lean = 0.0;
    if (flame == FlameState::LeaningLeft)
        lean = -0.7;
    if (flame == FlameState::LeaningRight)
        lean = 0.7;
    boxedGlow(target, left, top, 10, 11, flameX - 0.5 + lean * 0.5, top + 3.0, 6.0, kFlameGlow,
              0.8);
    painter.fill(Shape::polygon({{flameX - 0.5 + lean * 1.6, top + 1.0},
                                 {flameX + 1.3, top + 3.0},
                                 {flameX + 0.6, top + 4.6},
                                 {flameX - 1.6, top + 4.6},
                                 {flameX - 2.3, top + 3.0}}),
                 kFlameOuter);
    painter.fill(Shape::ellipse(flameX - 0.5 + lean * 0.4, top + 3.2, 0.9, 1.4), kFlameCore);
    // Light falling on the top of the wax.
    target.blend(left + 3, top + 5, kFlameCore, 0.35);
    target.blend(left + 5, top + 5, kFlameCore, 0.45);
    target.blend(left + 4, top + 5, kFlameCore, 0.5);
}

void OrnamentPainter::paintBauble(Raster& target, int left, int top, BaubleFinish finish,
                                  BaubleState state)
{
    const Rgba body = finish == BaubleFinish::Gold ? rgb(214, 164, 48) : rgb(200, 34, 52);
    const Rgba dark = finish == BaubleFinish::Gold ? rgb(120, 80, 20) : rgb(104, 12, 28);
    const Rgba light = finish == BaubleFinish::Gold ? rgb(255, 236, 150) : rgb(255, 150, 150);
    const double centerX = left + 5.5;
    const double centerY = top + 5.6;
    const double radius = 3.4;

    Painter painter(target);
    if (state == BaubleState::Flashing)
        boxedGlow(target, left, top, 11, 10, centerX, centerY, 6.0, light, 0.7);
    // Cap and loop.
    target.set(left + 5, top + 1, rgb(200, 200, 190));
    target.set(left + 5, top + 2, rgb(170, 170, 160));
    target.set(left + 6, top + 2, rgb(120, 120, 112));
    painter.fill(Shape::circle(centerX, centerY, radius), [&](int x, int y) {
        const double dx = (x + 0.5 - (centerX - 1.2)) / radius;
        const double dy = (y + 0.5 - (centerY - 1.2)) / radius;
        const double lightness = 1.0 - (dx * dx + dy * dy) * 0.45;
        return lightness > 0.75 ? mixColor(body, light, (lightness - 0.75) * 2.0)
                                : mixColor(dark, body, clamp01(lightness / 0.75));
    });
    target.blend(left + 4, top + 4, rgb(255, 255, 255),
                 state == BaubleState::Flashing ? 1.0 : 0.8);
    if (state == BaubleState::Flashing) {
        // A glint with four rays, kept inside the box.
        const Rgba white = rgb(255, 255, 245);
        target.set(left + 4, top + 4, white);
        for (int step = 1; step <= 3; ++step) {
            const double opacity = 1.0 - step * 0.2;
            target.blend(left + 4 - step, top + 4, white, opacity);
            target.blend(left + 4 + step, top + 4, white, opacity);
            target.blend(left + 4, top + 4 - step, white, opacity);
            target.blend(left + 4, top + 4 + step, white, opacity);
        }
        target.blend(left + 3, top + 3, white, 0.45);
        target.blend(left + 5, top + 5, white, 0.45);
        target.blend(left + 3, top + 5, white, 0.45);
        target.blend(left + 5, top + 3, white, 0.45);
    }
}

void OrnamentPainter::paintTwinkle(Raster& target, int left, int top, int phase)
{
    const Rgba star = rgb(236, 240, 255);
    const Rgba halo = rgb(150, 170, 255);
    // The centre of the box lies between pixels 3 and 4; the star sits on (3, 3).
    const int cx = left + 3;
    const int cy = top + 3;
    switch (phase) {
    case 0:
        target.blend(cx, cy, star, 0.55);
        break;
    case 1:
        target.blend(cx, cy, star, 0.95);
        for (auto [dx, dy] : {std::pair{-1, 0}, {1, 0}, {0, -1}, {0, 1}})
            target.blend(cx + dx, cy + dy, halo, 0.45);
        break;
    case 2:
        boxedGlow(target, left, top, 8, 8, cx + 0.5, cy + 0.5, 3.6, halo, 0.35);
        target.set(cx, cy, rgb(255, 255, 255));
        for (int step = 1; step <= 2; ++step) {
            const double opacity = step == 1 ? 0.95 : 0.5;
            target.blend(cx - step, cy, star, opacity);
            target.blend(cx + step, cy, star, opacity);
            target.blend(cx, cy - step, star, opacity);
            target.blend(cx, cy + step, star, opacity);
        }
        for (auto [dx, dy] : {std::pair{-1, -1}, {1, -1}, {-1, 1}, {1, 1}})
            target.blend(cx + dx, cy + dy, halo, 0.3);
        break;
    default:
        target.blend(cx, cy, star, 0.9);
        for (auto [dx, dy] : {std::pair{-1, -1}, {1, -1}, {-1, 1}, {1, 1}})
            target.blend(cx + dx, cy + dy, star, 0.5);
        for (auto [dx, dy] : {std::pair{-2, -2}, {2, -2}, {-2, 2}, {2, 2}})
            target.blend(cx + dx, cy + dy, halo, 0.25);
        break;
    }
}

void OrnamentPainter::paintSlowTwinkle(Raster& target, int left, int top, int phase)
{
    const Rgba gold = rgb(255, 226, 150);
    const Rgba warm = rgb(255, 190, 110);
    const int cx = left + 3;
    const int cy = top + 3;
    static const double kCore[] = {0.6, 0.85, 1.0, 0.85};
    static const double kArms[] = {0.0, 0.35, 0.7, 0.45};
    static const double kGlow[] = {0.12, 0.22, 0.4, 0.25};
    boxedGlow(target, left, top, 8, 8, cx + 0.5, cy + 0.5, 3.8, warm, kGlow[phase]);
    target.blend(cx, cy, gold, kCore[phase]);
    if (kArms[phase] > 0.0) {
        for (auto [dx, dy] : {std::pair{-1, 0}, {1, 0}, {0, -1}, {0, 1}})
            target.blend(cx + dx, cy + dy, gold, kArms[phase]);
    }
    if (phase == 2) {
        for (auto [dx, dy] : {std::pair{-2, 0}, {2, 0}, {0, -2}, {0, 2}})
            target.blend(cx + dx, cy + dy, gold, 0.35);
    }
}

} // namespace hp::skin
