// ALSA's mixer API behind MixerBackend.
//
// Supports: every card's simple playback elements (volume on one or two
// channels, playback switch), read and written through the card's own
// control device; cards appearing and going between calls; control devices
// of plugins (such as "pulse") by name.
// Does not support: capture elements, enumerated elements, dB scales
// (volumes map linearly from the element's raw range onto 0..65535),
// change notifications, channels beyond front left and right.
#include "platform/host/alsa_mixer.h"

#include <alsa/asoundlib.h>

#include <cstdlib>

#include "platform/host/alsa_mixer_layout.h"

namespace hp::host {
namespace {

struct MixerClose {
    void operator()(snd_mixer_t *mixer) const { snd_mixer_close(mixer); }
};
using MixerHandle = std::unique_ptr<snd_mixer_t, MixerClose>;

struct ControlClose {
    void operator()(snd_ctl_t *control) const { snd_ctl_close(control); }
};
using ControlHandle = std::unique_ptr<snd_ctl_t, ControlClose>;

std::string cardNameOf(const std::string &controlDevice)
{
    snd_ctl_t *rawControl = nullptr;
    if (snd_ctl_open(&rawControl, controlDevice.c_str(), SND_CTL_NONBLOCK) < 0)
        return controlDevice;
    ControlHandle control(rawControl);
    snd_ctl_card_info_t *info = nullptr;
    if (snd_ctl_card_info_malloc(&info) < 0)
        return controlDevice;
    std::string name = controlDevice;
    if (snd_ctl_card_info(control.get(), info) >= 0 && snd_ctl_card_info_get_name(info)[0])
        name = snd_ctl_card_info_get_name(info);
    snd_ctl_card_info_free(info);
    return name;
}

// One card's mixer, open for the length of one call.
class OpenCard {
public:
    bool open(const std::string &controlDevice)
    {
        snd_mixer_t *rawMixer = nullptr;
        if (snd_mixer_open(&rawMixer, 0) < 0)
            return false;
        mixer_.reset(rawMixer);
        if (snd_mixer_attach(mixer_.get(), controlDevice.c_str()) < 0 ||
            snd_mixer_selem_register(mixer_.get(), nullptr, nullptr) < 0 ||
            snd_mixer_load(mixer_.get()) < 0)
            return false;
        std::vector<AlsaElement> described;
        for (snd_mixer_elem_t *element = snd_mixer_first_elem(mixer_.get()); element;
             element = snd_mixer_elem_next(element)) {
            if (!snd_mixer_selem_is_active(element))
                continue;
            AlsaElement info;
            info.hasVolume = snd_mixer_selem_has_playback_volume(element);
            info.hasSwitch = snd_mixer_selem_has_playback_switch(element);
            if (!info.hasVolume && !info.hasSwitch)
                continue;
            info.name = snd_mixer_selem_get_name(element);
            info.index = snd_mixer_selem_get_index(element);
            info.mono = snd_mixer_selem_is_playback_mono(element);
            described.push_back(info);
            elements_.push_back(element);
        }
        layout_ = layoutAlsaCard(cardNameOf(controlDevice), described);
        return true;
    }

    const AlsaLayout &layout() const { return layout_; }

    MMRESULT getValues(const winmm::MixerControlAddress &address, std::vector<LONG> &values)
    {
        snd_mixer_elem_t *element;
        AlsaControl control;
        if (const MMRESULT error = find(address, element, control))
            return error;
        values.clear();
        for (snd_mixer_selem_channel_id_t channel : channelsOf(element)) {
            if (control == AlsaControl::Volume) {
                long minimum = 0, maximum = 0, raw = 0;
                snd_mixer_selem_get_playback_volume_range(element, &minimum, &maximum);
                snd_mixer_selem_get_playback_volume(element, channel, &raw);
                values.push_back(mixerValueOfAlsa(raw, minimum, maximum));
            } else {
                int on = 1;
                snd_mixer_selem_get_playback_switch(element, channel, &on);
                values.push_back(on ? 0 : 1);
            }
        }
        return MMSYSERR_NOERROR;
    }

