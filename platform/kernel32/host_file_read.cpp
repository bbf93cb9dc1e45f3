#include "platform/kernel32/host_file_read.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "platform/kernel32/host_errors.h"
#include "platform/kernel32/unique_fd.h"

namespace hp::kernel32 {
namespace {

DWORD stampOf(const struct stat &info, HostFileStamp &stamp)
{
    if (!S_ISREG(info.st_mode))
        return ERROR_ACCESS_DENIED;
    stamp.size = info.st_size;
    stamp.modifiedNanoseconds = int64_t(info.st_mtim.tv_sec) * 1000000000 + info.st_mtim.tv_nsec;
    stamp.device = info.st_dev;
    stamp.inode = info.st_ino;
    return ERROR_SUCCESS;
}

}  // namespace

DWORD stampHostFile(const std::string &hostPath, HostFileStamp &stamp)
{
    struct stat info {};
    if (::stat(hostPath.c_str(), &info) != 0)
        return win32ErrorFromErrno(errno);
    return stampOf(info, stamp);
}

DWORD readHostFile(const std::string &hostPath, size_t maxBytes, std::vector<uint8_t> &bytes,
                   HostFileStamp *stamp)
{
    bytes.clear();
    // Not blocking: a pipe would make the open wait for a writer. It is
    // refused once its kind is known.
    UniqueFd file(::open(hostPath.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY));
    if (!file.valid())
        return win32ErrorFromErrno(errno);
    struct stat info {};
    if (::fstat(file.get(), &info) != 0)
        return win32ErrorFromErrno(errno);
    HostFileStamp read;
    if (DWORD error = stampOf(info, read); error != ERROR_SUCCESS)
        return error;
    if (info.st_size < 0 || static_cast<uint64_t>(info.st_size) > maxBytes)
        return ERROR_INVALID_PARAMETER;
    bytes.reserve(static_cast<size_t>(info.st_size));
    uint8_t buffer[16384];
    for (;;) {
        const ssize_t n = ::read(file.get(), buffer, sizeof buffer);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return ERROR_READ_FAULT;
        if (n == 0)
            break;
        bytes.insert(bytes.end(), buffer, buffer + n);
        if (bytes.size() > maxBytes)  // grew while being read
            return ERROR_INVALID_PARAMETER;
    }
    if (stamp)
        *stamp = read;
    return ERROR_SUCCESS;
}

}  // namespace hp::kernel32
