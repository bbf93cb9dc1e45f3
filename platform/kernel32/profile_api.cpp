// GetPrivateProfileIntA, GetPrivateProfileStringA and
// WritePrivateProfileStringA. Every call reads the file afresh, so changes
// made by others show at once; a write replaces the whole file atomically
// (atomic_file_writer.h) and only when its text changes.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <mutex>

#include "platform/kernel32/atomic_file_writer.h"
#include "platform/kernel32/host_errors.h"
#include "platform/kernel32/host_file_info.h"
#include "platform/kernel32/path_model.h"
#include "platform/kernel32/profile_document.h"
#include "platform/kernel32/profile_reading.h"
#include "platform/kernel32/share_registry.h"
#include "platform/kernel32/unique_fd.h"

using namespace hp::kernel32;

namespace {

std::mutex &profileMutex()
{
    static auto *mutex = new std::mutex;
    return *mutex;
}

// The file's bytes; a missing file reads as empty (existed false). An open
// of this process that does not share the access refuses it, as the
// platform's own open would.
DWORD loadProfile(const std::string &hostPath, const FileUse &use, std::string &bytes,
                  bool &existed)
{
    bytes.clear();
    existed = false;
    UniqueFd fd(open(hostPath.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY));
    if (!fd.valid()) {
        DWORD error = win32ErrorForPath(errno, hostPath);
        return error == ERROR_FILE_NOT_FOUND ? ERROR_SUCCESS : error;
    }
    struct stat info;
    if (fstat(fd.get(), &info) != 0)
        return win32ErrorFromErrno(errno);
    if (!S_ISREG(info.st_mode))
        return ERROR_ACCESS_DENIED;
    if (use.write && isReadOnlyMode(info.st_mode))
        return ERROR_ACCESS_DENIED;
    if (!ShareRegistry::instance().allows(FileIdentity{info.st_dev, info.st_ino}, use))
        return ERROR_SHARING_VIOLATION;
    existed = true;
    char buffer[16384];
    for (;;) {
        ssize_t got = read(fd.get(), buffer, sizeof buffer);
        if (got < 0) {
            if (errno == EINTR)
                continue;
            return win32ErrorFromErrno(errno);
        }
        if (got == 0)
            return ERROR_SUCCESS;
        bytes.append(buffer, static_cast<size_t>(got));
    }
}

}  // namespace

DWORD WINAPI GetPrivateProfileStringA(LPCSTR appName, LPCSTR keyName, LPCSTR defaultValue,
                                      LPSTR returnedString, DWORD size, LPCSTR fileName)
{
    if (!returnedString || size == 0)
        return 0;
    std::string bytes;
    bool existed = false;
    // The platform keeps bare names ("app.ini") in its Windows folder; this
    // layer has none, so they resolve against the working directory like any
    // relative path.
    std::string hostPath;
    DWORD error = fileName && *fileName ? resolveHostPath(fileName, hostPath) : ERROR_FILE_NOT_FOUND;
    if (error == ERROR_SUCCESS) {
        std::lock_guard<std::mutex> lock(profileMutex());
        FileUse use{true, false, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE};
        error = loadProfile(hostPath, use, bytes, existed);
    }
    if (error != ERROR_SUCCESS && error != ERROR_FILE_NOT_FOUND)
        return readProfileDefault(defaultValue, returnedString, size);

    return readProfileString(ProfileDocument::parse(bytes), appName, keyName, defaultValue,
                             returnedString, size);
}

UINT WINAPI GetPrivateProfileIntA(LPCSTR appName, LPCSTR keyName, INT defaultValue,
                                  LPCSTR fileName)
{
    char buffer[profileIntegerBytes];
    if (GetPrivateProfileStringA(appName, keyName, "", buffer, sizeof buffer, fileName) == 0)
        return static_cast<UINT>(defaultValue);
    return profileInteger(buffer);
}

BOOL WINAPI WritePrivateProfileStringA(LPCSTR appName, LPCSTR keyName, LPCSTR value,
                                       LPCSTR fileName)
{
    // All three null asks the platform to flush its cache; there is none
    // here, and the platform answers FALSE.
    if (!appName && !keyName && !value)
        return FALSE;
    if (!fileName)
        return failWith(ERROR_INVALID_PARAMETER, FALSE);
    if (!*fileName)
        return failWith(ERROR_ACCESS_DENIED, FALSE);
    if (!appName)
        return failWith(ERROR_FILE_NOT_FOUND, FALSE);

    std::string hostPath;
    DWORD error = resolveHostPath(fileName, hostPath);
    if (error != ERROR_SUCCESS)
        return failWith(error, FALSE);

    std::lock_guard<std::mutex> lock(profileMutex());
    std::string bytes;
    bool existed = false;
    FileUse use{true, true, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE};
    error = loadProfile(hostPath, use, bytes, existed);
    if (error != ERROR_SUCCESS)
        return failWith(error, FALSE);

    ProfileDocument document = ProfileDocument::parse(bytes);
    bool changed = !keyName ? document.deleteSection(appName)
                   : !value ? document.deleteKey(appName, keyName)
                            : document.setValue(appName, keyName, value);
    // Like the platform, a call that changes nothing still leaves a file
    // behind where there was none.
    if (!changed && existed)
        return TRUE;
    error = AtomicFileWriter::replace(hostPath, document.serialize());
    if (error != ERROR_SUCCESS)
        return failWith(error, FALSE);
    return TRUE;
}
