// The private sound server of scripts/with-sound-server.sh, as the sound
// tests use it: its null sink, held by one test at a time (tests running
// side by side would hear each other), and a recorder of its monitor.
#pragma once

#include <sys/types.h>

#include <chrono>
#include <cstdint>
#include <mutex>
#include <thread>
#include <string>
#include <vector>

namespace hp::soundtest {

// Why sound tests cannot run here, or "" when they can: the private server
// must be running (the tests never play to a user's session).
std::string soundServerMissing();

// The server's null sink (its default output), held exclusively while the
// object lives.
class TestSink {
public:
    TestSink();
    ~TestSink();
    TestSink(const TestSink &) = delete;
    TestSink &operator=(const TestSink &) = delete;

    bool held() const { return lock_ >= 0; }
    const std::string &name() const { return name_; }

    // The sound server's description of the streams playing to this sink
    // ("pactl list sink-inputs" restricted to it).
    std::string streamListing() const;

private:
    std::string name_;
    int lock_ = -1;
};

// Records a sink's monitor (16-bit stereo at 44100 Hz) with parec, reading
// its output as it comes and noting when each piece arrived.
class MonitorRecorder {
public:
    using Clock = std::chrono::steady_clock;

    explicit MonitorRecorder(const std::string &sinkName);
    ~MonitorRecorder();
    MonitorRecorder(const MonitorRecorder &) = delete;
    MonitorRecorder &operator=(const MonitorRecorder &) = delete;

    // Starts recording and returns once samples arrive (false on failure).
    bool start();
    // Frames recorded so far.
    size_t framesSoFar() const;
    // Stops and returns the left channel of everything recorded.
    std::vector<int16_t> stop();
    // When the piece holding this frame arrived (after stop()).
    Clock::time_point arrivalOf(size_t frame) const;

private:
    void readAll();

    struct Piece {
        size_t endFrame;
        Clock::time_point arrived;
    };

    std::string sinkName_;
    pid_t process_ = -1;
    int output_ = -1;
    std::thread reader_;
    mutable std::mutex mutex_;
    std::vector<int16_t> left_;
    std::vector<Piece> pieces_;
};

}  // namespace hp::soundtest
