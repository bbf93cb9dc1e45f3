// The five buttons of the front panel: glossy sweets with snow on top and a
// white symbol, drawn over the whole of their pressable area.
#pragma once

#include "tools/skin/raster.h"
#include "tools/skin/skin_layout.h"

namespace hp::skin {

class ButtonPainter {
public:
    explicit ButtonPainter(Raster& target) : target_(target) {}

    void paint(const layout::Button& button);

private:
    void paintBody(const layout::Area& area, Rgba top, Rgba bottom, double radius);
    void paintSnowCap(const layout::Area& area, int seed);
    void paintSymbol(const layout::Button& button);

    Raster& target_;
};

} // namespace hp::skin
