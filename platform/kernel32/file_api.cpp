// CreateFileA and the functions that work on open files or on single names.
#include <fcntl.h>
#include <stdio.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <memory>

#include "platform/kernel32/cd_volume.h"
#include "platform/kernel32/file_object.h"
#include "platform/kernel32/handle_table.h"
#include "platform/kernel32/host_errors.h"
#include "platform/kernel32/host_file_info.h"
#include "platform/kernel32/path_model.h"
#include "platform/kernel32/path_syntax.h"
#include "platform/kernel32/share_registry.h"

using namespace hp::kernel32;

namespace {

constexpr DWORD allShareModes = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

FileUse useOf(DWORD desiredAccess, DWORD shareMode)
{
    FileUse use;
    use.read = (desiredAccess & (GENERIC_READ | GENERIC_ALL | FILE_READ_DATA)) != 0;
    use.write =
        (desiredAccess & (GENERIC_WRITE | GENERIC_ALL | FILE_WRITE_DATA | FILE_APPEND_DATA)) != 0;
    use.share = shareMode;
    return use;
}

FileIdentity identityOf(const struct stat &info) { return FileIdentity{info.st_dev, info.st_ino}; }

HANDLE insertOrFail(std::shared_ptr<KernelObject> object)
{
    HANDLE handle = HandleTable::instance().insert(std::move(object));
    if (!handle)
        return failWith(ERROR_TOO_MANY_OPEN_FILES, INVALID_HANDLE_VALUE);
    return handle;
}

HANDLE openCdTrackFile(const ResolvedPath &resolved, const FileUse &use, DWORD creation)
{
    if (creation == CREATE_NEW)
        return failWith(ERROR_FILE_EXISTS, INVALID_HANDLE_VALUE);
    if (use.write || creation == CREATE_ALWAYS || creation == TRUNCATE_EXISTING)
        return failWith(ERROR_ACCESS_DENIED, INVALID_HANDLE_VALUE);
    CdVolume volume;
    DWORD error = CdVolume::open(resolved.cdDrive, volume);
    if (error != ERROR_SUCCESS)
        return failWith(error, INVALID_HANDLE_VALUE);
    const CdTrack *track = volume.audioTrack(resolved.cdTrack);
    if (!track)
        return failWith(ERROR_FILE_NOT_FOUND, INVALID_HANDLE_VALUE);
    HANDLE handle = insertOrFail(std::make_shared<FileObject>(volume.trackFileContent(*track)));
    if (handle != INVALID_HANDLE_VALUE)
        SetLastError(creation == OPEN_ALWAYS ? ERROR_ALREADY_EXISTS : ERROR_SUCCESS);
    return handle;
}

// Opens the host file for a creation disposition. existed tells whether the
// file was there before; created whether this call made it.
DWORD openHostFile(const std::string &path, int accessFlags, DWORD creation, mode_t mode,
                   UniqueFd &fd, bool &existed)
{
    const int base = accessFlags | O_CLOEXEC | O_NOCTTY | O_NONBLOCK;
    for (int attempt = 0; attempt < 8; ++attempt) {
        if (creation == CREATE_NEW) {
            fd = UniqueFd(open(path.c_str(), base | O_CREAT | O_EXCL, mode));
            existed = false;
            if (!fd.valid())
                return errno == EEXIST ? ERROR_FILE_EXISTS : win32ErrorForPath(errno, path);
            return ERROR_SUCCESS;
        }
        fd = UniqueFd(open(path.c_str(), base));
        if (fd.valid()) {
            existed = true;
            return ERROR_SUCCESS;
        }
        if (errno != ENOENT || creation == OPEN_EXISTING || creation == TRUNCATE_EXISTING)
            return win32ErrorForPath(errno, path);
        // CREATE_ALWAYS and OPEN_ALWAYS create a missing file; a file that
        // appears meanwhile is opened on the next round.
        fd = UniqueFd(open(path.c_str(), base | O_CREAT | O_EXCL, mode));
        if (fd.valid()) {
            existed = false;
            return ERROR_SUCCESS;
        }
        if (errno != EEXIST)
            return win32ErrorForPath(errno, path);
    }
    return ERROR_SHARING_VIOLATION;
}

HANDLE openHostPath(const std::string &path, bool trailingSeparator, const FileUse &use,
                    DWORD creation, DWORD flagsAndAttributes)
{
    struct stat info;
    if (trailingSeparator) {
        // "name\" names a folder; a file cannot be reached that way.
        bool folder = stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
        return failWith(folder ? ERROR_ACCESS_DENIED : ERROR_INVALID_NAME, INVALID_HANDLE_VALUE);
    }
    int accessFlags = use.read && use.write ? O_RDWR : use.write ? O_WRONLY : O_RDONLY;
    mode_t mode = (flagsAndAttributes & FILE_ATTRIBUTE_READONLY) ? 0444 : 0666;
    UniqueFd fd;
    bool existed = false;
    DWORD error = openHostFile(path, accessFlags, creation, mode, fd, existed);
    if (error != ERROR_SUCCESS)
        return failWith(error, INVALID_HANDLE_VALUE);

    auto fail = [&](DWORD code) {
        fd.close();
        if (!existed)
            unlink(path.c_str());
        return failWith(code, INVALID_HANDLE_VALUE);
    };
    if (fstat(fd.get(), &info) != 0)
        return fail(win32ErrorFromErrno(errno));
    // A folder is not a file; nor are pipes and sockets.
    if (S_ISDIR(info.st_mode) || !(S_ISREG(info.st_mode) || S_ISCHR(info.st_mode)))
        return fail(ERROR_ACCESS_DENIED);
    // The platform refuses to write a read-only file, whoever asks.
    if (existed && use.write && isReadOnlyMode(info.st_mode))
        return fail(ERROR_ACCESS_DENIED);
    if (existed && creation == CREATE_ALWAYS && isReadOnlyMode(info.st_mode))
        return fail(ERROR_ACCESS_DENIED);
    int statusFlags = fcntl(fd.get(), F_GETFL);
    if (statusFlags >= 0)
        fcntl(fd.get(), F_SETFL, statusFlags & ~O_NONBLOCK);

    ShareRegistry::Registration registration;
    if (!ShareRegistry::instance().tryRegister(identityOf(info), use, registration))
        return fail(ERROR_SHARING_VIOLATION);
    if (existed && (creation == CREATE_ALWAYS || creation == TRUNCATE_EXISTING) &&
        ftruncate(fd.get(), 0) != 0)
        return fail(win32ErrorFromErrno(errno));
    if (flagsAndAttributes & FILE_FLAG_SEQUENTIAL_SCAN)
        posix_fadvise(fd.get(), 0, 0, POSIX_FADV_SEQUENTIAL);

    auto object = std::make_shared<FileObject>(std::move(fd), use, std::move(registration));
    HANDLE handle = HandleTable::instance().insert(std::move(object));
    if (!handle) {
        if (!existed)
            unlink(path.c_str());
        return failWith(ERROR_TOO_MANY_OPEN_FILES, INVALID_HANDLE_VALUE);
    }
    bool reportExisting = existed && (creation == CREATE_ALWAYS || creation == OPEN_ALWAYS);
    SetLastError(reportExisting ? ERROR_ALREADY_EXISTS : ERROR_SUCCESS);
    return handle;
}

bool endsWithSeparator(const char *path)
{
    std::string_view text(path);
    return !text.empty() && lastPathSeparator(text) == text.size() - 1;
}

}  // namespace

