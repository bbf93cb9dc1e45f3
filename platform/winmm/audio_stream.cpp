// The engine of a machine without sound.
#include "platform/winmm/audio_stream.h"

namespace hp::winmm {

const char *audioLineLabel(AudioLine line)
{
    switch (line) {
    case AudioLine::Wave:
        return "Wave";
    case AudioLine::Synth:
        return "MIDI";
    case AudioLine::CdAudio:
        return "CD";
    }
    return "Wave";
}

namespace {

class SilentAudioEngine final : public AudioEngine {
public:
    MCIERROR open(const AudioSource &, StereoGain, std::unique_ptr<AudioStream> &) override
    {
        return MCIERR_WAVE_OUTPUTSUNSUITABLE;
    }
    bool outputAvailable() override { return false; }
    int liveStreamCount() override { return 0; }
};

}  // namespace

std::shared_ptr<AudioEngine> makeSilentAudioEngine()
{
    return std::make_shared<SilentAudioEngine>();
}

}  // namespace hp::winmm
