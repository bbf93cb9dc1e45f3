#include "x_session.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cctype>
#include <cstdlib>
#include <cstring>
#include <thread>

namespace gtk_test {
namespace {

std::vector<char *> argumentVector(const std::vector<std::string> &strings)
{
    std::vector<char *> vector;
    for (const std::string &s : strings)
        vector.push_back(const_cast<char *>(s.c_str()));
    vector.push_back(nullptr);
    return vector;
}

// Runs a program to its end and returns its status and standard output.
int runToEnd(const std::vector<std::string> &arguments, const std::vector<std::string> &environment,
             std::string *output)
{
    int pipeEnds[2];
    if (pipe2(pipeEnds, O_CLOEXEC) != 0)
        return -1;
    const pid_t pid = fork();
    if (pid == 0) {
        dup2(pipeEnds[1], STDOUT_FILENO);
        const int null = open("/dev/null", O_WRONLY);
        if (null >= 0)
            dup2(null, STDERR_FILENO);
        for (const std::string &variable : environment)
            putenv(const_cast<char *>(variable.c_str()));
        auto argv = argumentVector(arguments);
        execvp(argv[0], argv.data());
        _exit(127);
    }
    close(pipeEnds[1]);
    std::string collected;
    char buffer[65536];
    ssize_t got;
    while ((got = read(pipeEnds[0], buffer, sizeof buffer)) > 0)
        collected.append(buffer, static_cast<size_t>(got));
    close(pipeEnds[0]);
    int status = 0;
    waitpid(pid, &status, 0);
    if (output)
        *output = std::move(collected);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

}  // namespace

bool haveProgram(const std::string &name)
{
    const char *path = std::getenv("PATH");
    if (!path)
        return false;
    std::string folders = path;
    size_t start = 0;
    while (start <= folders.size()) {
        const size_t end = folders.find(':', start);
        const std::string folder = folders.substr(start, end == std::string::npos ? std::string::npos : end - start);
        if (!folder.empty() && access((folder + "/" + name).c_str(), X_OK) == 0)
            return true;
        if (end == std::string::npos)
            break;
        start = end + 1;
    }
    return false;
}

void pause(std::chrono::milliseconds duration) { std::this_thread::sleep_for(duration); }

// ------------------------------------------------------- ChildProcess ----

ChildProcess::ChildProcess(const std::vector<std::string> &arguments,
                           const std::vector<std::string> &environment)
{
    int pipeEnds[2];
    if (pipe2(pipeEnds, O_CLOEXEC) != 0)
        return;
    pid_ = fork();
    if (pid_ == 0) {
        dup2(pipeEnds[1], STDOUT_FILENO);
        for (const std::string &variable : environment)
            putenv(const_cast<char *>(variable.c_str()));
        auto argv = argumentVector(arguments);
        execvp(argv[0], argv.data());
        _exit(127);
    }
    close(pipeEnds[1]);
    output_ = pipeEnds[0];
    if (pid_ < 0) {
        close(output_);
        output_ = -1;
    }
}

ChildProcess::~ChildProcess()
{
    if (pid_ > 0) {
        kill(pid_, SIGTERM);
        for (int i = 0; i < 50; ++i) {
            if (waitpid(pid_, nullptr, WNOHANG) == pid_) {
                pid_ = -1;
                break;
            }
            pause(std::chrono::milliseconds(20));
        }
        if (pid_ > 0) {
            kill(pid_, SIGKILL);
            waitpid(pid_, nullptr, 0);
        }
    }
    if (output_ >= 0)
        close(output_);
}

bool ChildProcess::readMore(std::chrono::milliseconds timeout)
{
    if (output_ < 0)
        return false;
    pollfd waiting{output_, POLLIN, 0};
    if (poll(&waiting, 1, static_cast<int>(timeout.count())) <= 0)
        return false;
    char buffer[4096];
    const ssize_t got = read(output_, buffer, sizeof buffer);
    if (got <= 0) {
        close(output_);
        output_ = -1;
        return false;
    }
    pending_.append(buffer, static_cast<size_t>(got));
    size_t newline;
    while ((newline = pending_.find('\n')) != std::string::npos) {
        lines_.push_back(pending_.substr(0, newline));
        pending_.erase(0, newline + 1);
    }
    return true;
}

std::string ChildProcess::waitForLine(const std::string &prefix, std::chrono::milliseconds timeout)
{
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    size_t searched = 0;
    for (;;) {
        taken_.resize(lines_.size(), false);
        for (; searched < lines_.size(); ++searched) {
            if (!taken_[searched] && lines_[searched].compare(0, prefix.size(), prefix) == 0) {
                taken_[searched] = true;
                return lines_[searched];
            }
        }
        const auto now = std::chrono::steady_clock::now();
        if (now >= deadline || output_ < 0)
            return {};
        readMore(std::chrono::duration_cast<std::chrono::milliseconds>(deadline - now));
    }
}

int ChildProcess::waitForExit(std::chrono::milliseconds timeout)
{
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (std::chrono::steady_clock::now() < deadline) {
        readMore(std::chrono::milliseconds(20));
        int status = 0;
        if (pid_ > 0 && waitpid(pid_, &status, WNOHANG) == pid_) {
            pid_ = -1;
            return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
        }
    }
    return -1;
}

// ---------------------------------------------------------- Screenshot ----

uint32_t Screenshot::pixel(int x, int y) const
{
    const size_t at = (static_cast<size_t>(y) * width + x) * 3;
    return (static_cast<uint32_t>(rgb[at]) << 16) | (static_cast<uint32_t>(rgb[at + 1]) << 8) |
           rgb[at + 2];
}

// ------------------------------------------------------------ XSession ----

XSession::XSession()
{
    if (!haveProgram("Xvfb"))
        return;
    int number = 120 + static_cast<int>(getpid() % 400);
    for (; number < 1000; ++number) {
        struct stat info;
        const std::string lock = "/tmp/.X" + std::to_string(number) + "-lock";
        const std::string socket = "/tmp/.X11-unix/X" + std::to_string(number);
        if (stat(lock.c_str(), &info) != 0 && stat(socket.c_str(), &info) != 0)
            break;
    }
    display_ = ":" + std::to_string(number);
    server_ = new ChildProcess({"Xvfb", display_, "-screen", "0", "1024x768x24", "-nolisten", "tcp", "-ac"}, {});
    const std::string socket = "/tmp/.X11-unix/X" + std::to_string(number);
    for (int i = 0; i < 100; ++i) {
        struct stat info;
        if (stat(socket.c_str(), &info) == 0)
            return;
        pause(std::chrono::milliseconds(50));
    }
    delete server_;
    server_ = nullptr;
}

XSession::~XSession() { delete server_; }

std::vector<std::string> XSession::environment() const
{
    return {"DISPLAY=" + display_, "GDK_BACKEND=x11", "NO_AT_BRIDGE=1", "GDK_SCALE=1",
            "GDK_DPI_SCALE=1", "GTK_THEME=Adwaita"};
}

bool XSession::xdotool(const std::vector<std::string> &arguments)
{
    std::vector<std::string> command{"xdotool"};
    command.insert(command.end(), arguments.begin(), arguments.end());
    return runToEnd(command, environment(), nullptr) == 0;
}

Screenshot XSession::screenshot()
{
    Screenshot shot;
    std::string ppm;
    if (runToEnd({"import", "-display", display_, "-window", "root", "-depth", "8", "ppm:-"},
                 environment(), &ppm) != 0)
        return shot;
    // P6 <width> <height> <maximum> then the samples.
    size_t at = 0;
    auto field = [&]() -> std::string {
        while (at < ppm.size() && std::isspace(static_cast<unsigned char>(ppm[at])))
            ++at;
        const size_t start = at;
        while (at < ppm.size() && !std::isspace(static_cast<unsigned char>(ppm[at])))
            ++at;
        return ppm.substr(start, at - start);
    };
    if (field() != "P6")
        return shot;
    shot.width = std::atoi(field().c_str());
    shot.height = std::atoi(field().c_str());
    field();
    ++at;
    const size_t bytes = static_cast<size_t>(shot.width) * shot.height * 3;
    if (ppm.size() < at + bytes) {
        shot.width = shot.height = 0;
        return shot;
    }
    shot.rgb.assign(ppm.begin() + static_cast<std::ptrdiff_t>(at),
                    ppm.begin() + static_cast<std::ptrdiff_t>(at + bytes));
    return shot;
}

}  // namespace gtk_test
