// Share modes between the process's own opens of a file, as the platform
// enforces them: an open is refused with ERROR_SHARING_VIOLATION when it
// asks for access that an earlier open does not share, or when it does not
// share the access an earlier open holds. Deleting or renaming a file needs
// every open of it to share delete. Files are told apart by device and
// inode, so two names of one file count as one file. Opens by other
// processes are not seen.
#pragma once

#include <sys/types.h>

#include <cstdint>
#include <map>
#include <mutex>

#include "platform/win32.h"

namespace hp::kernel32 {

struct FileIdentity {
    dev_t device = 0;
    ino_t inode = 0;
    bool operator<(const FileIdentity &other) const
    {
        return device != other.device ? device < other.device : inode < other.inode;
    }
};

// What an open does with the file, apart from the SDK's access masks.
struct FileUse {
    bool read = false;
    bool write = false;
    DWORD share = 0;  // FILE_SHARE_* bits
};

class ShareRegistry {
public:
    static ShareRegistry &instance();

    // Removes its open from the registry when destroyed.
    class Registration {
    public:
        Registration() = default;
        ~Registration();
        Registration(Registration &&other) noexcept;
        Registration &operator=(Registration &&other) noexcept;
        Registration(const Registration &) = delete;
        Registration &operator=(const Registration &) = delete;

    private:
        friend class ShareRegistry;
        FileIdentity file_;
        uint64_t id_ = 0;
    };

    // Whether an open with this use fits the file's current opens.
    bool allows(const FileIdentity &file, const FileUse &use) const;

    // Registers the open when it fits; false (nothing registered) when not.
    bool tryRegister(const FileIdentity &file, const FileUse &use, Registration &registration);

    // True when every open of the file shares delete (or there is none).
    bool allowsDelete(const FileIdentity &file) const;

private:
    ShareRegistry() = default;
    void remove(const FileIdentity &file, uint64_t id);
    bool fits(const FileIdentity &file, const FileUse &use) const;

    mutable std::mutex mutex_;
    std::multimap<FileIdentity, std::pair<uint64_t, FileUse>> opens_;
    uint64_t nextId_ = 1;
};

}  // namespace hp::kernel32
