// GetModuleFileNameA and GetModuleHandleA for the one module there is: the
// running executable.
#include "platform/kernel32/module_file.h"

#include <unistd.h>

#include <cstring>
#include <mutex>
#include <vector>

#include "platform/kernel32/cp932_text.h"
#include "platform/kernel32/host_errors.h"
#include "platform/kernel32/path_model.h"

namespace hp::kernel32 {
namespace {

// The image base the platform's loader gives an executable; any stable
// non-null value serves as the instance handle.
HMODULE const processModule = reinterpret_cast<HMODULE>(static_cast<uintptr_t>(0x00400000));

std::mutex &overrideMutex()
{
    static auto *mutex = new std::mutex;
    return *mutex;
}

std::string &overridePath()
{
    static auto *path = new std::string;
    return *path;
}

std::string executablePath()
{
    std::vector<char> buffer(256);
    for (;;) {
        ssize_t length = readlink("/proc/self/exe", buffer.data(), buffer.size());
        if (length < 0)
            return "/";
        if (static_cast<size_t>(length) < buffer.size())
            return std::string(buffer.data(), static_cast<size_t>(length));
        buffer.resize(buffer.size() * 2);
    }
}

}  // namespace

std::string moduleHostPath()
{
    {
        std::lock_guard<std::mutex> lock(overrideMutex());
        if (!overridePath().empty())
            return overridePath();
    }
    return executablePath();
}

void setModulePathOverride(const std::string &hostPath)
{
    std::lock_guard<std::mutex> lock(overrideMutex());
    overridePath() = hostPath;
}

}  // namespace hp::kernel32

using namespace hp::kernel32;

DWORD WINAPI GetModuleFileNameA(HMODULE module, LPSTR fileName, DWORD size)
{
    if (module && module != processModule)
        return failWith(ERROR_MOD_NOT_FOUND, 0u);
    if (size == 0)
        return failWith(ERROR_INSUFFICIENT_BUFFER, 0u);
    if (!fileName)
        return failWith(ERROR_NOACCESS, 0u);
    std::string path = windowsPathOf(moduleHostPath());
    if (path.size() < size) {
        std::memcpy(fileName, path.data(), path.size());
        fileName[path.size()] = '\0';
        SetLastError(ERROR_SUCCESS);
        return static_cast<DWORD>(path.size());
    }
    // Cut to size - 1 bytes and terminated; the result is size.
    std::memcpy(fileName, path.data(), size - 1);
    fileName[size - 1] = '\0';
    SetLastError(ERROR_INSUFFICIENT_BUFFER);
    return size;
}

HMODULE WINAPI GetModuleHandleA(LPCSTR moduleName)
{
    if (!moduleName)
        return processModule;
    // The executable may also be asked for by its file name, with or
    // without the ".exe" the platform would show.
    std::string own = windowsPathOf(moduleHostPath());
    own = own.substr(own.find_last_of('\\') + 1);
    std::string asked = moduleName;
    size_t separator = asked.find_last_of("\\/");
    if (separator != std::string::npos)
        asked = asked.substr(separator + 1);
    if (equalIgnoringAsciiCase(asked, own) || equalIgnoringAsciiCase(asked, own + ".exe"))
        return processModule;
    return failWith(ERROR_MOD_NOT_FOUND, static_cast<HMODULE>(nullptr));
}
