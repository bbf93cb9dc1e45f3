// The recording MCI drivers behind recordingMci() (twins.h): one driver
// for each of "waveaudio", "sequencer", "mpegvideo" and "cdaudio", all
// writing to the same record and answering from the same script.
#pragma once

#include <memory>
#include <vector>

#include "platform/winmm/mci_driver.h"

namespace hp::testing {

std::vector<std::unique_ptr<winmm::MciDriver>> makeRecordingMciDrivers();

}  // namespace hp::testing
