// Pictures of icons and cursors from where they come from: the program's
// icon and cursor resources, .ico and .cur files, and the system's own
// stock art; and a picture scaled to another size.
#pragma once

#include <string>

#include "platform/user32/frame_metrics.h"
#include "platform/user32/image.h"

namespace hp::user32 {

// The image of an RT_GROUP_ICON or RT_GROUP_CURSOR resource nearest the
// size; false with the last error set when there is none.
bool pictureFromResources(HINSTANCE instance, LPCSTR name, bool cursor, int wantedWidth,
                          int wantedHeight, IconPicture &picture);

// The image of an .ico or .cur file nearest the size. ERROR_SUCCESS, the
// file's read error, or ERROR_INVALID_PARAMETER when it holds no image.
DWORD pictureFromFile(const std::string &hostPath, bool cursor, int wantedWidth, int wantedHeight,
                      IconPicture &picture);

// The system's arrow pointer (IDC_ARROW) and application icon
// (IDI_APPLICATION), at the system sizes.
IconPicture stockArrow();
IconPicture stockApplicationIcon();

// The picture scaled by nearest neighbour, the hot spot with it; the
// picture itself at its own size or at a size with no pixels.
IconPicture scaledPicture(const IconPicture &source, int width, int height);

}  // namespace hp::user32
