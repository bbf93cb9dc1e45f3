// Backends for a machine that has nothing: no CD drive, no mixer device, no
// MCI driver, and no one to answer a message box (the text goes to the
// standard error stream and the default button is taken). The wirings fall
// back to them when a host facility is missing.
#pragma once

#include <memory>

#include "platform/kernel32/drive_table.h"
#include "platform/user32/message_box_backend.h"
#include "platform/winmm/mixer_backend.h"

namespace hp::null {

std::unique_ptr<kernel32::DriveTable> makeDriveTable();
std::unique_ptr<winmm::MixerBackend> makeMixerBackend();
std::unique_ptr<user32::MessageBoxBackend> makeMessageBoxBackend();

}  // namespace hp::null
