#include "platform/gdi32/image_cache.h"

#include <vector>

#include "platform/kernel32/host_file_read.h"

namespace hp::gdi32 {

namespace {

// Files larger than this are not bitmaps a program loads as images.
constexpr size_t maxFileBytes = 256u * 1024 * 1024;

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
    kernel32::HostFileStamp stamp;
    error = kernel32::stampHostFile(hostPath, stamp);
    if (error != ERROR_SUCCESS)
        return nullptr;
    for (auto it = entries_.begin(); it != entries_.end(); ++it) {
        if (it->path != hostPath)
            continue;
        if (it->stamp == stamp) {
            entries_.splice(entries_.begin(), entries_, it);
            return entries_.front().image;
        }
        entries_.erase(it);  // changed: read it again
        break;
    }

    // The stamp recorded is that of the file actually read.
    std::vector<uint8_t> bytes;
    error = kernel32::readHostFile(hostPath, maxFileBytes, bytes, &stamp);
    if (error != ERROR_SUCCESS)
        return nullptr;

    auto image = std::make_shared<DecodedImage>();
    ++decodeCount_;
    if (!decodeBmpFile(bytes.data(), bytes.size(), *image)) {
        error = ERROR_INVALID_PARAMETER;
        return nullptr;
    }
    Entry entry;
    entry.path = hostPath;
    entry.stamp = stamp;
    entry.image = std::move(image);
    entries_.push_front(std::move(entry));
    if (entries_.size() > maxEntries)
        entries_.pop_back();
    error = ERROR_SUCCESS;
    return entries_.front().image;
}

}  // namespace hp::gdi32
