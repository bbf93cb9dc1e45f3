#include "platform/kernel32/file_object.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <limits>

#include "platform/kernel32/host_errors.h"

namespace hp::kernel32 {

FileObject::FileObject(UniqueFd fd, const FileUse &use, ShareRegistry::Registration registration)
    : KernelObject(objectKind), fd_(std::move(fd)), use_(use),
      registration_(std::move(registration))
{
}

FileObject::FileObject(std::string readOnlyContent)
    : KernelObject(objectKind), inMemory_(true), content_(std::move(readOnlyContent))
{
    use_.read = true;
    use_.share = FILE_SHARE_READ;
}

DWORD FileObject::read(void *buffer, DWORD bytesToRead, DWORD &bytesRead)
{
    bytesRead = 0;
    if (!use_.read)
        return ERROR_ACCESS_DENIED;
    if (inMemory_) {
        if (memoryPosition_ < content_.size()) {
            uint64_t available = content_.size() - memoryPosition_;
            DWORD count = available < bytesToRead ? static_cast<DWORD>(available) : bytesToRead;
            std::memcpy(buffer, content_.data() + memoryPosition_, count);
            memoryPosition_ += count;
            bytesRead = count;
        }
        return ERROR_SUCCESS;
    }
    char *out = static_cast<char *>(buffer);
    while (bytesRead < bytesToRead) {
        ssize_t got = ::read(fd_.get(), out + bytesRead, bytesToRead - bytesRead);
        if (got < 0) {
            if (errno == EINTR)
                continue;
            return bytesRead > 0 ? ERROR_SUCCESS : win32ErrorFromErrno(errno);
        }
        if (got == 0)
            break;
        bytesRead += static_cast<DWORD>(got);
    }
    return ERROR_SUCCESS;
}

DWORD FileObject::write(const void *buffer, DWORD bytesToWrite, DWORD &bytesWritten)
{
    bytesWritten = 0;
    if (!use_.write || inMemory_)
        return ERROR_ACCESS_DENIED;
    const char *in = static_cast<const char *>(buffer);
    while (bytesWritten < bytesToWrite) {
        ssize_t put = ::write(fd_.get(), in + bytesWritten, bytesToWrite - bytesWritten);
        if (put < 0) {
            if (errno == EINTR)
                continue;
            return win32ErrorFromErrno(errno);
        }
        bytesWritten += static_cast<DWORD>(put);
    }
    return ERROR_SUCCESS;
}

DWORD FileObject::flush()
{
    if (!use_.write || inMemory_)
        return ERROR_ACCESS_DENIED;
    if (fsync(fd_.get()) != 0)
        return win32ErrorFromErrno(errno);
    return ERROR_SUCCESS;
}

DWORD FileObject::size(uint64_t &bytes) const
{
    if (inMemory_) {
        bytes = content_.size();
        return ERROR_SUCCESS;
    }
    struct stat info;
    if (fstat(fd_.get(), &info) != 0)
        return win32ErrorFromErrno(errno);
    bytes = static_cast<uint64_t>(info.st_size);
    return ERROR_SUCCESS;
}

DWORD FileObject::seek(int64_t distance, DWORD method, uint64_t &newPosition)
{
    int64_t base = 0;
    switch (method) {
    case FILE_BEGIN:
        break;
    case FILE_CURRENT:
        if (inMemory_) {
            base = static_cast<int64_t>(memoryPosition_);
        } else {
            off_t current = lseek(fd_.get(), 0, SEEK_CUR);
            if (current < 0)
                return win32ErrorFromErrno(errno);
            base = current;
        }
        break;
    case FILE_END: {
        uint64_t end = 0;
        DWORD error = size(end);
        if (error != ERROR_SUCCESS)
            return error;
        base = static_cast<int64_t>(end);
        break;
    }
    default:
        return ERROR_INVALID_PARAMETER;
    }
    if (distance > 0 && base > std::numeric_limits<int64_t>::max() - distance)
        return ERROR_INVALID_PARAMETER;
    int64_t target = base + distance;
    if (target < 0)
        return ERROR_NEGATIVE_SEEK;
    if (inMemory_) {
        memoryPosition_ = static_cast<uint64_t>(target);
    } else if (lseek(fd_.get(), static_cast<off_t>(target), SEEK_SET) < 0) {
        return win32ErrorFromErrno(errno);
    }
    newPosition = static_cast<uint64_t>(target);
    return ERROR_SUCCESS;
}

}  // namespace hp::kernel32
