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

// A file that is not there yet is simply renamed into place; one that
// appears meanwhile is not overwritten.
bool putInPlace(const char *path, const char *temporary)
{
    if (ReplaceFileA(path, temporary, nullptr, 0, nullptr, nullptr))
        return true;
    return GetLastError() == ERROR_FILE_NOT_FOUND &&
           MoveFileExA(temporary, path, MOVEFILE_WRITE_THROUGH);
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
    if (!path || path[0] == '\0' || lstrlenA(path) >= MAX_PATH)
        return false;
    char folder[MAX_PATH];
    if (!directoryPart(nullptr, path, folder, MAX_PATH))
        lstrcpyA(folder, ".");
    char temporary[MAX_PATH];
    if (GetTempFileNameA(folder, temporaryPrefix, 0, temporary) == 0)
        return false;
    if (!writeAndFlush(temporary, bytes) || !putInPlace(path, temporary)) {
        DeleteFileA(temporary);
        return false;
    }
    return true;
}
