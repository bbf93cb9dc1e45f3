#include "platform/kernel32/host_errors.h"

#include <sys/stat.h>

#include <cerrno>

namespace hp::kernel32 {

DWORD win32ErrorFromErrno(int error)
{
    switch (error) {
    case 0:
        return ERROR_SUCCESS;
    case ENOENT:
        return ERROR_FILE_NOT_FOUND;
    case ENOTDIR:
        return ERROR_PATH_NOT_FOUND;
    case EACCES:
    case EPERM:
    case EISDIR:
    case EBUSY:
    case ETXTBSY:
        return ERROR_ACCESS_DENIED;
    case EEXIST:
        return ERROR_FILE_EXISTS;
    case ENOTEMPTY:
        return ERROR_DIR_NOT_EMPTY;
    case EMFILE:
    case ENFILE:
        return ERROR_TOO_MANY_OPEN_FILES;
    case ENOSPC:
    case EFBIG:
    case EDQUOT:
        return ERROR_DISK_FULL;
    case EROFS:
        return ERROR_WRITE_PROTECT;
    case ENAMETOOLONG:
        return ERROR_FILENAME_EXCED_RANGE;
    case ENOMEM:
        return ERROR_NOT_ENOUGH_MEMORY;
    case EBADF:
        return ERROR_INVALID_HANDLE;
    case EINVAL:
        return ERROR_INVALID_PARAMETER;
    case EXDEV:
        return ERROR_NOT_SAME_DEVICE;
    case ELOOP:
        return ERROR_PATH_NOT_FOUND;
    case EFAULT:
        return ERROR_NOACCESS;
    case EIO:
        return ERROR_READ_FAULT;
    default:
        return ERROR_ACCESS_DENIED;
    }
}

DWORD notFoundErrorFor(const std::string &hostPath)
{
    size_t slash = hostPath.find_last_of('/');
    std::string folder = (slash == std::string::npos || slash == 0) ? std::string("/")
                                                                    : hostPath.substr(0, slash);
    struct stat info;
    if (stat(folder.c_str(), &info) == 0 && S_ISDIR(info.st_mode))
        return ERROR_FILE_NOT_FOUND;
    return ERROR_PATH_NOT_FOUND;
}

DWORD win32ErrorForPath(int error, const std::string &hostPath)
{
    if (error == ENOENT)
        return notFoundErrorFor(hostPath);
    return win32ErrorFromErrno(error);
}

}  // namespace hp::kernel32
