// An open file behind a kernel32 handle: a host file (its descriptor and
// its place in the share registry) or a read-only text held in memory (the
// .cda files of an audio CD). The file position belongs to the object.
#pragma once

#include <cstdint>
#include <string>

#include "platform/kernel32/kernel_object.h"
#include "platform/kernel32/share_registry.h"
#include "platform/kernel32/unique_fd.h"

namespace hp::kernel32 {

class FileObject final : public KernelObject {
public:
    static constexpr Kind objectKind = Kind::File;

    FileObject(UniqueFd fd, const FileUse &use, ShareRegistry::Registration registration);
    explicit FileObject(std::string readOnlyContent);

    bool canRead() const { return use_.read; }
    bool canWrite() const { return use_.write; }

    // Each returns ERROR_SUCCESS or the error to report.
    DWORD read(void *buffer, DWORD bytesToRead, DWORD &bytesRead);
    DWORD write(const void *buffer, DWORD bytesToWrite, DWORD &bytesWritten);
    // method is FILE_BEGIN, FILE_CURRENT or FILE_END. A target before the
    // start fails with ERROR_NEGATIVE_SEEK and leaves the position alone.
    DWORD seek(int64_t distance, DWORD method, uint64_t &newPosition);
    DWORD size(uint64_t &bytes) const;
    // Writes the file's data through to the disk; only for a handle that
    // may write.
    DWORD flush();

private:
    UniqueFd fd_;
    FileUse use_;
    ShareRegistry::Registration registration_;
    bool inMemory_ = false;
    std::string content_;
    uint64_t memoryPosition_ = 0;
};

}  // namespace hp::kernel32
