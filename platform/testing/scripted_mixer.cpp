#include "platform/testing/scripted_mixer.h"

#include <algorithm>
#include <utility>
#include <vector>

#include "platform/kernel32/cp932_text.h"

namespace hp::testing {
namespace {

std::string shortNameOf(const std::string &name)
{
    char field[MIXER_SHORT_NAME_CHARS];
    kernel32::copyCp932Field(field, sizeof(field), name);
    return field;
}

DWORD targetTypeOf(DWORD componentType)
{
    switch (componentType) {
    case MIXERLINE_COMPONENTTYPE_DST_SPEAKERS:
    case MIXERLINE_COMPONENTTYPE_DST_HEADPHONES:
    case MIXERLINE_COMPONENTTYPE_SRC_WAVEOUT:
        return MIXERLINE_TARGETTYPE_WAVEOUT;
    case MIXERLINE_COMPONENTTYPE_DST_WAVEIN:
        return MIXERLINE_TARGETTYPE_WAVEIN;
    case MIXERLINE_COMPONENTTYPE_SRC_SYNTHESIZER:
        return MIXERLINE_TARGETTYPE_MIDIOUT;
    case MIXERLINE_COMPONENTTYPE_SRC_COMPACTDISC:
        return MIXERLINE_TARGETTYPE_AUX;
    default:
        return MIXERLINE_TARGETTYPE_UNDEFINED;
    }
}

// Default bounds by the units of the control type.
void setDefaultBounds(winmm::MixerControlInfo &info)
{
    switch (info.type & MIXERCONTROL_CT_UNITS_MASK) {
    case MIXERCONTROL_CT_UNITS_BOOLEAN:
        info.minimum = 0;
        info.maximum = 1;
        break;
    case MIXERCONTROL_CT_UNITS_SIGNED:
    case MIXERCONTROL_CT_UNITS_DECIBELS:
        info.minimum = -32768;
        info.maximum = 32767;
        break;
    default:
        info.minimum = 0;
        info.maximum = 65535;
        break;
    }
}

class Control final : public ScriptedControl {
public:
    Control(winmm::MixerControlInfo info, size_t valueCount)
        : info_(std::move(info)), values_(valueCount, 0)
    {
    }

    ScriptedControl &setValues(const std::vector<LONG> &values) override
    {
        values_ = values;
        return *this;
    }

    ScriptedControl &setBounds(LONG minimum, LONG maximum) override
    {
        info_.minimum = minimum;
        info_.maximum = maximum;
        return *this;
    }

    const std::vector<LONG> &values() const override { return values_; }
    int setCount() const override { return setCount_; }

    const winmm::MixerControlInfo &info() const { return info_; }

    MMRESULT write(const std::vector<LONG> &values)
    {
        if (values.size() != values_.size())
            return MMSYSERR_INVALPARAM;
        const bool clamps = info_.type != MIXERCONTROL_CONTROLTYPE_CUSTOM;
        for (size_t i = 0; i < values.size(); ++i)
            values_[i] = clamps ? std::clamp(values[i], info_.minimum, info_.maximum) : values[i];
        ++setCount_;
        return MMSYSERR_NOERROR;
    }

private:
    winmm::MixerControlInfo info_;
    std::vector<LONG> values_;
    int setCount_ = 0;
};

class Line final : public ScriptedLine {
public:
    Line(const std::string &name, DWORD componentType, DWORD channels)
    {
        info_.name = name;
        info_.shortName = shortNameOf(name);
        info_.componentType = componentType;
        info_.channels = channels;
        info_.targetType = targetTypeOf(componentType);
    }

    ScriptedControl &addControl(const std::string &name, DWORD type, DWORD flags,
                                DWORD multipleItems) override
    {
        winmm::MixerControlInfo info;
        info.type = type;
        info.flags = flags;
        info.multipleItems = multipleItems;
        info.name = name;
        info.shortName = shortNameOf(name);
        setDefaultBounds(info);
        const size_t items =
            (flags & MIXERCONTROL_CONTROLF_MULTIPLE) ? std::max<DWORD>(multipleItems, 1) : 1;
        const size_t channels = std::max<DWORD>(info_.channels, 1);
        controls_.push_back(std::make_unique<Control>(std::move(info), channels * items));
        return *controls_.back();
    }

    winmm::MixerLineInfo describe() const
    {
        winmm::MixerLineInfo line = info_;
        for (const auto &control : controls_)
            line.controls.push_back(control->info());
        return line;
    }