HANDLE WINAPI CreateFileA(LPCSTR fileName, DWORD desiredAccess, DWORD shareMode,
                          LPSECURITY_ATTRIBUTES, DWORD creationDisposition,
                          DWORD flagsAndAttributes, HANDLE)
{
    if (!fileName || !*fileName)
        return failWith(ERROR_PATH_NOT_FOUND, INVALID_HANDLE_VALUE);
    if (creationDisposition < CREATE_NEW || creationDisposition > TRUNCATE_EXISTING)
        return failWith(ERROR_INVALID_PARAMETER, INVALID_HANDLE_VALUE);
    if (shareMode & ~allShareModes)
        return failWith(ERROR_INVALID_PARAMETER, INVALID_HANDLE_VALUE);
    FileUse use = useOf(desiredAccess, shareMode);
    if (creationDisposition == TRUNCATE_EXISTING && !use.write)
        return failWith(ERROR_INVALID_PARAMETER, INVALID_HANDLE_VALUE);

    ResolvedPath resolved;
    DWORD error = resolvePath(fileName, resolved);
    if (error != ERROR_SUCCESS)
        return failWith(error, INVALID_HANDLE_VALUE);
    switch (resolved.kind) {
    case ResolvedPath::Kind::CdRoot:
        return failWith(ERROR_ACCESS_DENIED, INVALID_HANDLE_VALUE);
    case ResolvedPath::Kind::CdTrackFile:
        return openCdTrackFile(resolved, use, creationDisposition);
    case ResolvedPath::Kind::HostFile:
        break;
    }
    return openHostPath(resolved.hostPath, endsWithSeparator(fileName), use, creationDisposition,
                        flagsAndAttributes);
}

