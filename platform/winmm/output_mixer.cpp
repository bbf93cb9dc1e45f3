// Hollyphone's output mixer (device 0) and the line levels behind it.
//
// Supports: one stereo destination with master volume and mute; three
// stereo source lines (Wave, SW Synth, CD Audio) with volume and mute;
// per-channel values; clamping; live gain changes on playing streams.
// Does not support: MULTIPLE controls, meters, recording destinations,
// change notifications to a callback window (MM_MIXM_CONTROL_CHANGE).
#include "platform/winmm/output_mixer.h"

#include <algorithm>

namespace hp::winmm {

// ------------------------------------------------------------ OutputLines

OutputLines &OutputLines::instance()
{
    static OutputLines lines;
    return lines;
}

OutputLines::Line OutputLines::lineOf(AudioLine line)
{
    switch (line) {
    case AudioLine::Wave:
        return Line::Wave;
    case AudioLine::Synth:
        return Line::Synth;
    case AudioLine::CdAudio:
        return Line::CdAudio;
    }
    return Line::Wave;
}

OutputLines::Levels OutputLines::levels(Line line) const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return levels_[static_cast<size_t>(line)];
}

void OutputLines::setLevels(Line line, const Levels &requested)
{
    Levels clamped;
    for (int channel = 0; channel < channelCount; ++channel) {
        clamped.volume[channel] = std::clamp<LONG>(requested.volume[channel], 0, maximumVolume);
        clamped.mute[channel] = requested.mute[channel] != 0 ? 1 : 0;
    }
    AllLevels now;
    std::function<void(const AllLevels &)> keeper;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        levels_[static_cast<size_t>(line)] = clamped;
        for (const Follower &follower : followers_) {
            if (line == Line::Master || lineOf(follower.line) == line)
                follower.stream->setGain(gainLocked(follower.line));
        }
        now = levels_;
        keeper = keeper_;
    }
    if (keeper)
        keeper(now);
}

void OutputLines::setKeeper(std::function<void(const AllLevels &)> keeper)
{
    std::lock_guard<std::mutex> lock(mutex_);
    keeper_ = std::move(keeper);
}

void OutputLines::reset()
{
    std::lock_guard<std::mutex> lock(mutex_);
    levels_.fill(Levels{});
    for (const Follower &follower : followers_)
        follower.stream->setGain(gainLocked(follower.line));
}

StereoGain OutputLines::gain(AudioLine line) const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return gainLocked(line);
}

StereoGain OutputLines::gainLocked(AudioLine line) const
{
    const Levels &master = levels_[static_cast<size_t>(Line::Master)];
    const Levels &own = levels_[static_cast<size_t>(lineOf(line))];
    auto channelGain = [&](int channel) {
        if (master.mute[channel] || own.mute[channel])
            return 0.0;
        return (static_cast<double>(own.volume[channel]) / maximumVolume) *
               (static_cast<double>(master.volume[channel]) / maximumVolume);
    };
    return StereoGain{channelGain(0), channelGain(1)};
}

OutputLines::Attachment OutputLines::attach(AudioLine line, AudioStream &stream)
{
    std::lock_guard<std::mutex> lock(mutex_);
    followers_.push_back(Follower{line, &stream});
    stream.setGain(gainLocked(line));
    return Attachment(&stream);
}

void OutputLines::detach(AudioStream *stream)
{
    std::lock_guard<std::mutex> lock(mutex_);
    followers_.erase(std::remove_if(followers_.begin(), followers_.end(),
                                    [stream](const Follower &f) { return f.stream == stream; }),
                     followers_.end());
}

OutputLines::Attachment::Attachment(Attachment &&other) noexcept : stream_(other.stream_)
{
    other.stream_ = nullptr;
}

OutputLines::Attachment &OutputLines::Attachment::operator=(Attachment &&other) noexcept
{
    if (this != &other) {
        if (stream_)
            OutputLines::instance().detach(stream_);
        stream_ = other.stream_;
        other.stream_ = nullptr;
    }
    return *this;
}

OutputLines::Attachment::~Attachment()
{
    if (stream_)
        OutputLines::instance().detach(stream_);
}

// ------------------------------------------------------------ OutputMixer

