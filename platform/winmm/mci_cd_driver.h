// The MCI driver of "cdaudio": audio CDs in the drives of the drive table
// (platform/kernel32/drive_table.h), played through an AudioEngine.
#pragma once

#include <memory>

#include "platform/winmm/audio_stream.h"
#include "platform/winmm/mci_driver.h"

namespace hp::winmm {

std::unique_ptr<MciDriver> makeCdMciDriver(const std::shared_ptr<AudioEngine> &engine);

}  // namespace hp::winmm
