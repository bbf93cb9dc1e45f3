#include "tests/sound_real/sound_server.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/file.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <thread>

extern char **environ;

namespace hp::soundtest {
namespace {

constexpr int bytesPerFrame = 4;  // 16-bit stereo

// Runs a shell command and returns what it printed (empty on failure).
std::string commandOutput(const std::string &command)
{
    std::string output;
    std::FILE *pipe = popen(command.c_str(), "r");
    if (!pipe)
        return output;
    char buffer[4096];
    size_t read;
    while ((read = std::fread(buffer, 1, sizeof buffer, pipe)) > 0)
        output.append(buffer, read);
    pclose(pipe);
    return output;
}

}  // namespace

std::string soundServerMissing()
{
    const char *server = std::getenv("HOLLYPHONE_SOUND_SERVER");
    if (!server || std::string(server) != "private")
        return "no private sound server: run under scripts/with-sound-server.sh";
    if (std::system("pactl info >/dev/null 2>&1") != 0)
        return "the private sound server does not answer";
    if (std::system("command -v parec >/dev/null 2>&1") != 0)
        return "parec (pulseaudio-utils) is not installed";
    return {};
}

TestSink::TestSink()
{
    const char *sink = std::getenv("HOLLYPHONE_TEST_SINK");
    const char *lockPath = std::getenv("HOLLYPHONE_SOUND_LOCK");
    if (!sink || !lockPath)
        return;
    name_ = sink;
    const int descriptor = open(lockPath, O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (descriptor < 0)
        return;
    if (flock(descriptor, LOCK_EX) != 0) {
        close(descriptor);
        return;
    }
    lock_ = descriptor;
}

TestSink::~TestSink()
{
    if (lock_ >= 0)
        close(lock_);  // releases the lock
}

std::string TestSink::streamListing() const
{
    // The sink's index, then the streams playing to it.
    const std::string sinks = commandOutput("pactl list short sinks");
    std::string index;
    size_t lineStart = 0;
    while (lineStart < sinks.size()) {
        size_t lineEnd = sinks.find('\n', lineStart);
        if (lineEnd == std::string::npos)
            lineEnd = sinks.size();
        const std::string line = sinks.substr(lineStart, lineEnd - lineStart);
        const size_t tab = line.find('\t');
        if (tab != std::string::npos && line.compare(tab + 1, name_.size() + 1, name_ + "\t") == 0)
            index = line.substr(0, tab);
        lineStart = lineEnd + 1;
    }
    if (index.empty())
        return {};
    const std::string all = commandOutput("pactl list sink-inputs");
    std::string listing;
    size_t blockStart = all.find("Sink Input #");
    while (blockStart != std::string::npos) {
        size_t next = all.find("Sink Input #", blockStart + 1);
        const std::string block = all.substr(blockStart, next == std::string::npos
                                                             ? std::string::npos
                                                             : next - blockStart);
        if (block.find("Sink: " + index + "\n") != std::string::npos)
            listing += block;
        blockStart = next;
    }
    return listing;
}

MonitorRecorder::MonitorRecorder(const std::string &sinkName) : sinkName_(sinkName) {}

MonitorRecorder::~MonitorRecorder()
{
    if (process_ > 0)
        stop();
}

bool MonitorRecorder::start()
{
    int pipeEnds[2];
    if (pipe2(pipeEnds, O_CLOEXEC) != 0)
        return false;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, pipeEnds[1], STDOUT_FILENO);
    const std::string device = sinkName_ + ".monitor";
    const char *arguments[] = {"parec",        "--raw",        "--format=s16le",
                               "--rate=44100", "--channels=2", "--latency-msec=10",
                               "-d",           device.c_str(), nullptr};
    const int spawned = posix_spawnp(&process_, "parec", &actions, nullptr,
                                     const_cast<char *const *>(arguments), environ);
    posix_spawn_file_actions_destroy(&actions);
    close(pipeEnds[1]);
    if (spawned != 0) {
        close(pipeEnds[0]);
        process_ = -1;
        return false;
    }
    output_ = pipeEnds[0];
    reader_ = std::thread(&MonitorRecorder::readAll, this);
    const auto deadline = Clock::now() + std::chrono::seconds(5);
    while (Clock::now() < deadline) {
        if (framesSoFar() > 0)
            return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return false;
}

void MonitorRecorder::readAll()
{
    std::vector<char> pending;
    char buffer[4096];
    for (;;) {
        const ssize_t got = read(output_, buffer, sizeof buffer);
        if (got <= 0)
            break;
        const auto arrived = Clock::now();
        pending.insert(pending.end(), buffer, buffer + got);
        const size_t frames = pending.size() / bytesPerFrame;
        std::lock_guard<std::mutex> lock(mutex_);
        for (size_t frame = 0; frame < frames; ++frame) {
            const auto low = static_cast<unsigned char>(pending[frame * bytesPerFrame]);
            const auto high = static_cast<unsigned char>(pending[frame * bytesPerFrame + 1]);
            left_.push_back(static_cast<int16_t>(low | (high << 8)));
        }
        pending.erase(pending.begin(), pending.begin() + static_cast<long>(frames * bytesPerFrame));
        pieces_.push_back({left_.size(), arrived});
    }
}

size_t MonitorRecorder::framesSoFar() const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return left_.size();
}

std::vector<int16_t> MonitorRecorder::stop()
{
    if (process_ > 0) {
        kill(process_, SIGINT);
        int status = 0;
        waitpid(process_, &status, 0);
        process_ = -1;
    }
    if (reader_.joinable())
        reader_.join();
    if (output_ >= 0) {
        close(output_);
        output_ = -1;
    }
    std::lock_guard<std::mutex> lock(mutex_);
    return left_;
}

MonitorRecorder::Clock::time_point MonitorRecorder::arrivalOf(size_t frame) const
{
    std::lock_guard<std::mutex> lock(mutex_);
    for (const Piece &piece : pieces_) {
        if (frame < piece.endFrame)
            return piece.arrived;
    }
    return pieces_.empty() ? Clock::time_point{} : pieces_.back().arrived;
}

}  // namespace hp::soundtest
