// Handle values of USER objects (windows and menus).
//
// Windows and menus share one handle space, as on the platform: a value
// names at most one object and is never handed out again within the
// process, so a stale handle is always recognised as invalid.
#pragma once

#include <cstdint>

namespace hp::user32 {

// A fresh, even, non-null value above 0xFFFF (never mistaken for an
// integer resource id or a command id). Any thread.
uintptr_t nextUserHandleValue();

}  // namespace hp::user32
