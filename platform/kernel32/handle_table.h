// The process's kernel32 handles. Values look like the platform's: small
// multiples of 4, never NULL and never INVALID_HANDLE_VALUE; a closed value
// is handed out again later, lowest first.
#pragma once

#include <memory>
#include <mutex>
#include <vector>

#include "platform/kernel32/kernel_object.h"
#include "platform/win32.h"

namespace hp::kernel32 {

class HandleTable {
public:
    static HandleTable &instance();

    // The new handle, or nullptr when the table is full.
    HANDLE insert(std::shared_ptr<KernelObject> object);

    // The object behind a handle when it is of the given kind, else null.
    // The caller's reference keeps it alive while it works on it.
    std::shared_ptr<KernelObject> find(HANDLE handle, KernelObject::Kind kind) const;

    template <typename Object>
    std::shared_ptr<Object> findAs(HANDLE handle) const
    {
        return std::static_pointer_cast<Object>(find(handle, Object::objectKind));
    }

    // False when the handle is not open or not of that kind.
    bool close(HANDLE handle, KernelObject::Kind kind);

    DWORD count() const;

private:
    HandleTable() = default;

    static constexpr uintptr_t firstHandleValue = 0x40;
    static constexpr uintptr_t handleStep = 4;
    static constexpr size_t maximumHandles = 1u << 20;

    long slotOf(HANDLE handle) const;

    mutable std::mutex mutex_;
    std::vector<std::shared_ptr<KernelObject>> slots_;
    DWORD liveCount_ = 0;
};

}  // namespace hp::kernel32
