#include "catalog/whole_file.h"

#include "platform/win32.h"
#include "sound/path_helpers.h"

namespace {

constexpr DWORD readChunkBytes = 65536;
constexpr char temporaryPrefix[] = "hp";

bool writeAndFlush(const char *path, const std::string &bytes)
{
    HANDLE file = CreateFileA(path, GENERIC_WRITE, 0, nullptr, TRUNCATE_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    DWORD written = 0;
    bool complete = bytes.empty() || (WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()),
                                                &written, nullptr) &&
                                      written == bytes.size());
    complete = complete && FlushFileBuffers(file);
    return CloseHandle(file) && complete;
}

// Wine's ReplaceFileA finds the replaced file's folder by its last
// backslash: a bare name, or one with forward slashes only, fails there
// with ERROR_DIRECTORY. Names are therefore spelt with a folder and
// backslashes ("/" is never the trail byte of a double-byte character).
bool spellWithFolder(const char *path, char *spelt)
{
    char folder[MAX_PATH];
    const char *prefix = directoryPart(nullptr, path, folder, MAX_PATH) ? "" : ".\\";
    if (lstrlenA(prefix) + lstrlenA(path) >= MAX_PATH)
        return false;
    lstrcpyA(spelt, prefix);
    lstrcatA(spelt, path);
    for (char *c = spelt; *c; ++c) {
        if (*c == '/')
            *c = '\\';
    }
    return true;
}

// Puts the temporary file in the target's place. The old file goes to the
// backup name meanwhile: a platform that moves it aside before moving the
// new one in (Wine) leaves it there when the second step fails, and it is
// put back. A target that is not there yet is simply renamed into place;
// one that appears meanwhile is not overwritten. False when the target
// did not change; oldKept false when its old file could not be put back
// and stays under the backup name.
bool putInPlace(const char *target, const char *temporary, const char *backup, bool &oldKept)
{
    oldKept = true;
    if (ReplaceFileA(target, temporary, backup, 0, nullptr, nullptr))
        return true;
    switch (GetLastError()) {
    case ERROR_UNABLE_TO_MOVE_REPLACEMENT_2:
        oldKept = MoveFileExA(backup, target, 0) != FALSE;
        return false;
    case ERROR_FILE_NOT_FOUND:
        return MoveFileExA(temporary, target, MOVEFILE_WRITE_THROUGH) != FALSE;
    default:
        return false;
    }
}

}  // namespace

FileReading readWholeFile(const char *path, std::string &bytes)
{
    bytes.clear();
    // Another program may have the file open, reading or writing.
    HANDLE file = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN,
                              nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        DWORD error = GetLastError();
        return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND
                   ? FileReading::Missing
                   : FileReading::Unreadable;
    }
    char chunk[readChunkBytes];
    FileReading result = FileReading::Read;
    for (;;) {
        DWORD got = 0;
        if (!ReadFile(file, chunk, readChunkBytes, &got, nullptr)) {
            bytes.clear();
            result = FileReading::Unreadable;
            break;
        }
        if (got == 0)
            break;
        bytes.append(chunk, got);
    }
    CloseHandle(file);
    return result;
}

bool replaceWholeFile(const char *path, const std::string &bytes)
{
    char target[MAX_PATH];
    if (!path || path[0] == '\0' || !spellWithFolder(path, target))
        return false;
    char folder[MAX_PATH];
    char temporary[MAX_PATH];
    if (!directoryPart(nullptr, target, folder, MAX_PATH) ||
        GetTempFileNameA(folder, temporaryPrefix, 0, temporary) == 0)
        return false;
    char backup[MAX_PATH];
    if (GetTempFileNameA(folder, temporaryPrefix, 0, backup) == 0) {
        DeleteFileA(temporary);
        return false;
    }
    bool oldKept = true;
    bool replaced = writeAndFlush(temporary, bytes) && putInPlace(target, temporary, backup, oldKept);
    if (!replaced)
        DeleteFileA(temporary);
    if (oldKept)
        DeleteFileA(backup);
    return replaced;
}
