#include "platform/kernel32/installed_layout.h"

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "platform/kernel32/module_file.h"

namespace hp::kernel32 {
namespace {

constexpr const char *programFolderName = "hollyphone";
constexpr const char *skinLinkName = "image";
constexpr mode_t ownerOnly = 0700;

std::string parentOf(const std::string &path)
{
    const size_t slash = path.find_last_of('/');
    if (slash == std::string::npos)
        return "";
    return slash == 0 ? "/" : path.substr(0, slash);
}

std::string nameOf(const std::string &path) { return path.substr(path.find_last_of('/') + 1); }

bool isFolder(const std::string &path)
{
    struct stat status {};
    return stat(path.c_str(), &status) == 0 && S_ISDIR(status.st_mode);
}

std::string absoluteVariable(const char *name)
{
    const char *value = std::getenv(name);
    return value && value[0] == '/' ? std::string(value) : std::string();
}

std::string homeFolder()
{
    std::string home = absoluteVariable("HOME");
    if (!home.empty())
        return home;
    std::vector<char> buffer(16384);
    passwd entry {};
    passwd *found = nullptr;
    if (getpwuid_r(getuid(), &entry, buffer.data(), buffer.size(), &found) == 0 && found &&
        found->pw_dir && found->pw_dir[0] == '/')
        return found->pw_dir;
    return "";
}

// The link "image" in the data folder leads to the installed skin. A link
// that leads elsewhere is replaced in one step (a link beside it, renamed
// over it); anything else of that name is the user's and stays.
void linkSkin(const std::string &dataFolder, const std::string &skinFolder)
{
    const std::string link = dataFolder + "/" + skinLinkName;
    struct stat status {};
    if (lstat(link.c_str(), &status) == 0) {
        if (!S_ISLNK(status.st_mode))
            return;
        std::vector<char> target(static_cast<size_t>(status.st_size) + 2);
        const ssize_t length = readlink(link.c_str(), target.data(), target.size());
        if (length >= 0 && std::string(target.data(), static_cast<size_t>(length)) == skinFolder)
            return;
    }
    const std::string fresh = link + ".new-" + std::to_string(getpid());
    unlink(fresh.c_str());
    if (symlink(skinFolder.c_str(), fresh.c_str()) != 0 ||
        rename(fresh.c_str(), link.c_str()) != 0) {
        const int error = errno;
        unlink(fresh.c_str());
        std::fprintf(stderr, "Hollyphone: the skin %s cannot be linked as %s: %s\n",
                     skinFolder.c_str(), link.c_str(), std::strerror(error));
    }
}

}  // namespace

int makeFolders(const std::string &path)
{
    if (isFolder(path))
        return 0;
    const std::string parent = parentOf(path);
    if (!parent.empty() && parent != path) {
        if (int error = makeFolders(parent))
            return error;
    }
    if (mkdir(path.c_str(), ownerOnly) != 0 && errno != EEXIST)
        return errno;
    return isFolder(path) ? 0 : ENOTDIR;
}

std::string installedSkinFolder(const std::string &executableHostPath)
{
    const std::string binFolder = parentOf(executableHostPath);
    if (nameOf(binFolder) != "bin")
        return "";
    const std::string prefix = parentOf(binFolder);
    const std::string skin =
        (prefix == "/" ? std::string() : prefix) + "/share/" + programFolderName + "/image";
    return isFolder(skin) ? skin : "";
}

std::string userDataFolder()
{
    std::string data = absoluteVariable("XDG_DATA_HOME");
    if (data.empty()) {
        const std::string home = homeFolder();
        if (home.empty())
            return "";
        data = (home == "/" ? std::string() : home) + "/.local/share";
    }
    return data + "/" + programFolderName;
}

bool enterInstalledLayout(const std::string &executableHostPath, std::string &problem)
{
    const std::string skinFolder = installedSkinFolder(executableHostPath);
    if (skinFolder.empty())
        return true;
    const std::string dataFolder = userDataFolder();
    if (dataFolder.empty()) {
        problem = "there is no home folder to keep the settings and the queue in "
                  "(HOME is not set)";
        return false;
    }
    if (const int error = makeFolders(dataFolder)) {
        problem = "the folder " + dataFolder + " for the settings and the queue cannot be made: " +
                  std::strerror(error);
        return false;
    }
    if (chdir(dataFolder.c_str()) != 0) {
        problem = "the folder " + dataFolder + " for the settings and the queue cannot be entered: " +
                  std::strerror(errno);
        return false;
    }
    setModulePathOverride(dataFolder + "/" + nameOf(executableHostPath));
    linkSkin(dataFolder, skinFolder);
    return true;
}

}  // namespace hp::kernel32
