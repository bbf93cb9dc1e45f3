#include "platform/kernel32/disc_image_list.h"

#include <cstdlib>
#include <fstream>
#include <sstream>

#include "platform/kernel32/current_directory.h"

namespace hp::kernel32 {
namespace {

std::string environment(const char *name)
{
    const char *value = std::getenv(name);
    return value ? std::string(value) : std::string();
}

std::string trimmed(const std::string &text)
{
    const char *space = " \t\r\n";
    const size_t first = text.find_first_not_of(space);
    if (first == std::string::npos)
        return {};
    return text.substr(first, text.find_last_not_of(space) - first + 1);
}

std::string absolutePath(const std::string &path, const std::string &base,
                         const std::string &home)
{
    if (path[0] == '/')
        return path;
    if (path.compare(0, 2, "~/") == 0 && !home.empty())
        return home + path.substr(1);
    if (base.empty() || base.back() == '/')
        return base + path;
    return base + "/" + path;
}

}  // namespace

std::vector<std::string> discImagesOfVariable(const std::string &variableValue,
                                              const std::string &workingFolder,
                                              const std::string &home)
{
    std::vector<std::string> images;
    std::istringstream entries(variableValue);
    std::string entry;
    while (std::getline(entries, entry, ':')) {
        if (!entry.empty())
            images.push_back(absolutePath(entry, workingFolder, home));
    }
    return images;
}

std::vector<std::string> discImagesOfListFile(const std::string &listText,
                                              const std::string &listFolder,
                                              const std::string &home)
{
    std::vector<std::string> images;
    std::istringstream lines(listText);
    std::string line;
    while (std::getline(lines, line)) {
        line = trimmed(line);
        if (!line.empty() && line[0] != '#')
            images.push_back(absolutePath(line, listFolder, home));
    }
    return images;
}

std::vector<std::string> configuredDiscImages()
{
    const std::string home = environment("HOME");
    if (std::getenv("HOLLYPHONE_CD_IMAGES"))
        return discImagesOfVariable(environment("HOLLYPHONE_CD_IMAGES"), currentHostDirectory(),
                                    home);
    std::string configFolder = environment("XDG_CONFIG_HOME");
    if (configFolder.empty()) {
        if (home.empty())
            return {};
        configFolder = home + "/.config";
    }
    const std::string listFolder = configFolder + "/hollyphone";
    std::ifstream list(listFolder + "/discs");
    if (!list)
        return {};
    std::ostringstream text;
    text << list.rdbuf();
    return discImagesOfListFile(text.str(), listFolder, home);
}

}  // namespace hp::kernel32
