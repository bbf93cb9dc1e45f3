// How an ALSA card's playback elements appear as a mixer device: one
// playback destination ("Master Volume", with the card's "Master" element
// when it has one) whose source lines are the other playback elements.
// Each line has a "Volume" control (VOLUME, 0..65535) when the element has
// a playback volume, and a "Mute" control (MUTE) when it has a playback
// switch. Element names pass through, except that "PCM" is presented as
// "Wave", the name the platform's drivers give the line that carries wave
// output. No ALSA call here: alsa_mixer.cpp reads the elements.
#pragma once

#include <string>
#include <vector>

#include "platform/winmm/mixer_backend.h"

namespace hp::host {

// A playback element as ALSA reports it.
struct AlsaElement {
    std::string name;  // UTF-8
    unsigned index = 0;
    bool mono = false;
    bool hasVolume = false;
    bool hasSwitch = false;
};

enum class AlsaControl { Volume, Mute };

// Which element a line shows and what each of its controls is.
struct AlsaLineBinding {
    int element = -1;  // index into the element list; -1: none
    std::vector<AlsaControl> controls;
};

struct AlsaLayout {
    winmm::MixerDeviceInfo info;
    AlsaLineBinding destination;
    std::vector<AlsaLineBinding> sources;
};

AlsaLayout layoutAlsaCard(const std::string &cardName, const std::vector<AlsaElement> &elements);

// ALSA's raw range onto 0..65535 and back (rounded; clamped).
LONG mixerValueOfAlsa(long value, long minimum, long maximum);
long alsaValueOfMixer(LONG value, long minimum, long maximum);

}  // namespace hp::host
