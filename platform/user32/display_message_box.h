// MessageBoxA's boxes shown by the display backend: a modal box over its
// owner (or alone, before any window exists) while the program's messages,
// timers included, keep flowing. The owner takes no input meanwhile, as
// with the platform's application-modal boxes.
#pragma once

#include <memory>

#include "platform/user32/message_box_backend.h"

namespace hp::user32 {

class DisplayMessageBox final : public MessageBoxBackend {
public:
    int show(HWND owner, const std::string &text, const std::string &caption, UINT type) override;
};

std::unique_ptr<MessageBoxBackend> makeDisplayMessageBox();

}  // namespace hp::user32
