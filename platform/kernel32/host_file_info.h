// What the platform reports about a file, read from the host: attributes
// (FILE_ATTRIBUTE_DIRECTORY for folders, FILE_ATTRIBUTE_ARCHIVE for files,
// FILE_ATTRIBUTE_READONLY when no write permission bit is set,
// FILE_ATTRIBUTE_HIDDEN for names that start with a period), size and the
// three times as FILETIME.
#pragma once

#include <sys/stat.h>

#include <cstdint>
#include <string>

#include "platform/win32.h"

namespace hp::kernel32 {

struct HostFileInfo {
    DWORD attributes = 0;
    uint64_t sizeBytes = 0;
    FILETIME creationTime{};
    FILETIME lastAccessTime{};
    FILETIME lastWriteTime{};
    bool isDirectory() const { return (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0; }
};

// Follows symbolic links; a dangling link is described by the link itself.
// Returns errno (0 on success). name is the entry's own name, for the
// hidden attribute.
int readHostFileInfo(const std::string &hostPath, const std::string &name, HostFileInfo &info);

// True when a file whose mode this is carries FILE_ATTRIBUTE_READONLY.
bool isReadOnlyMode(mode_t mode);

FILETIME fileTimeFromUnix(int64_t seconds, long nanoseconds);

}  // namespace hp::kernel32