namespace {

constexpr DWORD ownDeviceCount = 1;
constexpr DWORD volumeControl = 0;
constexpr DWORD muteControl = 1;

// Source lines in the order the device lists them.
constexpr OutputLines::Line sourceLines[] = {OutputLines::Line::Wave, OutputLines::Line::Synth,
                                             OutputLines::Line::CdAudio};

std::vector<MixerControlInfo> lineControls()
{
    MixerControlInfo volume;
    volume.type = MIXERCONTROL_CONTROLTYPE_VOLUME;
    volume.name = "Volume";
    volume.shortName = "Volume";
    volume.minimum = 0;
    volume.maximum = OutputLines::maximumVolume;
    volume.steps = OutputLines::maximumVolume;

    MixerControlInfo mute;
    mute.type = MIXERCONTROL_CONTROLTYPE_MUTE;
    mute.flags = MIXERCONTROL_CONTROLF_UNIFORM;
    mute.name = "Mute";
    mute.shortName = "Mute";
    mute.minimum = 0;
    mute.maximum = 1;
    return {volume, mute};
}

MixerLineInfo makeLine(const char *name, const char *shortName, DWORD componentType,
                       DWORD targetType)
{
    MixerLineInfo line;
    line.name = name;
    line.shortName = shortName;
    line.componentType = componentType;
    line.channels = OutputLines::channelCount;
    line.targetType = targetType;
    line.controls = lineControls();
    return line;
}

}  // namespace

OutputMixer::OutputMixer(std::unique_ptr<MixerBackend> cards) : cards_(std::move(cards)) {}

UINT OutputMixer::deviceCount()
{
    return ownDeviceCount + (cards_ ? cards_->deviceCount() : 0);
}

void OutputMixer::describeOwn(MixerDeviceInfo &info)
{
    info = MixerDeviceInfo{};
    info.name = "Hollyphone Mixer";
    info.driverVersion = 0x0100;

    MixerDestinationInfo speakers;
    speakers.line = makeLine("Volume Control", "Volume", MIXERLINE_COMPONENTTYPE_DST_SPEAKERS,
                             MIXERLINE_TARGETTYPE_WAVEOUT);
    speakers.sources.push_back(makeLine("Wave", "Wave", MIXERLINE_COMPONENTTYPE_SRC_WAVEOUT,
                                        MIXERLINE_TARGETTYPE_WAVEOUT));
    speakers.sources.push_back(makeLine("SW Synth", "SW Synth",
                                        MIXERLINE_COMPONENTTYPE_SRC_SYNTHESIZER,
                                        MIXERLINE_TARGETTYPE_MIDIOUT));
    speakers.sources.push_back(makeLine("CD Audio", "CD Audio",
                                        MIXERLINE_COMPONENTTYPE_SRC_COMPACTDISC,
                                        MIXERLINE_TARGETTYPE_UNDEFINED));
    info.destinations.push_back(std::move(speakers));
}

bool OutputMixer::describe(UINT device, MixerDeviceInfo &info)
{
    if (device < ownDeviceCount) {
        describeOwn(info);
        return true;
    }
    return cards_ && cards_->describe(device - ownDeviceCount, info);
}

bool OutputMixer::lineOfAddress(const MixerControlAddress &address, OutputLines::Line &line)
{
    if (address.destination != 0 || address.control > muteControl)
        return false;
    if (address.source == MixerControlAddress::noSource) {
        line = OutputLines::Line::Master;
        return true;
    }
    if (address.source >= std::size(sourceLines))
        return false;
    line = sourceLines[address.source];
    return true;
}

MixerControlAddress OutputMixer::forCards(const MixerControlAddress &address)
{
    MixerControlAddress shifted = address;
    shifted.device -= ownDeviceCount;
    return shifted;
}

MMRESULT OutputMixer::getValues(const MixerControlAddress &address, std::vector<LONG> &values)
{
    if (address.device >= ownDeviceCount) {
        if (!cards_)
            return MMSYSERR_BADDEVICEID;
        return cards_->getValues(forCards(address), values);
    }
    OutputLines::Line line;
    if (!lineOfAddress(address, line))
        return MIXERR_INVALCONTROL;
    const OutputLines::Levels levels = OutputLines::instance().levels(line);
    const auto &channels = address.control == volumeControl ? levels.volume : levels.mute;
    values.assign(channels.begin(), channels.end());
    return MMSYSERR_NOERROR;
}

MMRESULT OutputMixer::setValues(const MixerControlAddress &address,
                                const std::vector<LONG> &values)
{
    if (address.device >= ownDeviceCount) {
        if (!cards_)
            return MMSYSERR_BADDEVICEID;
        return cards_->setValues(forCards(address), values);
    }
    OutputLines::Line line;
    if (!lineOfAddress(address, line))
        return MIXERR_INVALCONTROL;
    if (values.empty())
        return MMSYSERR_INVALPARAM;
    OutputLines::Levels levels = OutputLines::instance().levels(line);
    auto &channels = address.control == volumeControl ? levels.volume : levels.mute;
    // One value sets every channel (a control addressed as uniform).
    for (size_t channel = 0; channel < channels.size(); ++channel)
        channels[channel] = values[std::min(channel, values.size() - 1)];
    OutputLines::instance().setLevels(line, levels);
    return MMSYSERR_NOERROR;
}

}  // namespace hp::winmm
