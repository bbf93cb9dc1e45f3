#include "platform/kernel32/host_file_info.h"

#include <fcntl.h>

#include <cerrno>

namespace hp::kernel32 {
namespace {

constexpr int64_t secondsFrom1601To1970 = 11644473600LL;
constexpr int64_t fileTimeTicksPerSecond = 10000000;

FILETIME fileTimeOf(const struct statx_timestamp &stamp)
{
    return fileTimeFromUnix(stamp.tv_sec, static_cast<long>(stamp.tv_nsec));
}

}  // namespace

bool isReadOnlyMode(mode_t mode) { return (mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0; }

FILETIME fileTimeFromUnix(int64_t seconds, long nanoseconds)
{
    int64_t ticks = (seconds + secondsFrom1601To1970) * fileTimeTicksPerSecond + nanoseconds / 100;
    if (ticks < 0)
        ticks = 0;
    FILETIME time;
    time.dwLowDateTime = static_cast<DWORD>(ticks & 0xFFFFFFFF);
    time.dwHighDateTime = static_cast<DWORD>(static_cast<uint64_t>(ticks) >> 32);
    return time;
}

int readHostFileInfo(const std::string &hostPath, const std::string &name, HostFileInfo &info)
{
    info = HostFileInfo{};
    struct statx details;
    unsigned mask = STATX_TYPE | STATX_MODE | STATX_SIZE | STATX_ATIME | STATX_MTIME | STATX_BTIME;
    if (statx(AT_FDCWD, hostPath.c_str(), 0, mask, &details) != 0) {
        if (errno != ENOENT && errno != ELOOP)
            return errno;
        if (statx(AT_FDCWD, hostPath.c_str(), AT_SYMLINK_NOFOLLOW, mask, &details) != 0)
            return errno;
    }
    bool directory = S_ISDIR(details.stx_mode);
    info.attributes = directory ? FILE_ATTRIBUTE_DIRECTORY : FILE_ATTRIBUTE_ARCHIVE;
    if (isReadOnlyMode(details.stx_mode))
        info.attributes |= FILE_ATTRIBUTE_READONLY;
    if (name.size() > 1 && name[0] == '.' && name != "..")
        info.attributes |= FILE_ATTRIBUTE_HIDDEN;
    info.sizeBytes = directory ? 0 : details.stx_size;
    info.lastWriteTime = fileTimeOf(details.stx_mtime);
    info.lastAccessTime = fileTimeOf(details.stx_atime);
    // File systems without birth times report the last write instead.
    info.creationTime =
        (details.stx_mask & STATX_BTIME) ? fileTimeOf(details.stx_btime) : info.lastWriteTime;
    return 0;
}

}  // namespace hp::kernel32
