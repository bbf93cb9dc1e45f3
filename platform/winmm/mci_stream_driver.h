// The MCI drivers of the device types that play files: "waveaudio",
// "sequencer" and "mpegvideo", each over an AudioEngine.
#pragma once

#include <memory>
#include <vector>

#include "platform/winmm/audio_stream.h"
#include "platform/winmm/mci_driver.h"

namespace hp::winmm {

std::vector<std::unique_ptr<MciDriver>> makeStreamMciDrivers(
    const std::shared_ptr<AudioEngine> &engine);

}  // namespace hp::winmm
