#include "tools/skin/tree_painter.h"

#include <array>
#include <cmath>

#include "tools/skin/ornament_painter.h"
#include "tools/skin/painter.h"
#include "tools/skin/skin_layout.h"
#include "tools/skin/stable_math.h"

namespace hp::skin {

namespace {

constexpr double kCenterX = 376.0;

struct Tier {
    double apexY;
    double baseY;
    double halfWidth;
};
// Drawn bottom tier first; each upper tier hangs over the one below it.
constexpr std::array<Tier, 3> kTiers{{
    {299.0, 348.0, 34.0},
    {315.0, 385.0, 39.0},
    {341.0, 420.0, 43.0},
}};

// Foliage greens from the deepest shadow to the moonlit tips.
constexpr std::array<Rgba, 6> kNeedles{rgb(4, 30, 22),  rgb(8, 46, 32),  rgb(14, 64, 40),
                                       rgb(26, 88, 48), rgb(46, 116, 60), rgb(88, 152, 86)};
constexpr Rgba kSnow = rgb(236, 242, 255);
constexpr Rgba kSnowShade = rgb(168, 186, 226);

double tierHalfWidth(const Tier& tier, double y)
{
    const double u = (y - tier.apexY) / (tier.baseY - tier.apexY);
    if (u < 0.0)
        return -1.0;
    const double bushy = u * (2.0 - u);
    return tier.halfWidth * (bushy * 0.7 + u * 0.3);
}

// Lower edge of a tier: branch tips that droop towards the sides.
double tierBottom(const Tier& tier, double x)
{
    const double dx = (x - kCenterX) / tier.halfWidth;
    const double tips = 1.0 - std::fabs(stableCos((x - kCenterX) * kPi / 7.0));
    return tier.baseY + 4.0 * dx * dx + 2.6 * tips - 1.5;
}

bool insideTier(const Tier& tier, double x, double y)
{
    if (y < tier.apexY)
        return false;
    const double bottom = tierBottom(tier, x);
    if (y > bottom)
        return false;
    const double widthAtY = tierHalfWidth(tier, std::min(y, tier.baseY));
    // Let the drooping tips reach a little further out than the flank.
    double reach = y > tier.baseY ? tier.halfWidth + (y - tier.baseY) * 0.6 : widthAtY;
    // Stepped flanks: every few rows a clump sticks out a little further.
    const double step = (y - tier.apexY) / 6.0;
    reach += 3.0 * (step - std::floor(step)) - 1.2;
    return std::fabs(x - kCenterX) <= reach;
}

// Index of the frontmost tier covering the point, or -1.
int frontTier(double x, double y)
{
    for (int index = 0; index < static_cast<int>(kTiers.size()); ++index)
        if (insideTier(kTiers[index], x, y))
            return index;
    return -1;
}

// Distance in pixels from (x, y) to the nearest light's dot.
int distanceToLight(int x, int y)
{
    int best = 1000;
    for (const auto& call : layout::kTreeLights) {
        const layout::Area lit = layout::litArea(call);
        const int dx = x < lit.left ? lit.left - x : (x > lit.right ? x - lit.right : 0);
        const int dy = y < lit.top ? lit.top - y : (y > lit.bottom ? y - lit.bottom : 0);
        best = std::min(best, std::max(dx, dy));
    }
    return best;
}

// Needles grow in rows of drooping clumps that bend down towards the sides.
struct Clump {
    int band = 0;
    int column = 0;
    double lift = 0.0;   // 0 at the top of the clump, 1 at its tips
    double across = 0.0; // 0..1 from the clump's left to its right
    bool inGap = false;  // between clumps, in their shadow
};

constexpr double kClumpHeight = 7.0;
constexpr double kClumpWidth = 7.0;

Clump clumpAt(const Tier& tier, double x, double y)
{
    const double dx = x - kCenterX;
    const double along = (y - tier.apexY) - std::fabs(dx) * 0.45;
    Clump clump;
    const double bandCoordinate = along / kClumpHeight;
    clump.band = static_cast<int>(std::floor(bandCoordinate));
    const double inBand = bandCoordinate - clump.band;
    const double columnCoordinate = (dx + clump.band * kClumpWidth * 0.5) / kClumpWidth;
    clump.column = static_cast<int>(std::floor(columnCoordinate));
    clump.across = columnCoordinate - clump.column;
    const double middle = 2.0 * clump.across - 1.0;
    const double tips = 0.72 + 0.28 * (1.0 - middle * middle);
    clump.lift = inBand / tips;
    clump.inGap = inBand > tips;
    return clump;
}

bool insideBlinker(int x, int y, int margin)
{
    for (const auto& blinker : layout::kBlinkers) {
        if (x >= blinker.place.x - margin && x < blinker.place.x + layout::kBlinkerWidth + margin &&
            y >= blinker.place.y - margin && y < blinker.place.y + layout::kBlinkerHeight + margin)
            return true;
    }
    return false;
}

} // namespace

bool TreePainter::isFoliage(int x, int y)
{
    return frontTier(x + 0.5, y + 0.5) >= 0;
}

void TreePainter::paint()
{
    paintTrunkAndPresents();
    for (int index = static_cast<int>(kTiers.size()) - 1; index >= 0; --index) {
        paintTier(index);
        paintSnowOnTier(index);
    }
    paintGarland();
    paintLightSockets();
    OrnamentPainter::paintBauble(target_, layout::kBlinkers[0].place.x,
                                 layout::kBlinkers[0].place.y, BaubleFinish::Gold,
                                 BaubleState::Resting);
    OrnamentPainter::paintBauble(target_, layout::kBlinkers[1].place.x,
                                 layout::kBlinkers[1].place.y, BaubleFinish::Red,
                                 BaubleState::Resting);
    paintStar();
}

void TreePainter::paintTier(int index)
{
    const Tier& tier = kTiers[index];
    Shape shape;
    shape.left = static_cast<int>(kCenterX - tier.halfWidth - 10);
    shape.right = static_cast<int>(kCenterX + tier.halfWidth + 10);
    shape.top = static_cast<int>(tier.apexY);
    shape.bottom = static_cast<int>(tier.baseY + 10);
    shape.inside = [&tier](double x, double y) { return insideTier(tier, x, y); };

    Painter painter(target_);
    painter.fill(shape, [&](int x, int y) {
        const double px = x + 0.5;
        const double py = y + 0.5;
        const double dx = px - kCenterX;
        const Clump clump = clumpAt(tier, px, py);
        // Moonlight from the upper left; each clump of needles is lit at its
        // drooping tips and shaded under the clump above; the top of a tier
        // lies in the shadow of the tier above it.
        double light = 0.3 + clump.lift * 0.42 - dx / tier.halfWidth * 0.18;
        if (clump.inGap)
            light = 0.12;
        const double depth = (py - tier.apexY) / (tier.baseY - tier.apexY);
        if (index < static_cast<int>(kTiers.size()) - 1 && depth < 0.3)
            light -= (0.3 - depth) * 0.6;
        const double needles = latticeHash(x, y, 11 + index) - 0.5;
        light += needles * 0.22;
        int shadeIndex = static_cast<int>(light * kNeedles.size());
        shadeIndex = std::max(0, std::min(static_cast<int>(kNeedles.size()) - 1, shadeIndex));
        return kNeedles[shadeIndex];
    }, EdgeStyle::Crisp);

    // A dark seam where this tier hangs over the one below.
    if (index + 1 < static_cast<int>(kTiers.size())) {
        for (int x = shape.left; x <= shape.right; ++x) {
            const int y = static_cast<int>(tierBottom(tier, x + 0.5)) + 1;
            if (insideTier(tier, x + 0.5, y - 0.5) && insideTier(kTiers[index + 1], x + 0.5, y + 0.5))
                target_.set(x, y, kNeedles[0]);
        }
    }
}

void TreePainter::paintSnowOnTier(int index)
{
    const Tier& tier = kTiers[index];
    // Snow settles on the upper side of the outer clumps.
    for (int y = static_cast<int>(tier.apexY); y <= static_cast<int>(tier.baseY + 10); ++y) {
        for (int x = static_cast<int>(kCenterX - tier.halfWidth - 10);
             x <= static_cast<int>(kCenterX + tier.halfWidth + 10); ++x) {
            const double px = x + 0.5;
            const double py = y + 0.5;
            if (frontTier(px, py) != index)
                continue;
            const Clump clump = clumpAt(tier, px, py);
            if (clump.inGap || clump.lift > 0.3 || clump.across < 0.18 || clump.across > 0.82)
                continue;
            if (std::fabs(px - kCenterX) < tier.halfWidth * 0.3)
                continue;
            if (latticeHash(clump.band, clump.column, 71 + index) > 0.42)
                continue;
            if (distanceToLight(x, y) < 2 || insideBlinker(x, y, 1))
                continue;
            target_.set(x, y, clump.lift > 0.18 ? kSnowShade : kSnow);
        }
    }
}

void TreePainter::paintGarland()
{
    // Strings of small gold beads swinging across the tiers.
    struct Swag {
        double fromX, fromY, toX, toY, sag;
    };
    const Swag swags[] = {
        {356.0, 321.0, 396.0, 334.0, 5.0},
        {350.0, 352.0, 404.0, 368.0, 6.0},
        {343.0, 389.0, 410.0, 398.0, 7.0},
    };
    const Rgba bead = rgb(230, 186, 80);
    const Rgba beadShade = rgb(150, 108, 40);
    for (const Swag& swag : swags) {
        int lastX = -100, lastY = -100;
        for (int step = 0; step <= 200; ++step) {
            const double t = step / 200.0;
            const double x = lerp(swag.fromX, swag.toX, t);
            const double y = lerp(swag.fromY, swag.toY, t) + swag.sag * 4.0 * t * (1.0 - t);
            const int px = static_cast<int>(x);
            const int py = static_cast<int>(y);
            if (std::abs(px - lastX) + std::abs(py - lastY) < 3)
                continue;
            lastX = px;
            lastY = py;
            if (!isFoliage(px, py) || distanceToLight(px, py) < 2 || insideBlinker(px, py, 1))
                continue;
            target_.set(px, py, bead);
            if (isFoliage(px + 1, py + 1) && distanceToLight(px + 1, py + 1) >= 2 &&
                !insideBlinker(px + 1, py + 1, 1))
                target_.set(px + 1, py + 1, beadShade);
        }
    }
}

void TreePainter::paintLightSockets()
{
    // The background shows every light unlit; the program paints them over.
    for (const auto& call : layout::kTreeLights) {
        const layout::Area lit = layout::litArea(call);
        for (int y = lit.top; y <= lit.bottom; ++y)
            for (int x = lit.left; x <= lit.right; ++x)
                target_.set(x, y, layout::kUnlitLight);
        // A dark wire socket above the bulb.
        if (isFoliage(lit.left, lit.top - 1))
            target_.set(lit.left, lit.top - 1, kNeedles[0]);
    }
}

void TreePainter::paintStar()
{
    const double cx = kCenterX;
    const double cy = 297.0;
    Painter painter(target_);
    painter.glow(cx, cy, 15.0, rgb(255, 220, 140), 0.35);
    std::vector<Point> corners;
    for (int i = 0; i < 10; ++i) {
        const double angle = -kPi / 2.0 + i * kPi / 5.0;
        const double radius = (i % 2 == 0) ? 8.2 : 3.4;
        corners.push_back({cx + radius * stableCos(angle), cy + radius * stableSin(angle)});
    }
    const Shape star = Shape::polygon(corners);
    painter.fill(star, [&](int x, int y) {
        const double dx = x + 0.5 - cx;
        const double dy = y + 0.5 - cy;
        const double lightness = 0.55 - dx * 0.06 - dy * 0.05;
        return mixColor(rgb(200, 130, 20), rgb(255, 244, 170), lightness);
    });
    target_.blend(static_cast<int>(cx) - 1, static_cast<int>(cy) - 1, rgb(255, 255, 255), 0.9);
}

void TreePainter::paintTrunkAndPresents()
{
    Painter painter(target_);
    // Trunk, mostly hidden under the lowest branches.
    painter.fill(Shape::roundRect(370.0, 408.0, 383.0, 430.0, 1.5), [](int x, int) {
        return x < 374 ? rgb(92, 56, 36) : (x < 379 ? rgb(74, 44, 30) : rgb(52, 30, 22));
    }, EdgeStyle::Crisp);

    struct Present {
        double left, top, right, bottom;
        Rgba paper, ribbon;
    };
    const Present presents[] = {
        {343.0, 421.0, 364.0, 440.0, rgb(176, 28, 40), rgb(236, 196, 84)},
        {388.0, 424.0, 411.0, 441.0, rgb(28, 110, 60), rgb(206, 40, 48)},
        {362.0, 428.0, 381.0, 443.0, rgb(46, 90, 170), rgb(240, 240, 246)},
    };
    for (const Present& present : presents) {
        // Shadow on the snow.
        painter.fill(Shape::ellipse((present.left + present.right) / 2.0 + 2.0, present.bottom,
                                    (present.right - present.left) / 2.0 + 3.0, 2.5),
                     rgb(70, 84, 140), EdgeStyle::Smooth, 0.45);
        painter.fill(Shape::roundRect(present.left, present.top, present.right, present.bottom, 1.0),
                     [&](int x, int y) {
                         const double across = (x + 0.5 - present.left) / (present.right - present.left);
                         Rgba color = shade(present.paper, 1.12 - across * 0.3);
                         if (y < present.top + 3)
                             color = shade(present.paper, 1.3 - across * 0.3);
                         return color;
                     },
                     EdgeStyle::Crisp);
        const double middle = std::floor((present.left + present.right) / 2.0);
        painter.fill(Shape::roundRect(middle - 1.0, present.top, middle + 2.0, present.bottom, 0.0),
                     present.ribbon, EdgeStyle::Crisp);
        painter.fill(Shape::roundRect(present.left, present.top + 3.0, present.right,
                                      present.top + 5.0, 0.0),
                     shade(present.ribbon, 0.9), EdgeStyle::Crisp);
        // Bow.
        painter.fill(Shape::ellipse(middle - 2.5, present.top - 1.5, 3.0, 2.0), present.ribbon);
        painter.fill(Shape::ellipse(middle + 3.5, present.top - 1.5, 3.0, 2.0), present.ribbon);
        painter.fill(Shape::circle(middle + 0.5, present.top - 0.5, 1.4), shade(present.ribbon, 0.8));
    }
}

} // namespace hp::skin
