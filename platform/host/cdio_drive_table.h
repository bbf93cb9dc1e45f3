// libcdio behind the drive table: the machine's CD drives, their discs and
// their trays, and BIN/CUE disc images shown as drives of their own.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "platform/kernel32/drive_table.h"

namespace hp::host {

// The CD drives libcdio finds now, in the order of their device names, then
// one drive per cue sheet of discImages (host paths), in the given order;
// the list is fixed for the life of the table. An image drive always holds
// its disc: its device name is the cue sheet, which cdiocddasrc plays as it
// plays a drive; its tray commands succeed and change nothing; an image
// that cannot be read (see bincue_image.h) is an empty drive.
std::unique_ptr<kernel32::DriveTable> makeCdioDriveTable(
    const std::vector<std::string> &discImages = {});

}  // namespace hp::host
