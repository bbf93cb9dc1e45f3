// skin_generator OUTPUT-FOLDER
//     Writes swbase1.bmp, parts.bmp, hollyphone.ico and hollyphone.png.
// skin_generator --icons OUTPUT-FOLDER
//     Writes hollyphone-16.png ... hollyphone-256.png, the desktop's icons.
// skin_generator --preview OUTPUT-FOLDER
//     Writes preview-lit.png and preview-dark.png: the window as the program
//     shows it, lights all on and mostly off.
#include <cstdio>
#include <fstream>
#include <string>

#include "tools/skin/backdrop_painter.h"
#include "tools/skin/parts_sheet.h"
#include "tools/skin/preview_composer.h"
#include "tools/skin/skin_files.h"

namespace {

bool writeFile(const std::string& path, const hp::skin::Bytes& contents)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(contents.data()),
              static_cast<std::streamsize>(contents.size()));
    out.close();
    if (!out) {
        std::fprintf(stderr, "skin_generator: cannot write %s\n", path.c_str());
        return false;
    }
    return true;
}

int writePreviews(const std::string& folder)
{
    using namespace hp::skin;
    const Raster backdrop = BackdropPainter().paint();
    const Raster parts = PartsSheet::paint(backdrop);

    PreviewState lit;
    lit.frame = 12; // a blinker flashes, the first candle burns bright
    lit.effect = LightSwitch::Off;
    lit.cdVolume = 52000;
    lit.midiVolume = 39321;
    lit.waveVolume = 45000;
    lit.elapsedSeconds = 65;
    lit.trackSeconds = 241;
    lit.title = "Silent Night / Holly Choir";
    lit.status = "[Play] 01:05";

    PreviewState dark = lit;
    dark.frame = 22 + 33 * 3; // r = 22: only the yellow lights burn
    dark.effect = LightSwitch::On;
    dark.cdVolume = 0;
    dark.midiVolume = 65535;
    dark.waveVolume = 6000;
    dark.status = "Happy New Christmas";

    const bool written =
        writeFile(folder + "/preview-lit.png",
                  encodePng(PreviewComposer::compose(backdrop, parts, lit))) &&
        writeFile(folder + "/preview-dark.png",
                  encodePng(PreviewComposer::compose(backdrop, parts, dark)));
    return written ? 0 : 1;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc == 3 && std::string(argv[1]) == "--preview")
        return writePreviews(argv[2]);
    const bool icons = argc == 3 && std::string(argv[1]) == "--icons";
    if (argc != 2 && !icons) {
        std::fprintf(stderr, "usage: skin_generator [--preview | --icons] OUTPUT-FOLDER\n");
        return 2;
    }
    for (const hp::skin::SkinFile& file :
         icons ? hp::skin::makeDesktopIcons() : hp::skin::makeSkinFiles())
        if (!writeFile(std::string(argv[argc - 1]) + "/" + file.name, file.contents))
            return 1;
    return 0;
}
