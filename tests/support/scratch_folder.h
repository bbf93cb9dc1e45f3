// A folder of its own for one test, removed with everything in it when the
// test ends.
#pragma once

#include <string>
#include <vector>

namespace hp::test {

class ScratchFolder {
public:
    ScratchFolder();
    ~ScratchFolder();
    ScratchFolder(const ScratchFolder &) = delete;
    ScratchFolder &operator=(const ScratchFolder &) = delete;

    // Absolute host path of the folder, without a trailing separator.
    const std::string &path() const { return path_; }
    // path() + "/" + name.
    std::string pathOf(const std::string &name) const;

    // Writes a file (name relative to the folder) and returns its path.
    std::string write(const std::string &name, const std::string &bytes) const;
    std::string makeFolder(const std::string &name) const;
    // The file's bytes, or "<missing>" when it cannot be read.
    std::string read(const std::string &name) const;
    // Names of the folder's entries, sorted.
    std::vector<std::string> names() const;

private:
    std::string path_;
};

// Makes the scratch folder the current directory for a scope.
class CurrentDirectory {
public:
    explicit CurrentDirectory(const std::string &path);
    ~CurrentDirectory();
    CurrentDirectory(const CurrentDirectory &) = delete;
    CurrentDirectory &operator=(const CurrentDirectory &) = delete;

private:
    std::string previous_;
};

}  // namespace hp::test
