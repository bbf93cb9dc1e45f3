// The machine's ALSA cards as mixer devices (see alsa_mixer_layout.h for
// how a card looks).
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "platform/winmm/mixer_backend.h"

namespace hp::host {

// One device per sound card ("hw:0", "hw:1", ...), listed afresh at every
// call, so that a card that comes or goes shows at once.
std::unique_ptr<winmm::MixerBackend> makeAlsaCardMixers();

// One device per named control device (for example "pulse" or "default"),
// in the given order.
std::unique_ptr<winmm::MixerBackend> makeAlsaMixers(std::vector<std::string> controlDevices);

}  // namespace hp::host
