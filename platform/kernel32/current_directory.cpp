#include "platform/kernel32/current_directory.h"

#include <unistd.h>

#include <cerrno>
#include <vector>

#include "platform/kernel32/host_errors.h"
#include "platform/kernel32/path_model.h"

namespace hp::kernel32 {

std::string currentHostDirectory()
{
    std::vector<char> buffer(256);
    for (;;) {
        if (getcwd(buffer.data(), buffer.size()))
            return buffer.data();
        if (errno != ERANGE || buffer.size() > (1u << 20))
            return "/";
        buffer.resize(buffer.size() * 2);
    }
}

}  // namespace hp::kernel32

DWORD WINAPI GetCurrentDirectoryA(DWORD bufferLength, LPSTR buffer)
{
    std::string path = hp::kernel32::windowsPathOf(hp::kernel32::currentHostDirectory());
    DWORD length = static_cast<DWORD>(path.size());
    // Too small: nothing is copied and the size needed, terminator
    // included, comes back.
    if (!buffer || bufferLength <= length)
        return length + 1;
    path.copy(buffer, length);
    buffer[length] = '\0';
    return length;
}

BOOL WINAPI SetCurrentDirectoryA(LPCSTR pathName)
{
    using namespace hp::kernel32;
    if (!pathName || !*pathName)
        return failWith(ERROR_INVALID_PARAMETER, FALSE);
    ResolvedPath resolved;
    DWORD error = resolvePath(pathName, resolved);
    if (error != ERROR_SUCCESS)
        return failWith(error, FALSE);
    // The working directory is a host folder; an audio CD's root is not one.
    if (resolved.kind != ResolvedPath::Kind::HostFile)
        return failWith(ERROR_DIRECTORY, FALSE);
    if (chdir(resolved.hostPath.c_str()) != 0) {
        int code = errno;
        if (code == ENOTDIR)
            return failWith(ERROR_DIRECTORY, FALSE);
        return failWith(win32ErrorForPath(code, resolved.hostPath), FALSE);
    }
    return TRUE;
}
