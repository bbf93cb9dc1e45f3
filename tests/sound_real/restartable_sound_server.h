// A sound server of the test's own (scripts/sound-server-daemon.sh) that the
// test kills and starts again at the same address, as a crash and a restart
// of the desktop's server would: nobody else plays to it, so it needs no
// lock. Killed with the object.
#pragma once

#include <sys/types.h>

#include <string>

namespace hp::soundtest {

class RestartableSoundServer {
public:
    explicit RestartableSoundServer(const std::string &folder);
    ~RestartableSoundServer();
    RestartableSoundServer(const RestartableSoundServer &) = delete;
    RestartableSoundServer &operator=(const RestartableSoundServer &) = delete;

    // Starts the server; true once it answers (within 5 s).
    bool start();
    // Ends it at once (SIGKILL): its clients lose their streams.
    void kill();

    // What PULSE_SERVER is set to for its clients.
    std::string address() const { return "unix:" + folder_ + "/native"; }
    const std::string &sinkName() const { return sinkName_; }

private:
    std::string folder_;
    std::string sinkName_ = "hollyphone_own";
    pid_t process_ = -1;
};

}  // namespace hp::soundtest
