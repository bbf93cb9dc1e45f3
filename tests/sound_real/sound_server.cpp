#include "tests/sound_real/sound_server.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
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

std::string uniqueSuffix()
{
    static std::atomic<int> counter{0};
    return std::to_string(getpid()) + "_" + std::to_string(++counter);
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

MonitorRecorder::MonitorRecorder(const std::string &sinkName)
    : sinkName_(sinkName), path_("/tmp/hollyphone_monitor_" + uniqueSuffix() + ".raw")
{
}

MonitorRecorder::~MonitorRecorder()
{
    if (process_ > 0)
        stop();
    std::remove(path_.c_str());
}

bool MonitorRecorder::start()
{
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, path_.c_str(),
                                     O_WRONLY | O_CREAT | O_TRUNC, 0600);
    const std::string device = sinkName_ + ".monitor";
    const char *arguments[] = {"parec",          "--raw",           "--format=s16le",
                               "--rate=44100",   "--channels=2",    "--latency-msec=10",
                               "-d",             device.c_str(),    nullptr};
    const int spawned = posix_spawnp(&process_, "parec", &actions, nullptr,
                                     const_cast<char *const *>(arguments), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0) {
        process_ = -1;
        return false;
    }
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (std::chrono::steady_clock::now() < deadline) {
        if (framesSoFar() > 0)
            return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return false;
}

size_t MonitorRecorder::framesSoFar() const
{
    struct stat status {};
    if (stat(path_.c_str(), &status) != 0)
        return 0;
    return static_cast<size_t>(status.st_size) / bytesPerFrame;
}

std::vector<int16_t> MonitorRecorder::stop()
{
    if (process_ > 0) {
        kill(process_, SIGINT);
        int status = 0;
        waitpid(process_, &status, 0);
        process_ = -1;
    }
    std::ifstream file(path_, std::ios::binary);
    std::vector<char> bytes((std::istreambuf_iterator<char>(file)),
                            std::istreambuf_iterator<char>());
    std::vector<int16_t> left;
    left.reserve(bytes.size() / bytesPerFrame);
    for (size_t offset = 0; offset + bytesPerFrame <= bytes.size(); offset += bytesPerFrame) {
        const auto low = static_cast<unsigned char>(bytes[offset]);
        const auto high = static_cast<unsigned char>(bytes[offset + 1]);
        left.push_back(static_cast<int16_t>(low | (high << 8)));
    }
    return left;
}

}  // namespace hp::soundtest
