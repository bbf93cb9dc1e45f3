#include "tools/skin/skin_files.h"

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

} // namespace hp::skin
