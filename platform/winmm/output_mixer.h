// Mixer device 0: Hollyphone's own output mixer, always present.
//
//   device "Hollyphone Mixer"
//     destination "Volume Control" (speakers): "Volume", "Mute"  -- master
//       source "Wave"     (wave out):    "Volume", "Mute"  -- files but MIDI
//       source "SW Synth" (synthesizer): "Volume", "Mute"  -- MIDI files
//       source "CD Audio" (compact disc): "Volume", "Mute" -- CD tracks
//
// Every line is stereo; "Volume" is a VOLUME control from 0 to 65535, one
// value per channel, and "Mute" a uniform MUTE (boolean) control, one value
// for both channels, as the platform's mixers have them. A stream's gain on
// each channel is line volume x master volume / 65535^2, and 0 when either
// is muted. A change reaches the streams playing on the line at once, and
// the next stream of a line starts at the line's current gain. Values
// outside a control's bounds are clamped. The levels belong to the process
// (OutputLines), so they survive a reinstalled mixer backend, as a sound
// server keeps its volumes.
//
// Devices 1..n are those of the backend given to the constructor (the ALSA
// cards on Linux), renumbered.
#pragma once

#include <array>
#include <functional>
#include <memory>
#include <mutex>
#include <vector>

#include "platform/winmm/audio_stream.h"
#include "platform/winmm/mixer_backend.h"

namespace hp::winmm {

// The levels of the output lines and the streams that follow them.
// Thread-safe.
class OutputLines {
public:
    static constexpr LONG maximumVolume = 65535;
    static constexpr int channelCount = 2;

    // What one mixer line holds: per channel, a volume and a mute switch.
    struct Levels {
        std::array<LONG, channelCount> volume{maximumVolume, maximumVolume};
        std::array<LONG, channelCount> mute{0, 0};
    };

    // The line a control belongs to: the master or one of the stream lines.
    enum class Line { Master, Wave, Synth, CdAudio };
    static constexpr int lineCount = 4;
    using AllLevels = std::array<Levels, lineCount>;  // by Line

    static OutputLines &instance();

    Levels levels(Line line) const;
    // Clamps volumes to 0..maximumVolume and mutes to 0/1, then updates
    // every stream on the affected lines.
    void setLevels(Line line, const Levels &levels);
    // Back to full volume, unmuted, on every line.
    void reset();

    // Called with every line's levels after each setLevels, on the calling
    // thread and outside the lock (kept_levels.h keeps them in a file).
    // Null: nobody is told.
    void setKeeper(std::function<void(const AllLevels &)> keeper);

    // The gain a stream of this line plays at now.
    StereoGain gain(AudioLine line) const;

    // Keeps a stream at its line's gain for as long as the attachment
    // lives. The stream must outlive the attachment.
    class Attachment {
    public:
        Attachment() = default;
        Attachment(Attachment &&other) noexcept;
        Attachment &operator=(Attachment &&other) noexcept;
        Attachment(const Attachment &) = delete;
        Attachment &operator=(const Attachment &) = delete;
        ~Attachment();

    private:
        friend class OutputLines;
        explicit Attachment(AudioStream *stream) : stream_(stream) {}
        AudioStream *stream_ = nullptr;
    };
    Attachment attach(AudioLine line, AudioStream &stream);

private:
    OutputLines() = default;
    static Line lineOf(AudioLine line);
    StereoGain gainLocked(AudioLine line) const;
    void detach(AudioStream *stream);

    struct Follower {
        AudioLine line;
        AudioStream *stream;
    };

    mutable std::mutex mutex_;
    AllLevels levels_{};
    std::function<void(const AllLevels &)> keeper_;
    std::vector<Follower> followers_;
};

class OutputMixer final : public MixerBackend {
public:
    // cards: the devices numbered from 1 (may be null: none).
    explicit OutputMixer(std::unique_ptr<MixerBackend> cards);

    UINT deviceCount() override;
    bool describe(UINT device, MixerDeviceInfo &info) override;
    MMRESULT getValues(const MixerControlAddress &address, std::vector<LONG> &values) override;
    MMRESULT setValues(const MixerControlAddress &address,
                       const std::vector<LONG> &values) override;

private:
    static void describeOwn(MixerDeviceInfo &info);
    static bool lineOfAddress(const MixerControlAddress &address, OutputLines::Line &line);
    static MixerControlAddress forCards(const MixerControlAddress &address);

    std::unique_ptr<MixerBackend> cards_;
};

}  // namespace hp::winmm