BOOL WINAPI ReadFile(HANDLE file, LPVOID buffer, DWORD bytesToRead, LPDWORD bytesRead,
                     LPOVERLAPPED overlapped)
{
    if (bytesRead)
        *bytesRead = 0;
    auto object = HandleTable::instance().findAs<FileObject>(file);
    if (!object)
        return failWith(ERROR_INVALID_HANDLE, FALSE);
    // Handles of this layer are never opened for overlapped I/O.
    if (overlapped)
        return failWith(ERROR_INVALID_PARAMETER, FALSE);
    if (!buffer && bytesToRead > 0)
        return failWith(ERROR_NOACCESS, FALSE);
    DWORD done = 0;
    DWORD error = object->read(buffer, bytesToRead, done);
    if (bytesRead)
        *bytesRead = done;
    if (error != ERROR_SUCCESS)
        return failWith(error, FALSE);
    return TRUE;
}

BOOL WINAPI WriteFile(HANDLE file, LPCVOID buffer, DWORD bytesToWrite, LPDWORD bytesWritten,
                      LPOVERLAPPED overlapped)
{
    if (bytesWritten)
        *bytesWritten = 0;
    auto object = HandleTable::instance().findAs<FileObject>(file);
    if (!object)
        return failWith(ERROR_INVALID_HANDLE, FALSE);
    if (overlapped)
        return failWith(ERROR_INVALID_PARAMETER, FALSE);
    if (!buffer && bytesToWrite > 0)
        return failWith(ERROR_NOACCESS, FALSE);
    DWORD done = 0;
    DWORD error = object->write(buffer, bytesToWrite, done);
    if (bytesWritten)
        *bytesWritten = done;
    if (error != ERROR_SUCCESS)
        return failWith(error, FALSE);
    return TRUE;
}

BOOL WINAPI FlushFileBuffers(HANDLE file)
{
    auto object = HandleTable::instance().findAs<FileObject>(file);
    if (!object)
        return failWith(ERROR_INVALID_HANDLE, FALSE);
    DWORD error = object->flush();
    if (error != ERROR_SUCCESS)
        return failWith(error, FALSE);
    return TRUE;
}

DWORD WINAPI SetFilePointer(HANDLE file, LONG distance, PLONG distanceHigh, DWORD moveMethod)
{
    auto object = HandleTable::instance().findAs<FileObject>(file);
    if (!object)
        return failWith(ERROR_INVALID_HANDLE, INVALID_SET_FILE_POINTER);
    int64_t move = distance;
    if (distanceHigh) {
        uint64_t combined = (static_cast<uint64_t>(static_cast<uint32_t>(*distanceHigh)) << 32) |
                            static_cast<uint32_t>(distance);
        move = static_cast<int64_t>(combined);
    }
    uint64_t before = 0;
    DWORD error = object->seek(0, FILE_CURRENT, before);
    uint64_t position = 0;
    if (error == ERROR_SUCCESS)
        error = object->seek(move, moveMethod, position);
    if (error != ERROR_SUCCESS)
        return failWith(error, INVALID_SET_FILE_POINTER);
    if (!distanceHigh && position > 0xFFFFFFFFu) {
        // Without a high part the new position must fit 32 bits.
        object->seek(static_cast<int64_t>(before), FILE_BEGIN, position);
        return failWith(ERROR_INVALID_PARAMETER, INVALID_SET_FILE_POINTER);
    }
    if (distanceHigh)
        *distanceHigh = static_cast<LONG>(position >> 32);
    DWORD low = static_cast<DWORD>(position & 0xFFFFFFFFu);
    // A real position whose low part looks like the failure value.
    if (low == INVALID_SET_FILE_POINTER)
        SetLastError(ERROR_SUCCESS);
    return low;
}

DWORD WINAPI GetFileSize(HANDLE file, LPDWORD fileSizeHigh)
{
    auto object = HandleTable::instance().findAs<FileObject>(file);
    if (!object)
        return failWith(ERROR_INVALID_HANDLE, INVALID_FILE_SIZE);
    uint64_t size = 0;
    DWORD error = object->size(size);
    if (error != ERROR_SUCCESS)
        return failWith(error, INVALID_FILE_SIZE);
    if (fileSizeHigh)
        *fileSizeHigh = static_cast<DWORD>(size >> 32);
    DWORD low = static_cast<DWORD>(size & 0xFFFFFFFFu);
    if (low == INVALID_FILE_SIZE)
        SetLastError(ERROR_SUCCESS);
    return low;
}

