// The scripted mixer behind scriptedMixer() (twins.h).
#pragma once

#include <memory>

#include "platform/testing/twins.h"
#include "platform/winmm/mixer_backend.h"

namespace hp::testing {

// A MixerBackend over the script; every one made answers from the same
// script, which outlives them.
std::unique_ptr<winmm::MixerBackend> makeScriptedMixerBackend();

// The script itself, without installing anything: for wirings that start
// from a prepared machine.
ScriptedMixer &scriptedMixerScript();

}  // namespace hp::testing
