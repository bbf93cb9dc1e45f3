// A folder search behind a FindFirstFileA handle. The matching entries are
// taken when the search starts, in the order FindNextFileA hands them out.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/kernel32/kernel_object.h"
#include "platform/win32.h"

namespace hp::kernel32 {

struct FindEntry {
    std::string cp932Name;  // at most MAX_PATH - 1 bytes
    DWORD attributes = 0;
    uint64_t sizeBytes = 0;
    FILETIME creationTime{};
    FILETIME lastAccessTime{};
    FILETIME lastWriteTime{};

    void fill(WIN32_FIND_DATAA &data) const;
};

class FindSearch final : public KernelObject {
public:
    static constexpr Kind objectKind = Kind::FindSearch;

    explicit FindSearch(std::vector<FindEntry> entries);

    // The next entry; false once all were handed out.
    bool next(FindEntry &entry);

private:
    std::vector<FindEntry> entries_;
    size_t nextIndex_ = 0;
};

}  // namespace hp::kernel32
