// libcdio behind the drive table: the machine's CD drives, their discs and
// their trays.
#pragma once

#include <memory>

#include "platform/kernel32/drive_table.h"

namespace hp::host {

// The CD drives libcdio finds now, in the order of their device names; the
// list is fixed for the life of the table.
std::unique_ptr<kernel32::DriveTable> makeCdioDriveTable();

}  // namespace hp::host
