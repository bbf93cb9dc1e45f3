#include "platform/testing/scripted_audio.h"

#include <algorithm>
#include <chrono>

namespace hp::testing {

using winmm::AudioTime;

namespace {
constexpr AudioTime defaultLength = std::chrono::seconds(60);
}

class ScriptedAudio::Stream final : public winmm::AudioStream {
public:
    Stream(ScriptedAudio &engine, int number, AudioTime length, winmm::StereoGain gain)
        : engine_(engine), number_(number), length_(length), gain_(gain)
    {
    }

    ~Stream() override
    {
        std::lock_guard<std::mutex> lock(engine_.mutex_);
        auto &live = engine_.live_;
        live.erase(std::remove(live.begin(), live.end(), this), live.end());
    }

    AudioTime length() override { return length_; }

    AudioTime position() override
    {
        std::lock_guard<std::mutex> lock(engine_.mutex_);
        return position_;
    }

    winmm::PlaybackState state() override
    {
        std::lock_guard<std::mutex> lock(engine_.mutex_);
        return state_;
    }

    bool play(std::optional<AudioTime> from, std::optional<AudioTime> to) override
    {
        engine_.record({AudioCall::Kind::Play, number_, from, to, {}});
        std::lock_guard<std::mutex> lock(engine_.mutex_);
        if (!engine_.playAccepted_)
            return false;
        if (from)
            position_ = *from;
        end_ = to.value_or(length_);
        state_ = winmm::PlaybackState::Playing;
        return true;
    }

    void stop(Wait) override
    {
        engine_.record({AudioCall::Kind::Stop, number_, std::nullopt, std::nullopt, {}});
        std::lock_guard<std::mutex> lock(engine_.mutex_);
        state_ = winmm::PlaybackState::Stopped;
    }

    bool seek(AudioTime to) override
    {
        engine_.record({AudioCall::Kind::Seek, number_, to, std::nullopt, {}});
        std::lock_guard<std::mutex> lock(engine_.mutex_);
        position_ = std::min(to, length_);
        state_ = winmm::PlaybackState::Stopped;
        return true;
    }

    void pause() override
    {
        engine_.record({AudioCall::Kind::Pause, number_, std::nullopt, std::nullopt, {}});
        std::lock_guard<std::mutex> lock(engine_.mutex_);
        if (state_ == winmm::PlaybackState::Playing)
            state_ = winmm::PlaybackState::Paused;
    }

    void resume() override
    {
        engine_.record({AudioCall::Kind::Resume, number_, std::nullopt, std::nullopt, {}});
        std::lock_guard<std::mutex> lock(engine_.mutex_);
        if (state_ == winmm::PlaybackState::Paused)
            state_ = winmm::PlaybackState::Playing;
    }

    void setGain(winmm::StereoGain gain) override
    {
        engine_.record({AudioCall::Kind::Gain, number_, std::nullopt, std::nullopt, gain});
        std::lock_guard<std::mutex> lock(engine_.mutex_);
        gain_ = gain;
    }

    void setEndHandler(std::function<void(winmm::PlayEnd)> handler) override
    {
        std::lock_guard<std::mutex> lock(engine_.mutex_);
        endHandler_ = std::move(handler);
    }

    // Called with the engine's lock held; returns the handler to call when
    // this step reached the end.
    std::function<void(winmm::PlayEnd)> advanceLocked(AudioTime elapsed)
    {
        if (state_ != winmm::PlaybackState::Playing)
            return nullptr;
        position_ = std::min(position_ + elapsed, end_);
        if (position_ < end_)
            return nullptr;
        return stopLocked();
    }

    // Called with the engine's lock held: a playing stream stops and
    // returns the handler to call.
    std::function<void(winmm::PlayEnd)> failLocked()
    {
        return state_ == winmm::PlaybackState::Playing ? stopLocked() : nullptr;
    }

