#include "platform/kernel32/atomic_file_writer.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <random>

#include "platform/kernel32/host_errors.h"
#include "platform/kernel32/host_file_info.h"
#include "platform/kernel32/unique_fd.h"

namespace hp::kernel32 {

// The temporary file beside the target: created empty, filled, then either
// committed over the target or removed.
class AtomicFileWriter::Destination {
public:
    ~Destination()
    {
        fd_.close();
        if (!temporaryPath_.empty())
            unlink(temporaryPath_.c_str());
    }

    DWORD prepare(const std::string &hostPath)
    {
        target_ = hostPath;
        char resolved[PATH_MAX];
        struct stat linkInfo;
        if (lstat(hostPath.c_str(), &linkInfo) == 0 && S_ISLNK(linkInfo.st_mode) &&
            realpath(hostPath.c_str(), resolved))
            target_ = resolved;

        existed_ = stat(target_.c_str(), &old_) == 0;
        if (existed_) {
            if (!S_ISREG(old_.st_mode) || isReadOnlyMode(old_.st_mode))
                return ERROR_ACCESS_DENIED;
            if (faccessat(AT_FDCWD, target_.c_str(), W_OK, AT_EACCESS) != 0)
                return win32ErrorForPath(errno, target_);
        }
        size_t slash = target_.find_last_of('/');
        std::string folder = slash == std::string::npos ? "." : target_.substr(0, slash + 1);
        std::string base = slash == std::string::npos ? target_ : target_.substr(slash + 1);
        mode_t mode = existed_ ? (old_.st_mode & 07777) : 0666;

        static std::atomic<unsigned> counter{0};
        std::random_device random;
        for (int attempt = 0; attempt < 16; ++attempt) {
            char suffix[32];
            std::snprintf(suffix, sizeof suffix, ".%08x%04x", random(), counter++ & 0xFFFF);
            std::string candidate = folder + "." + base + suffix + ".tmp";
            fd_ = UniqueFd(open(candidate.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode));
            if (fd_.valid()) {
                temporaryPath_ = candidate;
                return ERROR_SUCCESS;
            }
            if (errno != EEXIST) {
                if (errno == ENOENT)
                    return ERROR_PATH_NOT_FOUND;
                return win32ErrorFromErrno(errno);
            }
        }
        return ERROR_ACCESS_DENIED;
    }

    DWORD write(const char *data, size_t size)
    {
        while (size > 0) {
            ssize_t put = ::write(fd_.get(), data, size);
            if (put < 0) {
                if (errno == EINTR)
                    continue;
                return win32ErrorFromErrno(errno);
            }
            data += put;
            size -= static_cast<size_t>(put);
        }
        return ERROR_SUCCESS;
    }

    DWORD commit()
    {
        if (existed_) {
            // Umask may have narrowed the mode at creation.
            fchmod(fd_.get(), old_.st_mode & 07777);
            // Only a privileged writer can hand the file back to its owner;
            // anyone else ends up owning the new file, as after a save.
            if (geteuid() == 0 && fchown(fd_.get(), old_.st_uid, old_.st_gid) != 0)
                return win32ErrorFromErrno(errno);
        }
        if (fsync(fd_.get()) != 0)
            return win32ErrorFromErrno(errno);
        if (int closeError = fd_.close())
            return win32ErrorFromErrno(closeError);
        if (rename(temporaryPath_.c_str(), target_.c_str()) != 0)
            return win32ErrorForPath(errno, target_);
        temporaryPath_.clear();
        syncFolder();
        return ERROR_SUCCESS;
    }

private:
    void syncFolder() const
    {
        size_t slash = target_.find_last_of('/');
        std::string folder = slash == std::string::npos ? "." : target_.substr(0, slash + 1);
        UniqueFd folderFd(open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
        if (folderFd.valid())
            fsync(folderFd.get());
    }

    std::string target_;
    std::string temporaryPath_;
    UniqueFd fd_;
    bool existed_ = false;
    struct stat old_ {};
};

DWORD AtomicFileWriter::replace(const std::string &hostPath, std::string_view content)
{
    Destination destination;
    DWORD error = destination.prepare(hostPath);
    if (error == ERROR_SUCCESS)
        error = destination.write(content.data(), content.size());
    if (error == ERROR_SUCCESS)
        error = destination.commit();
    return error;
}

DWORD AtomicFileWriter::replaceFromDescriptor(const std::string &hostPath, int sourceFd)
{
    Destination destination;
    DWORD error = destination.prepare(hostPath);
    if (error != ERROR_SUCCESS)
        return error;
    if (lseek(sourceFd, 0, SEEK_SET) < 0)
        return win32ErrorFromErrno(errno);
    char buffer[65536];
    for (;;) {
        ssize_t got = read(sourceFd, buffer, sizeof buffer);
        if (got < 0) {
            if (errno == EINTR)
                continue;
            return win32ErrorFromErrno(errno);
        }
        if (got == 0)
            break;
        error = destination.write(buffer, static_cast<size_t>(got));
        if (error != ERROR_SUCCESS)
            return error;
    }
    return destination.commit();
}

}  // namespace hp::kernel32
