// Everything the generator delivers, as file contents in memory.
#pragma once

#include <string>
#include <vector>

#include "tools/skin/image_encoders.h"

namespace hp::skin {

struct SkinFile {
    std::string name;
    Bytes contents;
};

// swbase1.bmp, parts.bmp, hollyphone.ico and hollyphone.png, in that order.
std::vector<SkinFile> makeSkinFiles();

// The program's icon for the desktop's icon theme, "hollyphone-<size>.png"
// at each of desktopIconSizes: the art of the icon resource, painted at
// each size rather than scaled.
constexpr int desktopIconSizes[] = {16, 32, 48, 128, 256};
std::vector<SkinFile> makeDesktopIcons();

} // namespace hp::skin
