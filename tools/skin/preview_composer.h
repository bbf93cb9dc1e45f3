// Shows the window as the program paints it: background, the animated
// sprites of one animation tick, lights, gauges, text lines and progress.
// Only for looking at the art; the program itself does not use this.
#pragma once

#include <cstdint>
#include <string>

#include "tools/skin/raster.h"

namespace hp::skin {

enum class LightSwitch { Off, On };

struct PreviewState {
    uint32_t frame = 0;
    LightSwitch effect = LightSwitch::On;
    int cdVolume = 65535;
    int midiVolume = 32768;
    int waveVolume = 0;
    int elapsedSeconds = 0;
    int trackSeconds = 30000;
    std::string title;
    std::string status;
};

class PreviewComposer {
public:
    static Raster compose(const Raster& backdrop, const Raster& parts, const PreviewState& state);
};

} // namespace hp::skin
