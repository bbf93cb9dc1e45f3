// Time and arithmetic helpers of kernel32.
#include <sched.h>
#include <time.h>

#include <cerrno>
#include <cstdint>

#include "platform/win32.h"

namespace {

constexpr DWORD infiniteWait = 0xFFFFFFFF;

}  // namespace

DWORD WINAPI GetTickCount(void)
{
    // Milliseconds since the machine started, wrapping after 49.7 days.
    struct timespec now;
    clock_gettime(CLOCK_BOOTTIME, &now);
    uint64_t milliseconds = static_cast<uint64_t>(now.tv_sec) * 1000u +
                            static_cast<uint64_t>(now.tv_nsec) / 1000000u;
    return static_cast<DWORD>(milliseconds);
}

void WINAPI Sleep(DWORD milliseconds)
{
    if (milliseconds == 0) {
        sched_yield();
        return;
    }
    for (;;) {
        DWORD slice = milliseconds == infiniteWait ? 3600000 : milliseconds;
        struct timespec wait;
        wait.tv_sec = slice / 1000;
        wait.tv_nsec = static_cast<long>(slice % 1000) * 1000000L;
        while (clock_nanosleep(CLOCK_MONOTONIC, 0, &wait, &wait) == EINTR) {
        }
        if (milliseconds != infiniteWait)
            return;
    }
}

INT WINAPI MulDiv(INT number, INT numerator, INT denominator)
{
    if (denominator == 0)
        return -1;
    int64_t product = static_cast<int64_t>(number) * numerator;
    int64_t divisor = denominator;
    if (divisor < 0) {
        product = -product;
        divisor = -divisor;
    }
    // Rounds half away from zero.
    int64_t result = product >= 0 ? (product + divisor / 2) / divisor
                                  : (product - divisor / 2) / divisor;
    if (result > 2147483647 || result < -2147483647)
        return -1;
    return static_cast<INT>(result);
}
