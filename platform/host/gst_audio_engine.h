// The GStreamer engine behind the MCI drivers' AudioStream.
//
// GStreamer is initialised on the first open, not before: the program opens
// its first MCI device (a "waveaudio" device without a file, which only asks
// whether an output can be had) during static initialisation, and a player
// that never plays should not pay for it.
#pragma once

#include <chrono>
#include <memory>
#include <string>

#include "platform/winmm/audio_stream.h"

namespace hp::host {

struct GstAudioOptions {
    // General MIDI soundfont for FluidSynth (Debian's fluid-soundfont-gm).
    // MIDI files do not open without it.
    std::string soundFontPath = "/usr/share/sounds/sf2/default-GM.sf2";
    // Audio sink factory: the desktop's sound server.
    std::string sinkFactory = "pulsesink";
    // Longest wait for a source to be ready to play.
    std::chrono::milliseconds prerollTimeout{4000};
};

// Whether GStreamer starts and has the elements for files and output.
bool gstAudioAvailable(const GstAudioOptions &options = {});

std::shared_ptr<winmm::AudioEngine> makeGstAudioEngine(const GstAudioOptions &options = {});

}  // namespace hp::host
