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

} // namespace hp::skin
