#include "platform/gdi32/image_cache.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <vector>

#include "platform/win32.h"

namespace hp::gdi32 {

namespace {

// Files larger than this are not bitmaps a program loads as images.
constexpr int64_t maxFileBytes = 256ll * 1024 * 1024;

class FileDescriptor {
public:
    explicit FileDescriptor(int fd) : fd_(fd) {}
    ~FileDescriptor()
    {
        if (fd_ >= 0)
            ::close(fd_);
    }
    FileDescriptor(const FileDescriptor &) = delete;
    FileDescriptor &operator=(const FileDescriptor &) = delete;
    int get() const { return fd_; }

private:
    int fd_;
};

DWORD errorFromErrno(int error)
{
    switch (error) {
    case ENOENT:
        return ERROR_FILE_NOT_FOUND;
    case ENOTDIR:
        return ERROR_PATH_NOT_FOUND;
    case EACCES:
    case EPERM:
    case EISDIR:
        return ERROR_ACCESS_DENIED;
    case EMFILE:
    case ENFILE:
        return ERROR_TOO_MANY_OPEN_FILES;
    case ENOMEM:
        return ERROR_NOT_ENOUGH_MEMORY;
    default:
        return ERROR_READ_FAULT;
    }
}

int64_t nanoseconds(const struct timespec &t) { return int64_t(t.tv_sec) * 1000000000 + t.tv_nsec; }

}  // namespace

ImageCache &ImageCache::instance()
{
    static ImageCache cache;
    return cache;
}

void ImageCache::clear()
{
    entries_.clear();
    decodeCount_ = 0;
}

std::shared_ptr<const DecodedImage> ImageCache::loadBmp(const std::string &hostPath, DWORD &error)
{
    struct stat info {};
    if (::stat(hostPath.c_str(), &info) != 0) {
        error = errorFromErrno(errno);
        return nullptr;
    }
    if (S_ISDIR(info.st_mode)) {
        error = ERROR_ACCESS_DENIED;
        return nullptr;
    }
    for (auto it = entries_.begin(); it != entries_.end(); ++it) {
        if (it->path != hostPath)
            continue;
        if (it->size == info.st_size && it->modifiedNanoseconds == nanoseconds(info.st_mtim) &&
            it->device == info.st_dev && it->inode == info.st_ino) {
            entries_.splice(entries_.begin(), entries_, it);
            return entries_.front().image;
        }
        entries_.erase(it);  // changed: read it again
        break;
    }

    FileDescriptor file(::open(hostPath.c_str(), O_RDONLY | O_CLOEXEC));
    if (file.get() < 0) {
        error = errorFromErrno(errno);
        return nullptr;
    }
    // The identity recorded is that of the file actually read.
    if (::fstat(file.get(), &info) != 0 || info.st_size > maxFileBytes) {
        error = ERROR_INVALID_PARAMETER;
        return nullptr;
    }
    std::vector<uint8_t> bytes(static_cast<size_t>(info.st_size));
    size_t done = 0;
    while (done < bytes.size()) {
        ssize_t n = ::read(file.get(), bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break;
        done += static_cast<size_t>(n);
    }
    bytes.resize(done);

    auto image = std::make_shared<DecodedImage>();
    ++decodeCount_;
    if (!decodeBmpFile(bytes.data(), bytes.size(), *image)) {
        error = ERROR_INVALID_PARAMETER;
        return nullptr;
    }
    Entry entry;
    entry.path = hostPath;
    entry.size = info.st_size;
    entry.modifiedNanoseconds = nanoseconds(info.st_mtim);
    entry.device = info.st_dev;
    entry.inode = info.st_ino;
    entry.image = std::move(image);
    entries_.push_front(std::move(entry));
    if (entries_.size() > maxEntries)
        entries_.pop_back();
    error = ERROR_SUCCESS;
    return entries_.front().image;
}

}  // namespace hp::gdi32
