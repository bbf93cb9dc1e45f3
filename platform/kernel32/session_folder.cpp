#include "platform/kernel32/session_folder.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

namespace hp::kernel32 {
namespace {

constexpr mode_t ownerOnly = 0700;

bool isOurPrivateFolder(const std::string &path)
{
    struct stat status;
    if (lstat(path.c_str(), &status) != 0)
        return false;
    return S_ISDIR(status.st_mode) && status.st_uid == getuid() &&
           (status.st_mode & (S_IRWXG | S_IRWXO)) == 0;
}

}  // namespace

std::string sessionFolder()
{
    const char *runtime = std::getenv("XDG_RUNTIME_DIR");
    std::string folder = (runtime && runtime[0] == '/')
                             ? std::string(runtime) + "/hollyphone"
                             : "/tmp/hollyphone-" + std::to_string(getuid());
    if (mkdir(folder.c_str(), ownerOnly) != 0 && errno != EEXIST)
        return "";
    return isOurPrivateFolder(folder) ? folder : "";
}

}  // namespace hp::kernel32
