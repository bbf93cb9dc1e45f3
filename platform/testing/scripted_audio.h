// The test twin of the audio engine: no sound, a clock the test moves by
// hand, scripted answers, and a log of what the drivers asked of it.
//
//   auto audio = std::make_shared<hp::testing::ScriptedAudio>();
//   audio->setLength("/tmp/song.mp3", std::chrono::seconds(90));
//   ... open a device over it, play ...
//   audio->advance(std::chrono::seconds(5));   // positions move, ends fire
#pragma once

#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "platform/winmm/audio_stream.h"

namespace hp::testing {

// One request a stream received, in order over all streams of the engine.
struct AudioCall {
    enum class Kind { Play, Stop, Seek, Pause, Resume, Gain };
    Kind kind = Kind::Play;
    int stream = 0;  // which stream: its open's place among all opens, from 1
    std::optional<winmm::AudioTime> from;  // Play: from; Seek: to
    std::optional<winmm::AudioTime> to;    // Play
    winmm::StereoGain gain;                // Gain
};

class ScriptedAudio final : public winmm::AudioEngine {
public:
    ScriptedAudio();
    ~ScriptedAudio() override;

    // ---- script
    // Length of a source by host path (file) or device (CD); default 60 s.
    void setLength(const std::string &pathOrDevice, winmm::AudioTime length);
    // Answer of every later open of this path or device ("" for all); 0
    // opens (the default).
    void setOpenResult(const std::string &pathOrDevice, MCIERROR result);
    void setOutputAvailable(bool available);
    // Makes the next play of every stream fail (false) or succeed again.
    void setPlayAccepted(bool accepted);

    // Moves the clock: playing streams advance; those that reach their end
    // stop and call their end handler.
    void advance(winmm::AudioTime elapsed);
    // The output fails under every playing stream: each stops where it
    // stands and calls its end handler with PlayEnd::Failed.
    void failPlaying();

    // ---- inspection
    const std::vector<winmm::AudioSource> &opens() const { return opens_; }
    std::vector<AudioCall> calls() const;
    void clearCalls();
    // The gain stream n (1-based) plays at now.
    winmm::StereoGain gainOf(int stream) const;

    // ---- AudioEngine
    MCIERROR open(const winmm::AudioSource &source, winmm::StereoGain gain,
                  std::unique_ptr<winmm::AudioStream> &stream) override;
    bool outputAvailable() override;
    int liveStreamCount() override;

private:
    class Stream;
    friend class Stream;

    void record(const AudioCall &call);

    mutable std::mutex mutex_;
    std::map<std::string, winmm::AudioTime> lengths_;
    std::map<std::string, MCIERROR> openResults_;
    bool outputAvailable_ = true;
    bool playAccepted_ = true;
    std::vector<winmm::AudioSource> opens_;
    std::vector<AudioCall> calls_;
    std::vector<Stream *> live_;
};

}  // namespace hp::testing
