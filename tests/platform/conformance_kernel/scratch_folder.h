// A folder of a test's own, made in the working directory under a name no
// other test process picks, and removed with everything in it at the end.
// Only Win32 calls, so it works against either platform.
#pragma once

#include <optional>
#include <string>

#include "platform/win32.h"
#include "tests/platform/known_difference.h"

class ScratchFolder {
public:
    ScratchFolder();
    ~ScratchFolder();
    ScratchFolder(const ScratchFolder &) = delete;
    ScratchFolder &operator=(const ScratchFolder &) = delete;

    bool created() const { return created_; }
    // Relative to the working directory, without a final separator.
    const std::string &path() const { return path_; }
    std::string file(const std::string &name) const { return path_ + "\\" + name; }

    // Writes (replacing) a file below the folder with exactly these bytes.
    bool write(const std::string &name, const std::string &bytes) const;
    // The bytes of a file below the folder, or nothing when it cannot be
    // read.
    std::optional<std::string> read(const std::string &name) const;
    bool exists(const std::string &name) const;

private:
    static void removeTree(const std::string &folder);

    std::string path_;
    bool created_ = false;
};

using conformance::runningUnderWine;
