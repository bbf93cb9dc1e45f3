// The message-box twin of twins.h (MessageBoxRecorder), as the headless
// wiring installs it.
#pragma once

#include <memory>

#include "platform/user32/message_box_backend.h"

namespace hp::testing {

std::unique_ptr<user32::MessageBoxBackend> makeMessageBoxRecorder();

}  // namespace hp::testing