    int number() const { return number_; }
    winmm::StereoGain gainLocked() const { return gain_; }

private:
    std::function<void(winmm::PlayEnd)> stopLocked()
    {
        state_ = winmm::PlaybackState::Stopped;
        return endHandler_ ? endHandler_ : [](winmm::PlayEnd) {};
    }

    ScriptedAudio &engine_;
    const int number_;
    const AudioTime length_;
    AudioTime position_{0};
    AudioTime end_{0};
    winmm::PlaybackState state_ = winmm::PlaybackState::Stopped;
    winmm::StereoGain gain_;
    std::function<void(winmm::PlayEnd)> endHandler_;
};

ScriptedAudio::ScriptedAudio() = default;
ScriptedAudio::~ScriptedAudio() = default;

void ScriptedAudio::setLength(const std::string &pathOrDevice, AudioTime length)
{
    std::lock_guard<std::mutex> lock(mutex_);
    lengths_[pathOrDevice] = length;
}

void ScriptedAudio::setOpenResult(const std::string &pathOrDevice, MCIERROR result)
{
    std::lock_guard<std::mutex> lock(mutex_);
    openResults_[pathOrDevice] = result;
}

void ScriptedAudio::setOutputAvailable(bool available)
{
    std::lock_guard<std::mutex> lock(mutex_);
    outputAvailable_ = available;
}

void ScriptedAudio::setPlayAccepted(bool accepted)
{
    std::lock_guard<std::mutex> lock(mutex_);
    playAccepted_ = accepted;
}

void ScriptedAudio::advance(AudioTime elapsed)
{
    std::vector<std::function<void(winmm::PlayEnd)>> ended;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        for (Stream *stream : live_) {
            if (auto handler = stream->advanceLocked(elapsed))
                ended.push_back(std::move(handler));
        }
    }
    for (auto &handler : ended)
        handler(winmm::PlayEnd::Reached);
}

void ScriptedAudio::failPlaying()
{
    std::vector<std::function<void(winmm::PlayEnd)>> failed;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        for (Stream *stream : live_) {
            if (auto handler = stream->failLocked())
                failed.push_back(std::move(handler));
        }
    }
    for (auto &handler : failed)
        handler(winmm::PlayEnd::Failed);
}

std::vector<AudioCall> ScriptedAudio::calls() const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return calls_;
}

void ScriptedAudio::clearCalls()
{
    std::lock_guard<std::mutex> lock(mutex_);
    calls_.clear();
}

winmm::StereoGain ScriptedAudio::gainOf(int stream) const
{
    std::lock_guard<std::mutex> lock(mutex_);
    for (const Stream *live : live_) {
        if (live->number() == stream)
            return live->gainLocked();
    }
    return {};
}

void ScriptedAudio::record(const AudioCall &call)
{
    std::lock_guard<std::mutex> lock(mutex_);
    calls_.push_back(call);
}

MCIERROR ScriptedAudio::open(const winmm::AudioSource &source, winmm::StereoGain gain,
                             std::unique_ptr<winmm::AudioStream> &stream)
{
    std::lock_guard<std::mutex> lock(mutex_);
    opens_.push_back(source);
    const std::string &key =
        source.kind == winmm::AudioSource::Kind::CdDisc ? source.cdDevice : source.hostPath;
    for (const std::string &scripted : {key, std::string()}) {
        auto result = openResults_.find(scripted);
        if (result != openResults_.end() && result->second != 0)
            return result->second;
    }
    auto length = lengths_.find(key);
    auto created = std::make_unique<Stream>(*this, static_cast<int>(opens_.size()),
                                            length != lengths_.end() ? length->second
                                                                     : defaultLength,
                                            gain);
    live_.push_back(created.get());
    stream = std::move(created);
    return 0;
}

bool ScriptedAudio::outputAvailable()
{
    std::lock_guard<std::mutex> lock(mutex_);
    return outputAvailable_;
}

int ScriptedAudio::liveStreamCount()
{
    std::lock_guard<std::mutex> lock(mutex_);
    return static_cast<int>(live_.size());
}

}  // namespace hp::testing
