#include "tests/support/scratch_folder.h"

#include <stdlib.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>

namespace hp::test {

namespace fs = std::filesystem;

ScratchFolder::ScratchFolder()
{
    std::string pattern = (fs::temp_directory_path() / "hp-test-XXXXXX").string();
    if (!mkdtemp(pattern.data())) {
        throw std::runtime_error("cannot create a scratch folder");
    }
    path_ = pattern;
}

ScratchFolder::~ScratchFolder()
{
    std::error_code ignored;
    fs::remove_all(path_, ignored);
}

std::string ScratchFolder::pathOf(const std::string &name) const { return path_ + "/" + name; }

std::string ScratchFolder::write(const std::string &name, const std::string &bytes) const
{
    std::string full = pathOf(name);
    std::ofstream out(full, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!out) {
        throw std::runtime_error("cannot write " + full);
    }
    return full;
}

std::string ScratchFolder::makeFolder(const std::string &name) const
{
    std::string full = pathOf(name);
    fs::create_directories(full);
    return full;
}

std::string ScratchFolder::read(const std::string &name) const
{
    std::ifstream in(pathOf(name), std::ios::binary);
    if (!in) {
        return "<missing>";
    }
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::vector<std::string> ScratchFolder::names() const
{
    std::vector<std::string> result;
    for (const fs::directory_entry &entry : fs::directory_iterator(path_)) {
        result.push_back(entry.path().filename().string());
    }
    std::sort(result.begin(), result.end());
    return result;
}

CurrentDirectory::CurrentDirectory(const std::string &path)
    : previous_(fs::current_path().string())
{
    fs::current_path(path);
}

CurrentDirectory::~CurrentDirectory()
{
    std::error_code ignored;
    fs::current_path(previous_, ignored);
}

}  // namespace hp::test
