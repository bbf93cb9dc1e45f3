// A host folder of a test's own under the system's temporary folder,
// removed with everything in it at the end, and small host-side file
// helpers for checking what the Win32 calls left on disk.
#pragma once

#include <string>

class HostFolder {
public:
    HostFolder();
    ~HostFolder();
    HostFolder(const HostFolder &) = delete;
    HostFolder &operator=(const HostFolder &) = delete;

    // Absolute host path, without a final slash.
    const std::string &path() const { return path_; }
    std::string child(const std::string &name) const { return path_ + "/" + name; }
    // The same place as a Win32 path ("C:\tmp\...").
    std::string windowsPath(const std::string &name = "") const;

    static bool writeFile(const std::string &hostPath, const std::string &bytes);
    static bool readFile(const std::string &hostPath, std::string &bytes);
    // Names in a host folder, "." and ".." left out, sorted.
    static std::string listing(const std::string &hostPath);

private:
    std::string path_;
};
