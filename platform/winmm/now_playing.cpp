#include "platform/winmm/now_playing.h"

#include <algorithm>
#include <cstdio>

namespace hp::winmm {

NowPlaying &NowPlaying::instance()
{
    static NowPlaying nowPlaying;
    return nowPlaying;
}

NowPlaying::State NowPlaying::state() const
{
    std::lock_guard<std::mutex> lock(mutex_);
    State now = state_;
    if (now.playing) {
        const auto played = std::chrono::duration_cast<std::chrono::milliseconds>(
            std::chrono::steady_clock::now() - startedAt_);
        now.positionMs = std::min<uint64_t>(startMs_ + static_cast<uint64_t>(played.count()),
                                            now.lengthMs);
    }
    return now;
}

void NowPlaying::started(MCIDEVICEID device, const std::string &hostPath,
                         const std::string &title, uint64_t lengthMs, uint64_t fromMs)
{
    {
        std::lock_guard<std::mutex> lock(mutex_);
        if (hostPath != state_.hostPath || title != state_.title || state_.trackNumber == 0)
            ++state_.trackNumber;
        state_.playing = true;
        state_.hostPath = hostPath;
        state_.title = title;
        state_.lengthMs = lengthMs;
        state_.positionMs = fromMs;
        device_ = device;
        startMs_ = fromMs;
        startedAt_ = std::chrono::steady_clock::now();
    }
    changed();
}

void NowPlaying::stopped(MCIDEVICEID device)
{
    {
        std::lock_guard<std::mutex> lock(mutex_);
        if (!state_.playing || device != device_)
            return;
        state_.playing = false;
        state_.positionMs = 0;
    }
    changed();
}

void NowPlaying::setListener(std::function<void()> listener)
{
    std::lock_guard<std::mutex> lock(mutex_);
    listener_ = std::move(listener);
}

void NowPlaying::changed()
{
    std::function<void()> listener;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        listener = listener_;
    }
    if (listener)
        listener();
}

std::string titleOfFile(const std::string &hostPath)
{
    const size_t slash = hostPath.find_last_of('/');
    std::string name = slash == std::string::npos ? hostPath : hostPath.substr(slash + 1);
    const size_t dot = name.find_last_of('.');
    if (dot != std::string::npos && dot > 0)
        name.erase(dot);
    return name;
}

std::string titleOfCdTrack(int number)
{
    char title[32];
    std::snprintf(title, sizeof title, "Track %02d", number);
    return title;
}

}  // namespace hp::winmm
