// Decoded images of bitmap files, kept by host path.
//
// A program may load the same skin file hundreds of times a second; each
// load checks the file (one stat) and decodes it again only when its size,
// modification time or identity changed, so a replaced or rewritten file is
// always read anew. The decoded pixels are shared, read-only, by every
// bitmap made from them.
//
// Threading: GUI thread only.
#pragma once

#include <cstdint>
#include <list>
#include <memory>
#include <string>

#include "platform/gdi32/bmp_decoder.h"
#include "platform/kernel32/host_file_read.h"
#include "platform/win32.h"

namespace hp::gdi32 {

class ImageCache {
public:
    static ImageCache &instance();

    // The decoded BMP file, or null with the reason in error:
    // ERROR_FILE_NOT_FOUND, ERROR_PATH_NOT_FOUND, ERROR_ACCESS_DENIED, ... when
    // it cannot be read, ERROR_INVALID_PARAMETER when it is no bitmap we can
    // decode.
    std::shared_ptr<const DecodedImage> loadBmp(const std::string &hostPath, DWORD &error);

    // Files decoded since the start (or the last clear); for tests and
    // benchmarks.
    uint64_t decodeCount() const { return decodeCount_; }
    void clear();

private:
    struct Entry {
        std::string path;
        kernel32::HostFileStamp stamp;
        std::shared_ptr<const DecodedImage> image;
    };
    static constexpr size_t maxEntries = 8;

    std::list<Entry> entries_;  // most recently used first
    uint64_t decodeCount_ = 0;
};

}  // namespace hp::gdi32
