// The program's icon: a white quaver with a sprig of holly on a red tile.
#pragma once

#include "tools/skin/raster.h"

namespace hp::skin {

class IconPainter {
public:
    // A size x size picture with a transparent surround.
    static Raster paint(int size);
};

} // namespace hp::skin
