// A private X server for one test, the programs run on it, and the tools
// that play the user (xdotool) and read the screen (ImageMagick's import).
#pragma once

#include <sys/types.h>

#include <chrono>
#include <cstdint>
#include <string>
#include <vector>

namespace gtk_test {

// Whether a program is on the PATH.
bool haveProgram(const std::string &name);

// A child process with its standard output readable line by line.
class ChildProcess {
public:
    ChildProcess(const std::vector<std::string> &arguments, const std::vector<std::string> &environment);
    ~ChildProcess();
    ChildProcess(const ChildProcess &) = delete;
    ChildProcess &operator=(const ChildProcess &) = delete;

    bool started() const { return pid_ > 0; }
    // The first line not taken yet that starts with `prefix`, waiting for
    // it if need be; empty when none came within the timeout. Each line is
    // taken once, so lines of different kinds may be awaited in any order.
    std::string waitForLine(const std::string &prefix, std::chrono::milliseconds timeout);
    // Everything read so far.
    const std::vector<std::string> &transcript() const { return lines_; }
    // Waits for the exit; the exit status, or -1 on timeout.
    int waitForExit(std::chrono::milliseconds timeout);

private:
    bool readMore(std::chrono::milliseconds timeout);

    pid_t pid_ = -1;
    int output_ = -1;
    std::string pending_;
    std::vector<std::string> lines_;
    std::vector<bool> taken_;
};

struct Screenshot {
    int width = 0;
    int height = 0;
    std::vector<uint8_t> rgb;
    uint32_t pixel(int x, int y) const;  // 0xRRGGBB
};

class XSession {
public:
    XSession();
    ~XSession();
    XSession(const XSession &) = delete;
    XSession &operator=(const XSession &) = delete;

    bool running() const { return server_ != nullptr; }
    const std::string &display() const { return display_; }
    std::vector<std::string> environment() const;

    // Runs xdotool with these arguments on this display; true on success.
    bool xdotool(const std::vector<std::string> &arguments);
    Screenshot screenshot();

private:
    std::string display_;
    ChildProcess *server_ = nullptr;
};

void pause(std::chrono::milliseconds duration);

}  // namespace gtk_test
