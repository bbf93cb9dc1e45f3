#include "platform/kernel32/handle_table.h"

namespace hp::kernel32 {

HandleTable &HandleTable::instance()
{
    // Never destroyed: handles may still be closed by teardown code that
    // runs after static destructors.
    static HandleTable *table = new HandleTable;
    return *table;
}

long HandleTable::slotOf(HANDLE handle) const
{
    uintptr_t value = reinterpret_cast<uintptr_t>(handle);
    if (value < firstHandleValue || (value - firstHandleValue) % handleStep != 0)
        return -1;
    uintptr_t slot = (value - firstHandleValue) / handleStep;
    if (slot >= slots_.size())
        return -1;
    return static_cast<long>(slot);
}

HANDLE HandleTable::insert(std::shared_ptr<KernelObject> object)
{
    std::lock_guard<std::mutex> lock(mutex_);
    size_t slot = 0;
    while (slot < slots_.size() && slots_[slot])
        ++slot;
    if (slot == slots_.size()) {
        if (slots_.size() >= maximumHandles)
            return nullptr;
        slots_.emplace_back();
    }
    slots_[slot] = std::move(object);
    ++liveCount_;
    return reinterpret_cast<HANDLE>(firstHandleValue + slot * handleStep);
}

std::shared_ptr<KernelObject> HandleTable::find(HANDLE handle, KernelObject::Kind kind) const
{
    std::lock_guard<std::mutex> lock(mutex_);
    long slot = slotOf(handle);
    if (slot < 0 || !slots_[slot] || slots_[slot]->kind() != kind)
        return nullptr;
    return slots_[slot];
}

bool HandleTable::close(HANDLE handle, KernelObject::Kind kind)
{
    std::shared_ptr<KernelObject> released;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        long slot = slotOf(handle);
        if (slot < 0 || !slots_[slot] || slots_[slot]->kind() != kind)
            return false;
        released = std::move(slots_[slot]);
        slots_[slot].reset();
        --liveCount_;
    }
    // The object (and its host descriptor) goes away outside the lock.
    return true;
}

DWORD HandleTable::count() const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return liveCount_;
}

}  // namespace hp::kernel32
