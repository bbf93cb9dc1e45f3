// The other processes of the user's session that run on this layer, and
// how they reach each other's windows: FindWindowA, SendMessageA and
// SetForegroundWindow on another process's window come through here, as the
// platform's window manager serves them for every process of a desktop.
//
// Each process with a top-level window listens on a Unix socket,
// "windows.<pid>" in the session folder (kernel32/session_folder.h, the
// user's alone; peers of another user are refused as well). A caller
// connects, writes one request (peer_message.h), closes its side and reads
// the reply. A listener thread accepts one connection at a time and hands
// the request to the answer function given to serve(); the window system's
// answers are made on its GUI thread, so a window procedure gets a message
// from another process the way the platform delivers one: while its thread
// looks at its queue.
//
// A process that does not answer in time counts as absent (findTimeoutMs
// for finding and raising, sendTimeoutMs for a message: the platform would
// wait for ever). The socket of a process that has ended without removing
// it is removed by the next caller that finds it refusing. Only programs on
// this layer are found, not the windows of other X clients.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <thread>

#include "platform/kernel32/unique_fd.h"
#include "platform/user32/peer_message.h"

namespace hp::user32 {

constexpr int findTimeoutMs = 5000;
constexpr int sendTimeoutMs = 30000;

// How long an answer to this request may take.
int answerTimeoutMs(const PeerRequest &request);

class WindowPeers {
public:
    // Called on the listener thread; returns within answerTimeoutMs.
    using Answer = std::function<PeerReply(const PeerRequest &)>;

    struct PeerWindow {
        long process = 0;
        uint64_t handle = 0;  // in that process
    };

    // folder: the session folder; self: this process's id.
    WindowPeers(std::string folder, long self);
    ~WindowPeers();
    WindowPeers(const WindowPeers &) = delete;
    WindowPeers &operator=(const WindowPeers &) = delete;

    // Starts answering other processes; later calls do nothing. False when
    // the socket cannot be made (the process then cannot be reached).
    bool serve(Answer answer);
    // Removes the socket, for a process about to end without its exit
    // list; the listener stops taking calls.
    void withdraw();

    // The first top-level window of another process whose class and title
    // match (each ASCII case-insensitive; none: any), processes by id.
    std::optional<PeerWindow> find(const std::optional<std::string> &className,
                                   const std::optional<std::string> &title);
    // One request to one process; none when it cannot be reached or does
    // not answer in time.
    std::optional<PeerReply> ask(long process, const PeerRequest &request);

private:
    std::string socketPath(long process) const;
    void listen();

    std::string folder_;
    long self_;
    Answer answer_;
    kernel32::UniqueFd listener_;
    std::thread listenerThread_;
};

}  // namespace hp::user32
