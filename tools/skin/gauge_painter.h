// The inside of a volume gauge: dark glass where it is empty, a candy-cane
// filling where it is full. Row r of either picture belongs to row r of the
// gauge, so the two meet cleanly at whatever row the level falls on.
#pragma once

#include "tools/skin/raster.h"

namespace hp::skin {

enum class GaugeFill { Empty, Full };

class GaugePainter {
public:
    static void paintColumn(Raster& target, int left, int top, int width, int height,
                            GaugeFill fill);
};

} // namespace hp::skin
