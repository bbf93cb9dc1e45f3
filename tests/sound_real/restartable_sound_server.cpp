#include "tests/sound_real/restartable_sound_server.h"

#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>

#include <chrono>
#include <cstdlib>
#include <thread>

extern char **environ;

namespace hp::soundtest {

RestartableSoundServer::RestartableSoundServer(const std::string &folder) : folder_(folder) {}

RestartableSoundServer::~RestartableSoundServer() { kill(); }

bool RestartableSoundServer::start()
{
    kill();
    const std::string socket = folder_ + "/native";
    const char *arguments[] = {HOLLYPHONE_SOUND_SERVER_DAEMON, folder_.c_str(), sinkName_.c_str(),
                               socket.c_str(), nullptr};
    if (posix_spawn(&process_, arguments[0], nullptr, nullptr,
                    const_cast<char *const *>(arguments), environ) != 0) {
        process_ = -1;
        return false;
    }
    const std::string ask = "pactl --server='" + address() + "' info >/dev/null 2>&1";
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (std::chrono::steady_clock::now() < deadline) {
        if (std::system(ask.c_str()) == 0)
            return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return false;
}

void RestartableSoundServer::kill()
{
    if (process_ <= 0)
        return;
    ::kill(process_, SIGKILL);
    waitpid(process_, nullptr, 0);
    process_ = -1;
}

}  // namespace hp::soundtest
