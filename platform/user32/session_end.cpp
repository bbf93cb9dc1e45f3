#include "platform/user32/session_end.h"

#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <thread>

#include "platform/user32/display_backend.h"

namespace hp::user32 {
namespace {

constexpr int noSessionEnd = 0;
constexpr int displayLost = -1;

// noSessionEnd, displayLost, or the signal that ended the session. Lock-free,
// so the signal handler may set it.
std::atomic<int> pendingEnd{noSessionEnd};
static_assert(std::atomic<int>::is_always_lock_free);

int wakePipe[2] = {-1, -1};

constexpr int watchedSignals[] = {SIGTERM, SIGHUP, SIGINT};

void onSignal(int signalNumber)
{
    const int savedErrno = errno;
    int expected = noSessionEnd;
    if (!pendingEnd.compare_exchange_strong(expected, signalNumber)) {
        // The session is ending already: this one ends the process now.
        signal(signalNumber, SIG_DFL);
        raise(signalNumber);
        errno = savedErrno;
        return;
    }
    const char byte = 1;
    [[maybe_unused]] const ssize_t written = write(wakePipe[1], &byte, 1);
    errno = savedErrno;
}

// Reads the self-pipe and wakes the GUI loop, which then finds the end.
void watchWakePipe()
{
    for (;;) {
        char byte;
        const ssize_t got = read(wakePipe[0], &byte, 1);
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0)
            return;
        if (DisplayBackend *display = existingDisplayBackend())
            display->wake();
    }
}

}  // namespace

void watchSessionEndSignals()
{
    if (wakePipe[0] >= 0)
        return;
    if (pipe2(wakePipe, O_CLOEXEC) != 0) {
        std::fprintf(stderr, "Hollyphone: no pipe for the session's end; signals keep their "
                             "default action\n");
        return;
    }
    std::thread(watchWakePipe).detach();
    struct sigaction action = {};
    action.sa_handler = onSignal;
    action.sa_flags = SA_RESTART;
    sigemptyset(&action.sa_mask);
    for (int watched : watchedSignals)
        sigaddset(&action.sa_mask, watched);
    for (int watched : watchedSignals)
        sigaction(watched, &action, nullptr);
}

void requestSessionEndForLostDisplay()
{
    int expected = noSessionEnd;
    pendingEnd.compare_exchange_strong(expected, displayLost);
}

bool sessionEndRequested() { return pendingEnd.load() != noSessionEnd; }

LPARAM sessionEndReason()
{
    const int end = pendingEnd.load();
    return (end == displayLost || end == SIGHUP) ? static_cast<LPARAM>(ENDSESSION_LOGOFF)
                                                 : static_cast<LPARAM>(ENDSESSION_CLOSEAPP);
}

void endProcessForSession()
{
    std::fflush(nullptr);
    const int end = pendingEnd.load();
    if (end > 0) {
        signal(end, SIG_DFL);
        sigset_t unblocked;
        sigemptyset(&unblocked);
        sigaddset(&unblocked, end);
        pthread_sigmask(SIG_UNBLOCK, &unblocked, nullptr);
        raise(end);
        _exit(128 + end);
    }
    _exit(1);
}

}  // namespace hp::user32
