// The red cabin on the left: lamplit lower floor, snow on the roof, smoke
// from the chimney, and in the attic window the three candles that take
// turns burning bright.
#pragma once

#include <utility>
#include <vector>

#include "tools/skin/painter.h"
#include "tools/skin/raster.h"
#include "tools/skin/skin_layout.h"

namespace hp::skin {

class CabinPainter {
public:
    // snow: the colour of the snowfield at a pixel, for the drift at the walls.
    CabinPainter(Raster& target, ColorField snow) : target_(target), snow_(std::move(snow)) {}

    void paint();

    // Where the cabin and its smoke are, to keep stars and flakes off them.
    static std::vector<layout::Area> occupiedAreas();

    // Inside of the attic window, behind the candles.
    static constexpr Rgba kCandleWindowColor = rgb(52, 30, 46);

private:
    void paintCandleWindow();

    Raster& target_;
    ColorField snow_;
};

} // namespace hp::skin