DWORD WINAPI GetFileAttributesA(LPCSTR fileName)
{
    if (!fileName || !*fileName)
        return failWith(ERROR_PATH_NOT_FOUND, INVALID_FILE_ATTRIBUTES);
    ResolvedPath resolved;
    DWORD error = resolvePath(fileName, resolved);
    if (error != ERROR_SUCCESS)
        return failWith(error, INVALID_FILE_ATTRIBUTES);
    switch (resolved.kind) {
    case ResolvedPath::Kind::CdRoot:
        return FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_READONLY;
    case ResolvedPath::Kind::CdTrackFile:
        return FILE_ATTRIBUTE_READONLY;
    case ResolvedPath::Kind::HostFile:
        break;
    }
    const std::string &path = resolved.hostPath;
    HostFileInfo info;
    int code = readHostFileInfo(path, path.substr(path.find_last_of('/') + 1), info);
    if (code != 0)
        return failWith(win32ErrorForPath(code, path), INVALID_FILE_ATTRIBUTES);
    return info.attributes;
}

BOOL WINAPI DeleteFileA(LPCSTR fileName)
{
    if (!fileName || !*fileName)
        return failWith(ERROR_PATH_NOT_FOUND, FALSE);
    std::string path;
    if (DWORD error = resolveHostPath(fileName, path); error != ERROR_SUCCESS)
        return failWith(error, FALSE);
    struct stat info;
    if (lstat(path.c_str(), &info) != 0)
        return failWith(win32ErrorForPath(errno, path), FALSE);
    if (S_ISDIR(info.st_mode))
        return failWith(ERROR_ACCESS_DENIED, FALSE);
    if (!S_ISLNK(info.st_mode)) {
        if (isReadOnlyMode(info.st_mode))
            return failWith(ERROR_ACCESS_DENIED, FALSE);
        if (!ShareRegistry::instance().allowsDelete(identityOf(info)))
            return failWith(ERROR_SHARING_VIOLATION, FALSE);
    }
    if (unlink(path.c_str()) != 0)
        return failWith(win32ErrorForPath(errno, path), FALSE);
    return TRUE;
}

BOOL WINAPI CreateDirectoryA(LPCSTR pathName, LPSECURITY_ATTRIBUTES)
{
    if (!pathName || !*pathName)
        return failWith(ERROR_PATH_NOT_FOUND, FALSE);
    ResolvedPath resolved;
    DWORD error = resolvePath(pathName, resolved);
    if (error != ERROR_SUCCESS)
        return failWith(error, FALSE);
    if (resolved.kind == ResolvedPath::Kind::CdRoot)
        return failWith(ERROR_ALREADY_EXISTS, FALSE);
    if (resolved.kind != ResolvedPath::Kind::HostFile)
        return failWith(ERROR_ACCESS_DENIED, FALSE);
    if (mkdir(resolved.hostPath.c_str(), 0777) != 0) {
        if (errno == EEXIST)
            return failWith(ERROR_ALREADY_EXISTS, FALSE);
        if (errno == ENOENT)
            return failWith(ERROR_PATH_NOT_FOUND, FALSE);
        return failWith(win32ErrorFromErrno(errno), FALSE);
    }
    return TRUE;
}

BOOL WINAPI RemoveDirectoryA(LPCSTR pathName)
{
    if (!pathName || !*pathName)
        return failWith(ERROR_PATH_NOT_FOUND, FALSE);
    std::string path;
    if (DWORD error = resolveHostPath(pathName, path); error != ERROR_SUCCESS)
        return failWith(error, FALSE);
    struct stat info;
    if (lstat(path.c_str(), &info) != 0)
        return failWith(win32ErrorForPath(errno, path), FALSE);
    if (!S_ISDIR(info.st_mode))
        return failWith(ERROR_DIRECTORY, FALSE);
    if (rmdir(path.c_str()) != 0) {
        if (errno == ENOTEMPTY || errno == EEXIST)
            return failWith(ERROR_DIR_NOT_EMPTY, FALSE);
        return failWith(win32ErrorForPath(errno, path), FALSE);
    }
    return TRUE;
}
