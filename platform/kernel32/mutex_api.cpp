// CreateMutexA: mutex objects, and the one thing other processes can see of
// them here, whether a name exists.
//
// A named mutex is a lock file in the session folder (session_folder.h).
// Each open handle holds a shared lock on byte 1 of its file, so the name
// exists while any handle to it is open, in this process or another one,
// and the kernel drops the lock when the last handle is closed or its
// process ends, however it ends: a crash leaves nothing that blocks the
// next opener. The creating opener is told apart by looking for another
// holder under an exclusive lock on byte 0, which makes look and take one
// step for all openers. Locks are open file description locks, so two
// handles of one process count as two holders, as on the platform.
//
// The "Local\" and "Global\" prefixes both name the user's namespace (the
// layer has one per user); any other backslash names a namespace that does
// not exist. Ownership is not kept: the subset has no wait functions, so
// the initial-owner flag has nothing to act on.
#include <fcntl.h>

#include <cerrno>
#include <memory>
#include <string>
#include <string_view>

#include "platform/kernel32/handle_table.h"
#include "platform/kernel32/host_errors.h"
#include "platform/kernel32/kernel_object.h"
#include "platform/kernel32/session_folder.h"
#include "platform/kernel32/unique_fd.h"
#include "platform/win32.h"

namespace hp::kernel32 {
namespace {

// Longest host file name the folder takes.
constexpr size_t longestFileName = 255;

class MutexObject final : public KernelObject {
public:
    static constexpr Kind objectKind = Kind::Mutex;
    explicit MutexObject(UniqueFd lockFile) : KernelObject(objectKind), lockFile_(std::move(lockFile))
    {
    }

private:
    UniqueFd lockFile_;  // named mutexes: holds the name while open
};

bool isPlainNameByte(char c)
{
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') ||
           c == '.' || c == '_' || c == '-';
}

// "mutex." and the name, each byte outside [A-Za-z0-9._-] as %XX; "" when
// the name has a backslash after its namespace.
std::string lockFileName(std::string_view name)
{
    for (std::string_view prefix : {"Local\\", "Global\\"}) {
        if (name.substr(0, prefix.size()) == prefix) {
            name.remove_prefix(prefix.size());
            break;
        }
    }
    if (name.find('\\') != std::string_view::npos)
        return "";
    std::string fileName = "mutex.";
    for (char c : name) {
        if (isPlainNameByte(c)) {
            fileName += c;
        } else {
            static const char digits[] = "0123456789ABCDEF";
            const unsigned char byte = static_cast<unsigned char>(c);
            fileName += '%';
            fileName += digits[byte >> 4];
            fileName += digits[byte & 0x0F];
        }
    }
    return fileName;
}

int lockByte(int fd, int command, short type, off_t byte)
{
    struct flock lock = {};
    lock.l_type = type;
    lock.l_whence = SEEK_SET;
    lock.l_start = byte;
    lock.l_len = 1;
    int result;
    do {
        result = fcntl(fd, command, &lock);
    } while (result != 0 && errno == EINTR);
    if (result == 0 && command == F_OFD_GETLK)
        return lock.l_type;
    return result;
}

// Opens the name's lock file and takes its hold; `existed` tells whether
// another handle held the name already.
DWORD holdName(const std::string &path, UniqueFd &held, bool &existed)
{
    UniqueFd file(open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600));
    if (!file.valid())
        return win32ErrorFromErrno(errno);
    constexpr off_t openers = 0;
    constexpr off_t holders = 1;
    if (lockByte(file.get(), F_OFD_SETLKW, F_WRLCK, openers) != 0)
        return win32ErrorFromErrno(errno);
    const int other = lockByte(file.get(), F_OFD_GETLK, F_WRLCK, holders);
    const bool holding = other >= 0 && lockByte(file.get(), F_OFD_SETLK, F_RDLCK, holders) == 0;
    const int holdError = errno;
    lockByte(file.get(), F_OFD_SETLK, F_UNLCK, openers);
    if (other < 0 || !holding)
        return win32ErrorFromErrno(holdError);
    existed = other != F_UNLCK;
    held = std::move(file);
    return ERROR_SUCCESS;
}

}  // namespace
}  // namespace hp::kernel32

HANDLE WINAPI CreateMutexA(LPSECURITY_ATTRIBUTES, BOOL, LPCSTR name)
{
    using namespace hp::kernel32;
    UniqueFd lockFile;
    bool existed = false;
    if (name && *name) {
        if (lstrlenA(name) >= MAX_PATH)
            return failWith(ERROR_FILENAME_EXCED_RANGE, HANDLE{nullptr});
        const std::string fileName = lockFileName(name);
        if (fileName.empty())
            return failWith(ERROR_PATH_NOT_FOUND, HANDLE{nullptr});
        // A name too long for a host file name: a limit of this layer.
        if (fileName.size() > longestFileName)
            return failWith(ERROR_FILENAME_EXCED_RANGE, HANDLE{nullptr});
        const std::string folder = sessionFolder();
        if (folder.empty())
            return failWith(ERROR_ACCESS_DENIED, HANDLE{nullptr});
        const DWORD error = holdName(folder + "/" + fileName, lockFile, existed);
        if (error != ERROR_SUCCESS)
            return failWith(error, HANDLE{nullptr});
    }
    HANDLE handle = HandleTable::instance().insert(std::make_shared<MutexObject>(std::move(lockFile)));
    if (!handle)
        return failWith(ERROR_NO_SYSTEM_RESOURCES, HANDLE{nullptr});
    SetLastError(existed ? ERROR_ALREADY_EXISTS : ERROR_SUCCESS);
    return handle;
}
