// Who shows MessageBoxA's boxes: the desktop (a modal GTK dialog) or a
// recording twin in tests. MessageBoxA itself checks its arguments and
// picks the default answer rules; the backend only asks the user.
#pragma once

#include <memory>
#include <string>

#include "platform/win32.h"

namespace hp::user32 {

class MessageBoxBackend {
public:
    virtual ~MessageBoxBackend() = default;

    // Shows a modal box and returns IDOK, IDCANCEL, IDYES or IDNO. text and
    // caption are CP932; owner may be null (the box then stands alone; it
    // must work before any window exists). Messages of the caller's windows,
    // timers included, keep flowing while the box is open.
    virtual int show(HWND owner, const std::string &text, const std::string &caption, UINT type) = 0;
};

MessageBoxBackend &messageBoxBackend();
void installMessageBoxBackend(std::unique_ptr<MessageBoxBackend> backend);

}  // namespace hp::user32
