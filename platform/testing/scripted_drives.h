// The drive-table twin of twins.h (ScriptedDrives), as the headless wiring
// installs it.
#pragma once

#include <memory>

#include "platform/kernel32/drive_table.h"

namespace hp::testing {

std::unique_ptr<kernel32::DriveTable> makeScriptedDriveTable();

}  // namespace hp::testing
