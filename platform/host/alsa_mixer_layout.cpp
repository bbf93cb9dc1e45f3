#include "platform/host/alsa_mixer_layout.h"

#include <algorithm>
#include <cmath>

#include "platform/host/charset.h"
#include "platform/kernel32/cp932_text.h"

namespace hp::host {
namespace {

constexpr LONG mixerMaximum = 65535;

// CP932, cut on a character boundary to fit a field of this size.
std::string fieldText(const std::string &utf8, size_t fieldBytes)
{
    std::string field(fieldBytes, '\0');
    kernel32::copyCp932Field(field.data(), fieldBytes, cp932FromUtf8(utf8));
    field.resize(field.find('\0'));
    return field;
}

std::string lineName(const AlsaElement &element)
{
    const std::string base = element.name == "PCM" ? "Wave" : element.name;
    return element.index == 0 ? base : base + " " + std::to_string(element.index);
}

bool contains(const std::string &text, const char *word)
{
    return text.find(word) != std::string::npos;
}

DWORD componentTypeOf(const std::string &name)
{
    if (name == "PCM" || contains(name, "Wave"))
        return MIXERLINE_COMPONENTTYPE_SRC_WAVEOUT;
    if (contains(name, "CD"))
        return MIXERLINE_COMPONENTTYPE_SRC_COMPACTDISC;
    if (contains(name, "Synth") || contains(name, "MIDI"))
        return MIXERLINE_COMPONENTTYPE_SRC_SYNTHESIZER;
    if (contains(name, "Mic"))
        return MIXERLINE_COMPONENTTYPE_SRC_MICROPHONE;
    if (contains(name, "Line"))
        return MIXERLINE_COMPONENTTYPE_SRC_LINE;
    if (contains(name, "Beep") || contains(name, "PC Speaker"))
        return MIXERLINE_COMPONENTTYPE_SRC_PCSPEAKER;
    return MIXERLINE_COMPONENTTYPE_SRC_ANALOG;
}

winmm::MixerLineInfo describeLine(const std::string &name, DWORD componentType,
                                  const AlsaElement *element, AlsaLineBinding &binding)
{
    winmm::MixerLineInfo line;
    line.name = fieldText(name, MIXER_LONG_NAME_CHARS);
    line.shortName = fieldText(name, MIXER_SHORT_NAME_CHARS);
    line.componentType = componentType;
    line.channels = element && element->mono ? 1 : 2;
    line.targetType = componentType == MIXERLINE_COMPONENTTYPE_SRC_WAVEOUT ||
                              componentType == MIXERLINE_COMPONENTTYPE_DST_SPEAKERS
                          ? MIXERLINE_TARGETTYPE_WAVEOUT
                          : MIXERLINE_TARGETTYPE_UNDEFINED;
    if (!element)
        return line;
    if (element->hasVolume) {
        winmm::MixerControlInfo volume;
        volume.type = MIXERCONTROL_CONTROLTYPE_VOLUME;
        volume.name = "Volume";
        volume.shortName = "Volume";
        volume.minimum = 0;
        volume.maximum = mixerMaximum;
        volume.steps = mixerMaximum;
        line.controls.push_back(volume);
        binding.controls.push_back(AlsaControl::Volume);
    }
    if (element->hasSwitch) {
        winmm::MixerControlInfo mute;
        mute.type = MIXERCONTROL_CONTROLTYPE_MUTE;
        mute.flags = MIXERCONTROL_CONTROLF_UNIFORM;
        mute.name = "Mute";
        mute.shortName = "Mute";
        mute.minimum = 0;
        mute.maximum = 1;
        line.controls.push_back(mute);
        binding.controls.push_back(AlsaControl::Mute);
    }
    return line;
}

}  // namespace

AlsaLayout layoutAlsaCard(const std::string &cardName, const std::vector<AlsaElement> &elements)
{
    AlsaLayout layout;
    layout.info.name = fieldText(cardName, MAXPNAMELEN);

    int master = -1;
    for (size_t i = 0; i < elements.size() && master < 0; ++i) {
        if (elements[i].name == "Master" && elements[i].index == 0)
            master = static_cast<int>(i);
    }

    winmm::MixerDestinationInfo destination;
    layout.destination.element = master;
    destination.line = describeLine("Master Volume", MIXERLINE_COMPONENTTYPE_DST_SPEAKERS,
                                    master >= 0 ? &elements[static_cast<size_t>(master)] : nullptr,
                                    layout.destination);
    for (size_t i = 0; i < elements.size(); ++i) {
        if (static_cast<int>(i) == master)
            continue;
        AlsaLineBinding binding;
        binding.element = static_cast<int>(i);
        destination.sources.push_back(describeLine(lineName(elements[i]),
                                                   componentTypeOf(elements[i].name),
                                                   &elements[i], binding));
        layout.sources.push_back(std::move(binding));
    }
    layout.info.destinations.push_back(std::move(destination));
    return layout;
}

LONG mixerValueOfAlsa(long value, long minimum, long maximum)
{
    if (maximum <= minimum)
        return 0;
    const double fraction = static_cast<double>(std::clamp(value, minimum, maximum) - minimum) /
                            static_cast<double>(maximum - minimum);
    return static_cast<LONG>(std::lround(fraction * mixerMaximum));
}

long alsaValueOfMixer(LONG value, long minimum, long maximum)
{
    if (maximum <= minimum)
        return minimum;
    const double fraction = static_cast<double>(std::clamp<LONG>(value, 0, mixerMaximum)) /
                            mixerMaximum;
    return minimum + std::lround(fraction * static_cast<double>(maximum - minimum));
}

}  // namespace hp::host
