#include "platform/user32/user_handle.h"

#include <atomic>

namespace hp::user32 {

uintptr_t nextUserHandleValue()
{
    // The platform's handles are small even numbers with a generation in the
    // upper half; a plain counter keeps the same properties for our needs.
    static std::atomic<uintptr_t> next{0x00010020};
    return next.fetch_add(4);
}

}  // namespace hp::user32
