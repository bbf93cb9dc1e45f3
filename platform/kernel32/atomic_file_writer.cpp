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
namespace {

constexpr int maximumLinkDepth = 40;  // as the host's own lookups

// The folder of a host path, with its final slash; "" for a bare name.
std::string folderOf(const std::string &path)
{
    size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

// The path a chain of symbolic links ends at, which may not exist yet;
// false for a loop or a chain too long to follow.
bool followLinks(const std::string &path, std::string &target)
{
    target = path;
    for (int depth = 0; depth < maximumLinkDepth; ++depth) {
        struct stat info;
        if (lstat(target.c_str(), &info) != 0 || !S_ISLNK(info.st_mode))
            return true;
        char link[PATH_MAX];
        ssize_t length = readlink(target.c_str(), link, sizeof link);
        if (length < 0 || static_cast<size_t>(length) >= sizeof link)
            return false;
        std::string next(link, static_cast<size_t>(length));
        target = next[0] == '/' ? next : folderOf(target) + next;
    }
    return false;
}

}  // namespace

// The file that takes the target's place: a temporary file of ours beside
// the target, created empty and then filled, or a complete file of the
// caller's. It is either committed over the target or, when it is ours,
// removed.
class AtomicFileWriter::Destination {
public:
    ~Destination()
    {
        fd_.close();
        if (ownsReplacement_ && !replacementPath_.empty())
            unlink(replacementPath_.c_str());
    }

    // Finds the file to replace and checks that it may be replaced.
    DWORD resolve(const std::string &hostPath)
    {
        if (!followLinks(hostPath, target_))
            return ERROR_PATH_NOT_FOUND;
        existed_ = stat(target_.c_str(), &old_) == 0;
        if (existed_) {
            if (!S_ISREG(old_.st_mode) || isReadOnlyMode(old_.st_mode))
                return ERROR_ACCESS_DENIED;
            if (faccessat(AT_FDCWD, target_.c_str(), W_OK, AT_EACCESS) != 0)
                return win32ErrorForPath(errno, target_);
        }
        return ERROR_SUCCESS;
    }

    DWORD createTemporary()
    {
        size_t slash = target_.find_last_of('/');
        std::string base = slash == std::string::npos ? target_ : target_.substr(slash + 1);
        std::string folder = folderOf(target_);
        mode_t mode = existed_ ? (old_.st_mode & 07777) : 0666;

        static std::atomic<unsigned> counter{0};
        std::random_device random;
        for (int attempt = 0; attempt < 16; ++attempt) {
            char suffix[32];
            std::snprintf(suffix, sizeof suffix, ".%08x%04x", random(), counter++ & 0xFFFF);
            std::string candidate = folder + "." + base + suffix + ".tmp";
            fd_ = UniqueFd(open(candidate.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode));
            if (fd_.valid()) {
                replacementPath_ = candidate;
                ownsReplacement_ = true;
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

    // Takes the caller's file as the replacement; it stays the caller's.
    DWORD adopt(const std::string &replacementPath)
    {
        fd_ = UniqueFd(open(replacementPath.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW));
        if (!fd_.valid())
            return win32ErrorForPath(errno, replacementPath);
        struct stat info;
        if (fstat(fd_.get(), &info) != 0)
            return win32ErrorFromErrno(errno);
        if (!S_ISREG(info.st_mode))
            return ERROR_ACCESS_DENIED;
        replacementPath_ = replacementPath;
        ownsReplacement_ = false;
        return ERROR_SUCCESS;
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
            // Only a privileged writer can hand the file back to its owner;
            // anyone else keeps at least the group when a member of it, and
            // otherwise owns the new file, as after any save. Ownership
            // first: a change of owner clears the set-id bits.
            if (fchown(fd_.get(), old_.st_uid, old_.st_gid) != 0)
                (void)!fchown(fd_.get(), static_cast<uid_t>(-1), old_.st_gid);
            // Umask may have narrowed the mode at creation.
            fchmod(fd_.get(), old_.st_mode & 07777);
        }
        if (fsync(fd_.get()) != 0)
            return win32ErrorFromErrno(errno);
        if (int closeError = fd_.close())
            return win32ErrorFromErrno(closeError);
        if (rename(replacementPath_.c_str(), target_.c_str()) != 0)
            return win32ErrorForPath(errno, target_);
        replacementPath_.clear();
        syncFolder();
        return ERROR_SUCCESS;
    }

private:
    void syncFolder() const
    {
        std::string folder = folderOf(target_);
        UniqueFd folderFd(open(folder.empty() ? "." : folder.c_str(),
                               O_RDONLY | O_DIRECTORY | O_CLOEXEC));
        if (folderFd.valid())
            fsync(folderFd.get());
    }

    std::string target_;
    std::string replacementPath_;
    bool ownsReplacement_ = false;
    UniqueFd fd_;
    bool existed_ = false;
    struct stat old_ {};
};

DWORD AtomicFileWriter::replace(const std::string &hostPath, std::string_view content)
{
    Destination destination;
    DWORD error = destination.resolve(hostPath);
    if (error == ERROR_SUCCESS)
        error = destination.createTemporary();
    if (error == ERROR_SUCCESS)
        error = destination.write(content.data(), content.size());
    if (error == ERROR_SUCCESS)
        error = destination.commit();
    return error;
}

DWORD AtomicFileWriter::replaceFromDescriptor(const std::string &hostPath, int sourceFd)
{
    Destination destination;
    DWORD error = destination.resolve(hostPath);
    if (error == ERROR_SUCCESS)
        error = destination.createTemporary();
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

DWORD AtomicFileWriter::replaceWithFile(const std::string &hostPath,
                                        const std::string &replacementPath)
{
    {
        Destination destination;
        DWORD error = destination.resolve(hostPath);
        if (error == ERROR_SUCCESS)
            error = destination.adopt(replacementPath);
        if (error == ERROR_SUCCESS)
            error = destination.commit();
        if (error != ERROR_NOT_SAME_DEVICE)
            return error;
    }
    UniqueFd source(open(replacementPath.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW));
    if (!source.valid())
        return win32ErrorForPath(errno, replacementPath);
    DWORD error = replaceFromDescriptor(hostPath, source.get());
    if (error != ERROR_SUCCESS)
        return error;
    if (unlink(replacementPath.c_str()) != 0)
        return win32ErrorForPath(errno, replacementPath);
    return ERROR_SUCCESS;
}

}  // namespace hp::kernel32