    Control *control(DWORD index)
    {
        return index < controls_.size() ? controls_[index].get() : nullptr;
    }

private:
    winmm::MixerLineInfo info_;
    std::vector<std::unique_ptr<Control>> controls_;
};

class Destination final : public ScriptedDestination {
public:
    Destination(const std::string &name, DWORD componentType, DWORD channels)
        : line_(name, componentType, channels)
    {
    }

    ScriptedLine &line() override { return line_; }

    ScriptedLine &addSource(const std::string &name, DWORD componentType,
                            DWORD channels) override
    {
        sources_.push_back(std::make_unique<Line>(name, componentType, channels));
        return *sources_.back();
    }

    winmm::MixerDestinationInfo describe() const
    {
        winmm::MixerDestinationInfo destination;
        destination.line = line_.describe();
        for (const auto &source : sources_)
            destination.sources.push_back(source->describe());
        return destination;
    }

    Line *lineAt(DWORD source)
    {
        if (source == winmm::MixerControlAddress::noSource)
            return &line_;
        return source < sources_.size() ? sources_[source].get() : nullptr;
    }

private:
    Line line_;
    std::vector<std::unique_ptr<Line>> sources_;
};

class Device final : public ScriptedMixerDevice {
public:
    explicit Device(std::string name) : name_(std::move(name)) {}

    ScriptedDestination &addDestination(const std::string &name, DWORD componentType,
                                        DWORD channels) override
    {
        destinations_.push_back(std::make_unique<Destination>(name, componentType, channels));
        return *destinations_.back();
    }

    void describe(winmm::MixerDeviceInfo &info) const
    {
        info = winmm::MixerDeviceInfo{};
        info.name = name_;
        info.manufacturerId = 0xFF;
        info.productId = 0xFF;
        info.driverVersion = 0x0100;
        for (const auto &destination : destinations_)
            info.destinations.push_back(destination->describe());
    }

    Control *control(const winmm::MixerControlAddress &address)
    {
        if (address.destination >= destinations_.size())
            return nullptr;
        Line *line = destinations_[address.destination]->lineAt(address.source);
        return line ? line->control(address.control) : nullptr;
    }

private:
    std::string name_;
    std::vector<std::unique_ptr<Destination>> destinations_;
};

class Script final : public ScriptedMixer {
public:
    static Script &instance()
    {
        // Outlives every backend made over it.
        static Script *script = new Script;
        return *script;
    }

    void reset() override { devices_.clear(); }

    ScriptedMixerDevice &addDevice(const std::string &name) override
    {
        devices_.push_back(std::make_unique<Device>(name));
        return *devices_.back();
    }

    UINT deviceCount() const { return static_cast<UINT>(devices_.size()); }
    Device *device(UINT index) { return index < devices_.size() ? devices_[index].get() : nullptr; }

private:
    Script() = default;

    std::vector<std::unique_ptr<Device>> devices_;
};

class ScriptedMixerBackend final : public winmm::MixerBackend {
public:
    UINT deviceCount() override { return Script::instance().deviceCount(); }

    bool describe(UINT device, winmm::MixerDeviceInfo &info) override
    {
        Device *found = Script::instance().device(device);
        if (!found)
            return false;
        found->describe(info);
        return true;
    }

    MMRESULT getValues(const winmm::MixerControlAddress &address,
                       std::vector<LONG> &values) override
    {
        Control *control = find(address);
        if (!control)
            return MIXERR_INVALCONTROL;
        values = control->values();
        return MMSYSERR_NOERROR;
    }

    MMRESULT setValues(const winmm::MixerControlAddress &address,
                       const std::vector<LONG> &values) override
    {
        Control *control = find(address);
        if (!control)
            return MIXERR_INVALCONTROL;
        return control->write(values);
    }

private:
    static Control *find(const winmm::MixerControlAddress &address)
    {
        Device *device = Script::instance().device(address.device);
        return device ? device->control(address) : nullptr;
    }
};

}  // namespace

std::unique_ptr<winmm::MixerBackend> makeScriptedMixerBackend()
{
    return std::make_unique<ScriptedMixerBackend>();
}

ScriptedMixer &scriptedMixerScript() { return Script::instance(); }

ScriptedMixer &scriptedMixer()
{
    // Asking for the backend installs the wiring's one.
    static_cast<void>(winmm::mixerBackend());
    return Script::instance();
}

}  // namespace hp::testing
