// Win32 paths on arbitrary bytes: the path handed out for any host name
// resolves back to that name, and any text as a path gets an answer.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "platform/kernel32/path_model.h"
#include "platform/win32.h"

namespace {

void require(bool condition)
{
    if (!condition)
        std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    // Paths hold at most MAX_PATH bytes; longer ones take no other road.
    if (size > MAX_PATH)
        return 0;
    const std::string input(reinterpret_cast<const char *>(data), size);

    // A file named by the input, in a folder that cannot exist: /dev/null
    // is no folder, so looking the name up lists nothing and creates
    // nothing.
    std::string name = input;
    for (char &c : name) {
        if (c == '/' || c == '\0')
            c = '_';
    }
    if (!name.empty() && name != "." && name != "..") {
        const std::string hostPath = "/dev/null/" + name;
        const std::string windowsPath = hp::kernel32::windowsPathOf(hostPath);
        hp::kernel32::ResolvedPath resolved;
        require(hp::kernel32::resolvePath(windowsPath.c_str(), resolved) == ERROR_SUCCESS);
        require(resolved.kind == hp::kernel32::ResolvedPath::Kind::HostFile);
        require(resolved.hostPath == hostPath);
    }

    // Any text as a path: an answer, never a crash.
    hp::kernel32::ResolvedPath ignored;
    hp::kernel32::resolvePath(input.c_str(), ignored);
    return 0;
}
