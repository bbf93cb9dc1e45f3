// The Christmas tree right of the middle: three tiers of branches around
// the program's light positions, a star on top, two baubles that the
// blinkers flash, and presents at its foot.
#pragma once

#include "tools/skin/raster.h"

namespace hp::skin {

class TreePainter {
public:
    explicit TreePainter(Raster& target) : target_(target) {}

    void paint();

    // True where the foliage covers the pixel.
    static bool isFoliage(int x, int y);

private:
    void paintTier(int index);
    void paintSnowOnTier(int index);
    void paintGarland();
    void paintLightSockets();
    void paintStar();
    void paintTrunkAndPresents();

    Raster& target_;
};

} // namespace hp::skin
