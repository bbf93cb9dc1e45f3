// The playlist reader on arbitrary files. A scratch folder holds a few
// files that the catalogue recognises, so that lines can name them; what
// was queued must be saved and read back as the same queue.
#include <stddef.h>
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <new>
#include <string>
#include <vector>

#include "catalog/media_catalog.h"
#include "catalog/media_handlers.h"
#include "catalog/playlist.h"
#include "sound/sound_device.h"

SoundDevice soundDevice;
MediaCatalog mediaCatalog;

namespace {

namespace fs = std::filesystem;

void writeFile(const std::string &name, const std::string &bytes)
{
    std::ofstream out(name, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

void freshCatalogue()
{
    mediaCatalog.~MediaCatalog();
    new (&mediaCatalog) MediaCatalog();
    registerMp3Type(&mediaCatalog);
    setMp3PlayHandler(&mediaCatalog);
    setMp3ProbeHandler(&mediaCatalog);
    registerMidiType(&mediaCatalog);
    setMidiPlayHandler(&mediaCatalog);
    setMidiProbeHandler(&mediaCatalog);
    registerCdaType(&mediaCatalog);
    setCdaPlayHandler(&mediaCatalog);
    mediaCatalog.setListName(0, "再生リスト");
}

std::vector<std::string> queuedPaths()
{
    std::vector<std::string> paths;
    for (int i = 0; i < mediaCatalog.listCount(0); ++i) {
        MediaEntry *entry = mediaCatalog.findEntry(mediaCatalog.listItem(0, i));
        paths.push_back(entry ? entry->values[0] : "<none>");
    }
    return paths;
}

// Bytes 1 to 4 stand for the names of the prepared files, so that lines
// that name them are easy to reach.
std::string expandNames(const uint8_t *data, size_t size)
{
    static const char *const names[] = {"a.mp3", "b.mid", "[A] c", "t"};
    std::string text;
    for (size_t i = 0; i < size; ++i) {
        if (data[i] >= 1 && data[i] <= 4) {
            text += names[data[i] - 1];
        } else {
            text += static_cast<char>(data[i]);
        }
    }
    return text;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    static fs::path folder =
        fs::temp_directory_path() / ("hp-fuzz-playlist-" + std::to_string(getpid()));
    fs::create_directories(folder);
    fs::current_path(folder);
    atexit([] {
        std::error_code ignored;
        fs::remove_all(folder, ignored);
    });
    writeFile("a.mp3", "ID3" + std::string(40, '\0'));
    writeFile("b.mid", "MThd" + std::string(40, '\0'));
    writeFile("[A] c", "MThd" + std::string(124, '\0') + "TAG" + std::string(125, '\0'));
    writeFile("t", "TAG");
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    writeFile("in.m3u", expandNames(data, size));
    freshCatalogue();
    if (loadPlaylist("in.m3u") != 1) {
        abort();
    }
    std::vector<std::string> loaded = queuedPaths();
    if (savePlaylist("out.m3u") != 1) {
        abort();
    }
    freshCatalogue();
    loadPlaylist("out.m3u");
    if (queuedPaths() != loaded) {
        abort();
    }
    return 0;
}
