#include "platform/kernel32/find_search.h"

#include <cstring>

namespace hp::kernel32 {

void FindEntry::fill(WIN32_FIND_DATAA &data) const
{
    std::memset(&data, 0, sizeof data);
    data.dwFileAttributes = attributes;
    data.ftCreationTime = creationTime;
    data.ftLastAccessTime = lastAccessTime;
    data.ftLastWriteTime = lastWriteTime;
    data.nFileSizeHigh = static_cast<DWORD>(sizeBytes >> 32);
    data.nFileSizeLow = static_cast<DWORD>(sizeBytes & 0xFFFFFFFFu);
    size_t length = cp932Name.size() < MAX_PATH - 1 ? cp932Name.size() : MAX_PATH - 1;
    std::memcpy(data.cFileName, cp932Name.data(), length);
}

FindSearch::FindSearch(std::vector<FindEntry> entries)
    : KernelObject(objectKind), entries_(std::move(entries))
{
}

bool FindSearch::next(FindEntry &entry)
{
    if (nextIndex_ >= entries_.size())
        return false;
    entry = entries_[nextIndex_++];
    return true;
}

}  // namespace hp::kernel32
