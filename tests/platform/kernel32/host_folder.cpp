#include "host_folder.h"

#include <dirent.h>
#include <ftw.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <vector>

#include "platform/kernel32/path_model.h"

namespace {

int removeEntry(const char *path, const struct stat *, int, struct FTW *)
{
    // Folders a test made read-only must become writable to be emptied.
    chmod(path, 0700);
    return remove(path);
}

}  // namespace

HostFolder::HostFolder()
{
    const char *base = std::getenv("TMPDIR");
    std::string pattern = std::string(base && *base ? base : "/tmp") + "/hp_kernel32_XXXXXX";
    std::vector<char> buffer(pattern.begin(), pattern.end());
    buffer.push_back('\0');
    if (mkdtemp(buffer.data()))
        path_ = buffer.data();
}

HostFolder::~HostFolder()
{
    if (path_.empty())
        return;
    chmod(path_.c_str(), 0700);
    nftw(path_.c_str(), removeEntry, 16, FTW_DEPTH | FTW_PHYS);
}

std::string HostFolder::windowsPath(const std::string &name) const
{
    std::string folder = hp::kernel32::windowsPathOf(path_);
    return name.empty() ? folder : folder + "\\" + name;
}

bool HostFolder::writeFile(const std::string &hostPath, const std::string &bytes)
{
    std::ofstream out(hostPath, std::ios::binary | std::ios::trunc);
    out << bytes;
    return static_cast<bool>(out);
}

bool HostFolder::readFile(const std::string &hostPath, std::string &bytes)
{
    std::ifstream in(hostPath, std::ios::binary);
    if (!in)
        return false;
    std::ostringstream content;
    content << in.rdbuf();
    bytes = content.str();
    return true;
}

std::string HostFolder::listing(const std::string &hostPath)
{
    std::vector<std::string> names;
    if (DIR *dir = opendir(hostPath.c_str())) {
        while (dirent *entry = readdir(dir)) {
            std::string name = entry->d_name;
            if (name != "." && name != "..")
                names.push_back(name);
        }
        closedir(dir);
    }
    std::sort(names.begin(), names.end());
    std::string joined;
    for (const std::string &name : names)
        joined += (joined.empty() ? "" : " ") + name;
    return joined;
}
