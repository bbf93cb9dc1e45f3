// What the MCI devices play now, for the desktop's media controls: every
// file device's play, stop, close and end passes through here, so the
// layer knows without the program's help whether a file plays, which one
// and how long it is.
#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>

#include "platform/win32.h"

namespace hp::winmm {

class NowPlaying {
public:
    struct State {
        bool playing = false;
        // The file last played (host path; "" before any and for a CD) and
        // the title the desktop shows; both kept after a stop.
        std::string hostPath;
        std::string title;
        uint64_t lengthMs = 0;
        uint64_t positionMs = 0;  // where the track is now
        // Counts the plays of a new file or track (1 for the first): a
        // track's identity.
        uint64_t trackNumber = 0;
    };

    static NowPlaying &instance();

    State state() const;

    // A device started playing a file (or a CD track) from fromMs.
    void started(MCIDEVICEID device, const std::string &hostPath, const std::string &title,
                 uint64_t lengthMs, uint64_t fromMs);
    // The device stopped, was closed or reached its end: only the device
    // that plays now changes the state. Any thread.
    void stopped(MCIDEVICEID device);

    // Told after each change (any thread, outside the lock). Null: nobody.
    void setListener(std::function<void()> listener);

private:
    NowPlaying() = default;
    void changed();

    mutable std::mutex mutex_;
    State state_;
    MCIDEVICEID device_ = 0;
    std::chrono::steady_clock::time_point startedAt_{};
    uint64_t startMs_ = 0;
    std::function<void()> listener_;
};

// The title a track shows on the desktop: its file's name without the
// extension. The layer reads no tags of its own, and the queue's "[Artist]
// Title" naming is the program's rule, so the file name is taken as it is.
std::string titleOfFile(const std::string &hostPath);

// A CD track's title: "Track 03".
std::string titleOfCdTrack(int number);

}  // namespace hp::winmm
