#include "platform/user32/window_peers.h"

#include <dirent.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <memory>
#include <vector>

namespace hp::user32 {
namespace {

using kernel32::UniqueFd;

constexpr std::string_view socketPrefix = "windows.";

void setTimeouts(int fd, int milliseconds)
{
    timeval limit{};
    limit.tv_sec = milliseconds / 1000;
    limit.tv_usec = (milliseconds % 1000) * 1000;
    setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &limit, sizeof limit);
    setsockopt(fd, SOL_SOCKET, SO_SNDTIMEO, &limit, sizeof limit);
}

bool writeAll(int fd, std::string_view bytes)
{
    while (!bytes.empty()) {
        const ssize_t sent = send(fd, bytes.data(), bytes.size(), MSG_NOSIGNAL);
        if (sent < 0 && errno == EINTR)
            continue;
        if (sent <= 0)
            return false;
        bytes.remove_prefix(static_cast<size_t>(sent));
    }
    return true;
}

// Everything until the other side closes; false on an error, a timeout or
// more than `limit` bytes.
bool readAll(int fd, size_t limit, std::string &bytes)
{
    char buffer[65536];
    for (;;) {
        const ssize_t got = recv(fd, buffer, sizeof buffer, 0);
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            return false;
        if (got == 0)
            return true;
        if (bytes.size() + static_cast<size_t>(got) > limit)
            return false;
        bytes.append(buffer, static_cast<size_t>(got));
    }
}

bool addressOf(const std::string &path, sockaddr_un &address)
{
    address = sockaddr_un{};
    address.sun_family = AF_UNIX;
    if (path.size() >= sizeof address.sun_path)
        return false;
    std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
    return true;
}

bool sameUser(int fd)
{
    ucred credentials{};
    socklen_t size = sizeof credentials;
    return getsockopt(fd, SOL_SOCKET, SO_PEERCRED, &credentials, &size) == 0 &&
           credentials.uid == getuid();
}

// The ids of the processes whose sockets are in the folder.
std::vector<long> listedProcesses(const std::string &folder)
{
    std::vector<long> processes;
    std::unique_ptr<DIR, int (*)(DIR *)> dir(opendir(folder.c_str()), closedir);
    if (!dir)
        return processes;
    while (const dirent *entry = readdir(dir.get())) {
        const std::string_view name = entry->d_name;
        if (name.substr(0, socketPrefix.size()) != socketPrefix)
            continue;
        const std::string_view digits = name.substr(socketPrefix.size());
        if (digits.empty() || digits.size() > 9 ||
            digits.find_first_not_of("0123456789") != std::string_view::npos)
            continue;
        processes.push_back(std::stol(std::string(digits)));
    }
    std::sort(processes.begin(), processes.end());
    return processes;
}

}  // namespace

int answerTimeoutMs(const PeerRequest &request)
{
    return request.kind == PeerRequest::Kind::Send ? sendTimeoutMs : findTimeoutMs;
}

WindowPeers::WindowPeers(std::string folder, long self) : folder_(std::move(folder)), self_(self) {}

WindowPeers::~WindowPeers()
{
    withdraw();
    if (listenerThread_.joinable())
        listenerThread_.join();
}

std::string WindowPeers::socketPath(long process) const
{
    return folder_ + "/" + std::string(socketPrefix) + std::to_string(process);
}

bool WindowPeers::serve(Answer answer)
{
    if (listener_.valid())
        return true;
    const std::string path = socketPath(self_);
    sockaddr_un address;
    if (folder_.empty() || !addressOf(path, address))
        return false;
    UniqueFd socketFd(socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0));
    if (!socketFd.valid())
        return false;
    // A socket under our id can only be left by an ended process.
    unlink(path.c_str());
    if (bind(socketFd.get(), reinterpret_cast<const sockaddr *>(&address), sizeof address) != 0 ||
        ::listen(socketFd.get(), 8) != 0)
        return false;
    answer_ = std::move(answer);
    listener_ = std::move(socketFd);
    listenerThread_ = std::thread([this] { listen(); });
    return true;
}

void WindowPeers::withdraw()
{
    if (!listener_.valid())
        return;
    unlink(socketPath(self_).c_str());
    // Ends the listener's accept(); the descriptor goes with the object.
    shutdown(listener_.get(), SHUT_RDWR);
}

void WindowPeers::listen()
{
    for (;;) {
        const int accepted = accept4(listener_.get(), nullptr, nullptr, SOCK_CLOEXEC);
        if (accepted < 0 && (errno == EINTR || errno == ECONNABORTED))
            continue;
        if (accepted < 0)
            return;
        UniqueFd connection(accepted);
        if (!sameUser(connection.get()))
            continue;
        setTimeouts(connection.get(), findTimeoutMs);
        std::string bytes;
        if (!readAll(connection.get(), maximumPeerRequestBytes, bytes))
            continue;
        const std::optional<PeerRequest> request = decodePeerRequest(bytes);
        const PeerReply reply = request ? answer_(*request) : PeerReply{};
        writeAll(connection.get(), encodePeerReply(reply));
    }
}

std::optional<WindowPeers::PeerWindow> WindowPeers::find(const std::optional<std::string> &className,
                                                         const std::optional<std::string> &title)
{
    PeerRequest request;
    request.kind = PeerRequest::Kind::Find;
    request.className = className;
    request.title = title;
    for (long process : listedProcesses(folder_)) {
        if (process == self_)
            continue;
        const std::optional<PeerReply> reply = ask(process, request);
        if (reply && reply->done)
            return PeerWindow{process, static_cast<uint64_t>(reply->value)};
    }
    return std::nullopt;
}

std::optional<PeerReply> WindowPeers::ask(long process, const PeerRequest &request)
{
    const std::string path = socketPath(process);
    sockaddr_un address;
    if (folder_.empty() || !addressOf(path, address))
        return std::nullopt;
    UniqueFd connection(socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0));
    if (!connection.valid())
        return std::nullopt;
    setTimeouts(connection.get(), answerTimeoutMs(request) + 1000);
    if (connect(connection.get(), reinterpret_cast<const sockaddr *>(&address), sizeof address) != 0) {
        const bool refused = errno == ECONNREFUSED || errno == ENOENT;
        if (refused && kill(static_cast<pid_t>(process), 0) != 0 && errno == ESRCH)
            unlink(path.c_str());
        return std::nullopt;
    }
    if (!sameUser(connection.get()) || !writeAll(connection.get(), encodePeerRequest(request)))
        return std::nullopt;
    shutdown(connection.get(), SHUT_WR);
    std::string bytes;
    if (!readAll(connection.get(), peerReplyBytes, bytes))
        return std::nullopt;
    return decodePeerReply(bytes);
}

}  // namespace hp::user32
