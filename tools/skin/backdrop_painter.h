// Paints the window background: the winter night, the cabin, the tree and
// the panels, buttons and gauge tubes that the program draws into or over.
#pragma once

#include <vector>

#include "tools/skin/raster.h"
#include "tools/skin/skin_layout.h"

namespace hp::skin {

class BackdropPainter {
public:
    // The finished background picture, kWindowWidth x kWindowHeight.
    Raster paint();

    // The night sky behind every twinkle.
    static constexpr Rgba kSkyColor = rgb(17, 24, 61);

private:
    void paintSky();
    void paintStars();
    void paintMoon();
    void paintHills();
    void paintCabin();
    void paintDrifts();
    void paintFence();
    void paintFootprints();
    void paintSnowman();
    void paintTree();
    void paintGaugeTubes();
    void paintPanels();
    void paintButtons();
    void paintSnowfall();
    void paintLogo();
    void paintFrame();

    // Places kept free of stars and snowflakes, with margin.
    bool isReserved(int x, int y, int margin) const;
    void reserve(layout::Area area) { reserved_.push_back(area); }

    double farRidge(double x) const;
    double nearRidge(double x) const;
    Rgba snowAt(int x, int y) const;

    Raster canvas_;
    std::vector<layout::Area> reserved_;
};

} // namespace hp::skin
