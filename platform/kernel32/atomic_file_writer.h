// Replaces a file's content so that a reader only ever sees the old content
// or the new, whole: the new content is written to a temporary file in the
// same folder, flushed to the disk and renamed over the old file, which
// keeps its permissions (and owner, when we may set it). A symbolic link is
// followed, even one that names nothing yet, and stays a link. When
// anything fails the temporary file is removed and the old file is left
// exactly as it was.
#pragma once

#include <string>
#include <string_view>

#include "platform/win32.h"

namespace hp::kernel32 {

class AtomicFileWriter {
public:
    // Writes content as the file at hostPath. ERROR_SUCCESS or the error to
    // report: ERROR_ACCESS_DENIED for a read-only file or folder,
    // ERROR_DISK_FULL when the data does not fit, ERROR_PATH_NOT_FOUND for
    // a missing folder...
    static DWORD replace(const std::string &hostPath, std::string_view content);

    // The same, with the content read from an open descriptor (from its
    // start to its end).
    static DWORD replaceFromDescriptor(const std::string &hostPath, int sourceFd);

    // The same, with a complete file of the caller's (a regular file) taking
    // the old one's place: renamed over it, or across file systems copied
    // and then removed. On failure the replacement is left where it was.
    static DWORD replaceWithFile(const std::string &hostPath, const std::string &replacementPath);

private:
    class Destination;
};

}  // namespace hp::kernel32
