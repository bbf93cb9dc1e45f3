#include "platform/kernel32/share_registry.h"

#include <utility>

namespace hp::kernel32 {

ShareRegistry &ShareRegistry::instance()
{
    static ShareRegistry *registry = new ShareRegistry;
    return *registry;
}

ShareRegistry::Registration::~Registration()
{
    if (id_ != 0)
        ShareRegistry::instance().remove(file_, id_);
}

ShareRegistry::Registration::Registration(Registration &&other) noexcept
    : file_(other.file_), id_(std::exchange(other.id_, 0))
{
}

ShareRegistry::Registration &ShareRegistry::Registration::operator=(Registration &&other) noexcept
{
    if (this != &other) {
        if (id_ != 0)
            ShareRegistry::instance().remove(file_, id_);
        file_ = other.file_;
        id_ = std::exchange(other.id_, 0);
    }
    return *this;
}

bool ShareRegistry::fits(const FileIdentity &file, const FileUse &use) const
{
    auto range = opens_.equal_range(file);
    for (auto it = range.first; it != range.second; ++it) {
        const FileUse &held = it->second.second;
        if (use.read && !(held.share & FILE_SHARE_READ))
            return false;
        if (use.write && !(held.share & FILE_SHARE_WRITE))
            return false;
        if (held.read && !(use.share & FILE_SHARE_READ))
            return false;
        if (held.write && !(use.share & FILE_SHARE_WRITE))
            return false;
    }
    return true;
}

bool ShareRegistry::allows(const FileIdentity &file, const FileUse &use) const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return fits(file, use);
}

bool ShareRegistry::tryRegister(const FileIdentity &file, const FileUse &use,
                                Registration &registration)
{
    registration = Registration();
    std::lock_guard<std::mutex> lock(mutex_);
    if (!fits(file, use))
        return false;
    uint64_t id = nextId_++;
    opens_.emplace(file, std::make_pair(id, use));
    registration.file_ = file;
    registration.id_ = id;
    return true;
}

bool ShareRegistry::allowsDelete(const FileIdentity &file) const
{
    std::lock_guard<std::mutex> lock(mutex_);
    auto range = opens_.equal_range(file);
    for (auto it = range.first; it != range.second; ++it) {
        if (!(it->second.second.share & FILE_SHARE_DELETE))
            return false;
    }
    return true;
}

void ShareRegistry::remove(const FileIdentity &file, uint64_t id)
{
    std::lock_guard<std::mutex> lock(mutex_);
    auto range = opens_.equal_range(file);
    for (auto it = range.first; it != range.second; ++it) {
        if (it->second.first == id) {
            opens_.erase(it);
            return;
        }
    }
}

}  // namespace hp::kernel32
