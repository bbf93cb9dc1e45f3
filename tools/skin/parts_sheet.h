// The sprite and gauge sheet. Every picture sits at the source rectangle
// the program cuts it from; the places where it lands on the background
// decide what each picture shows around its motif.
#pragma once

#include "tools/skin/raster.h"

namespace hp::skin {

class PartsSheet {
public:
    // backdrop: the finished background picture.
    static Raster paint(const Raster& backdrop);
};

} // namespace hp::skin
