#include "platform/kernel32/current_directory.h"

#include <unistd.h>

#include <cerrno>
#include <string>
#include <vector>

#include "platform/kernel32/host_errors.h"
#include "platform/kernel32/path_model.h"
#include "platform/kernel32/path_syntax.h"

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

// The full form of a path: its drive, then its components after the
// platform's normalisation, relative paths joined to the current directory.
// Nothing is looked up: the path need not exist.
DWORD WINAPI GetFullPathNameA(LPCSTR fileName, DWORD bufferLength, LPSTR buffer, LPSTR *filePart)
{
    using namespace hp::kernel32;
    if (!fileName)
        return failWith(ERROR_INVALID_PARAMETER, DWORD{0});
    PathSyntax syntax;
    const DWORD error = parsePathSyntax(fileName, syntax);
    if (error != ERROR_SUCCESS)
        return failWith(error, DWORD{0});

    // The current directory is on drive C:; another drive's own current
    // directory is its root.
    const bool fromCurrentDirectory =
        syntax.root == PathSyntax::Root::CurrentDirectory ||
        (syntax.root == PathSyntax::Root::Drive && syntax.driveRelative && syntax.driveLetter == 'C');
    std::vector<std::string> components;
    std::string full = "C:";
    if (syntax.root == PathSyntax::Root::Drive)
        full[0] = syntax.driveLetter;
    if (fromCurrentDirectory)
        components = splitPathComponents(windowsPathOf(currentHostDirectory()).substr(2));
    for (std::string &component : syntax.components) {
        if (component == "..") {
            if (!components.empty())
                components.pop_back();
        } else {
            components.push_back(std::move(component));
        }
    }
    for (const std::string &component : components)
        full += "\\" + component;
    if (components.empty() || syntax.endsWithSeparator)
        full += '\\';

    const DWORD length = static_cast<DWORD>(full.size());
    if (!buffer || bufferLength <= length)
        return length + 1;
    full.copy(buffer, length);
    buffer[length] = '\0';
    if (filePart) {
        const bool endsWithName = !components.empty() && !syntax.endsWithSeparator;
        *filePart = endsWithName ? buffer + length - components.back().size() : nullptr;
    }
    return length;
}
