// Replaces a file's content so that a reader only ever sees the old content
// or the new, whole: the new content is written to a temporary file in the
// same folder, flushed to the disk and renamed over the old file, which
// keeps its permissions (and owner, when we may set it). When anything
// fails the temporary file is removed and the old file is left exactly as
// it was.
#pragma once

#include <string>
#include <string_view>

#include "platform/win32.h"

namespace hp::kernel32 {

class AtomicFileWriter {
public:
    // Writes content as the file at hostPath (a symbolic link is followed
    // and the file it names replaced). ERROR_SUCCESS or the error to report:
    // ERROR_ACCESS_DENIED for a read-only file or folder, ERROR_DISK_FULL
    // when the data does not fit, ERROR_PATH_NOT_FOUND for a missing
    // folder...
    static DWORD replace(const std::string &hostPath, std::string_view content);

    // The same, with the content read from an open descriptor (from its
    // start to its end).
    static DWORD replaceFromDescriptor(const std::string &hostPath, int sourceFd);

private:
    class Destination;
};

}  // namespace hp::kernel32
