// Reading a host file whole, for the parts of the layer that take a file's
// bytes by host path (bitmap and icon files), with the same error codes the
// file functions report and a stamp that tells whether the file changed.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/win32.h"

namespace hp::kernel32 {

// What identifies one state of a file: a rewrite changes the size or the
// modification time, a replacement the device or the inode.
struct HostFileStamp {
    int64_t size = 0;
    int64_t modifiedNanoseconds = 0;
    uint64_t device = 0;
    uint64_t inode = 0;

    bool operator==(const HostFileStamp &other) const
    {
        return size == other.size && modifiedNanoseconds == other.modifiedNanoseconds &&
               device == other.device && inode == other.inode;
    }
};

// The stamp of the file a host path leads to (links followed). ERROR_SUCCESS,
// the mapped errno, or ERROR_ACCESS_DENIED for what is no plain file (a
// folder, a pipe, a device).
DWORD stampHostFile(const std::string &hostPath, HostFileStamp &stamp);

// The whole file. ERROR_SUCCESS; the mapped errno of the open;
// ERROR_ACCESS_DENIED for what is no plain file; ERROR_INVALID_PARAMETER
// for a file of more than maxBytes; ERROR_READ_FAULT when a read fails.
// stamp, when given, describes the file actually read.
DWORD readHostFile(const std::string &hostPath, size_t maxBytes, std::vector<uint8_t> &bytes,
                   HostFileStamp *stamp = nullptr);

}  // namespace hp::kernel32
