// Host errno values as the Win32 error codes the platform reports for the
// same condition.
#pragma once

#include <string>

#include "platform/win32.h"

namespace hp::kernel32 {

DWORD win32ErrorFromErrno(int error);

// A name that does not exist: ERROR_FILE_NOT_FOUND when its folder exists,
// ERROR_PATH_NOT_FOUND when the folder is missing too, as the platform
// tells the two apart.
DWORD notFoundErrorFor(const std::string &hostPath);

// win32ErrorFromErrno, except that ENOENT is told apart as above.
DWORD win32ErrorForPath(int error, const std::string &hostPath);

// Sets the thread's last error and returns the given result, for guard
// clauses: `return failWith(ERROR_INVALID_HANDLE, FALSE);`
template <typename Result>
Result failWith(DWORD error, Result result)
{
    SetLastError(error);
    return result;
}

}  // namespace hp::kernel32
