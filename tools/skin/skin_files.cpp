#include "tools/skin/skin_files.h"

#include <string>

#include "tools/skin/backdrop_painter.h"
#include "tools/skin/icon_painter.h"
#include "tools/skin/parts_sheet.h"

namespace hp::skin {

std::vector<SkinFile> makeSkinFiles()
{
    const Raster backdrop = BackdropPainter().paint();
    const Raster parts = PartsSheet::paint(backdrop);
    return {
        {"swbase1.bmp", encodeBmp24(backdrop)},
        {"parts.bmp", encodeBmp24(parts)},
        {"hollyphone.ico", encodeIco({IconPainter::paint(16), IconPainter::paint(32),
                                      IconPainter::paint(48)})},
        {"hollyphone.png", encodePng(IconPainter::paint(64))},
    };
}

std::vector<SkinFile> makeDesktopIcons()
{
    std::vector<SkinFile> icons;
    for (int size : desktopIconSizes)
        icons.push_back({"hollyphone-" + std::to_string(size) + ".png",
                         encodePng(IconPainter::paint(size))});
    return icons;
}

} // namespace hp::skin