    MMRESULT setValues(const winmm::MixerControlAddress &address, const std::vector<LONG> &values)
    {
        snd_mixer_elem_t *element;
        AlsaControl control;
        if (const MMRESULT error = find(address, element, control))
            return error;
        const std::vector<snd_mixer_selem_channel_id_t> channels = channelsOf(element);
        if (values.size() != channels.size())
            return MMSYSERR_INVALPARAM;
        if (control == AlsaControl::Mute) {
            // A uniform control: one switch for every channel.
            return snd_mixer_selem_set_playback_switch_all(element, values[0] ? 0 : 1) < 0
                       ? MMSYSERR_ERROR
                       : MMSYSERR_NOERROR;
        }
        long minimum = 0, maximum = 0;
        snd_mixer_selem_get_playback_volume_range(element, &minimum, &maximum);
        for (size_t i = 0; i < channels.size(); ++i) {
            if (snd_mixer_selem_set_playback_volume(element, channels[i],
                                                    alsaValueOfMixer(values[i], minimum,
                                                                     maximum)) < 0)
                return MMSYSERR_ERROR;
        }
        return MMSYSERR_NOERROR;
    }

private:
    static std::vector<snd_mixer_selem_channel_id_t> channelsOf(snd_mixer_elem_t *element)
    {
        if (snd_mixer_selem_is_playback_mono(element))
            return {SND_MIXER_SCHN_MONO};
        return {SND_MIXER_SCHN_FRONT_LEFT, SND_MIXER_SCHN_FRONT_RIGHT};
    }

    MMRESULT find(const winmm::MixerControlAddress &address, snd_mixer_elem_t *&element,
                  AlsaControl &control) const
    {
        if (address.destination != 0)
            return MIXERR_INVALLINE;
        const AlsaLineBinding *binding = &layout_.destination;
        if (address.source != winmm::MixerControlAddress::noSource) {
            if (address.source >= layout_.sources.size())
                return MIXERR_INVALLINE;
            binding = &layout_.sources[address.source];
        }
        if (binding->element < 0 || address.control >= binding->controls.size())
            return MIXERR_INVALCONTROL;
        element = elements_[static_cast<size_t>(binding->element)];
        control = binding->controls[address.control];
        return MMSYSERR_NOERROR;
    }

    MixerHandle mixer_;
    std::vector<snd_mixer_elem_t *> elements_;
    AlsaLayout layout_;
};

class AlsaMixers final : public winmm::MixerBackend {
public:
    explicit AlsaMixers(std::vector<std::string> fixed, bool cards)
        : fixed_(std::move(fixed)), cards_(cards)
    {
    }

    UINT deviceCount() override { return static_cast<UINT>(controlDevices().size()); }

    bool describe(UINT device, winmm::MixerDeviceInfo &info) override
    {
        OpenCard card;
        if (!openDevice(device, card))
            return false;
        info = card.layout().info;
        return true;
    }

    MMRESULT getValues(const winmm::MixerControlAddress &address,
                       std::vector<LONG> &values) override
    {
        OpenCard card;
        if (!openDevice(address.device, card))
            return MMSYSERR_BADDEVICEID;
        return card.getValues(address, values);
    }

    MMRESULT setValues(const winmm::MixerControlAddress &address,
                       const std::vector<LONG> &values) override
    {
        OpenCard card;
        if (!openDevice(address.device, card))
            return MMSYSERR_BADDEVICEID;
        return card.setValues(address, values);
    }

private:
    std::vector<std::string> controlDevices() const
    {
        if (!cards_)
            return fixed_;
        std::vector<std::string> devices;
        int card = -1;
        while (snd_card_next(&card) >= 0 && card >= 0)
            devices.push_back("hw:" + std::to_string(card));
        return devices;
    }

    bool openDevice(UINT device, OpenCard &card) const
    {
        const std::vector<std::string> devices = controlDevices();
        return device < devices.size() && card.open(devices[device]);
    }

    const std::vector<std::string> fixed_;
    const bool cards_;
};

}  // namespace

std::unique_ptr<winmm::MixerBackend> makeAlsaCardMixers()
{
    return std::make_unique<AlsaMixers>(std::vector<std::string>{}, true);
}

std::unique_ptr<winmm::MixerBackend> makeAlsaMixers(std::vector<std::string> controlDevices)
{
    return std::make_unique<AlsaMixers>(std::move(controlDevices), false);
}

}  // namespace hp::host
