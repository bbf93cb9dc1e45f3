// A hidden top-level window, for operations that own their message boxes to
// a window.
#pragma once

#include "platform/win32.h"

namespace hp::test {

class OwnerWindow {
public:
    OwnerWindow();
    ~OwnerWindow();
    OwnerWindow(const OwnerWindow &) = delete;
    OwnerWindow &operator=(const OwnerWindow &) = delete;

    HWND handle() const { return handle_; }

private:
    HWND handle_;
};

}  // namespace hp::test
