// How much the catalogue adds to loading a playlist.
//
// Generates 10,000 small files (half MP3, half MIDI, a few that no type
// recognises) and a playlist naming them, then in one run:
//  - loads the playlist into the catalogue, as start-up does;
//  - does the same opens, seeks and reads in a bare loop of Win32 calls;
// and prints the time per line of each, their ratio, and the catalogue's
// memory per entry. Several rounds; the best round of each counts.
#include <malloc.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <new>
#include <string>
#include <vector>

#include "catalog/media_catalog.h"
#include "catalog/media_handlers.h"
#include "catalog/playlist.h"
#include "platform/win32.h"
#include "sound/sound_device.h"

SoundDevice soundDevice;
MediaCatalog mediaCatalog;

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

constexpr int fileCount = 10000;
constexpr int unrecognisedEvery = 500;  // 20 files that no type accepts
constexpr int rounds = 5;

enum class Kind { Mp3, Midi, Unrecognised };

struct GeneratedFile {
    std::string path;
    Kind kind;
};

std::vector<GeneratedFile> generateFiles(const fs::path &folder)
{
    std::vector<GeneratedFile> files;
    std::string mp3(4096, '\0');
    mp3.replace(0, 3, "ID3");
    std::string midi(2048, '\0');
    midi.replace(0, 4, "MThd");
    std::string text(1024, 'x');
    for (int i = 0; i < fileCount; ++i) {
        Kind kind = i % unrecognisedEvery == 0 ? Kind::Unrecognised
                    : i % 2 == 0               ? Kind::Mp3
                                               : Kind::Midi;
        const char *extension = kind == Kind::Mp3 ? ".mp3" : kind == Kind::Midi ? ".mid" : ".txt";
        std::string name = "[Artist " + std::to_string(i % 97) + "] Title " + std::to_string(i)
                           + extension;
        std::string path = (folder / name).string();
        std::ofstream out(path, std::ios::binary);
        const std::string &bytes = kind == Kind::Mp3 ? mp3 : kind == Kind::Midi ? midi : text;
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        files.push_back({path, kind});
    }
    return files;
}

void writePlaylist(const std::string &path, const std::vector<GeneratedFile> &files)
{
    std::ofstream out(path, std::ios::binary);
    for (const GeneratedFile &file : files) {
        out << file.path << "\r\n";
    }
}

void freshCatalogue()
{
    mediaCatalog.~MediaCatalog();
    new (&mediaCatalog) MediaCatalog();
    registerMediaTypes(&mediaCatalog);
    mediaCatalog.setListName(0, "再生リスト");
}

HANDLE openForReading(const char *path)
{
    return CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                       FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
}

bool readMatches(HANDLE file, const char *mark, DWORD length)
{
    char bytes[4] = {};
    DWORD bytesRead = 0;
    return ReadFile(file, bytes, length, &bytesRead, nullptr) && bytesRead == length
           && memcmp(bytes, mark, length) == 0;
}

// The file work of one playlist line without the catalogue: the
// readability test, the MP3 probe and the MIDI probe.
int bareFileWork(const char *path)
{
    HANDLE file = openForReading(path);
    if (file == INVALID_HANDLE_VALUE) {
        return 0;
    }
    CloseHandle(file);
    int recognised = 0;
    file = openForReading(path);
    SetFilePointer(file, 0, nullptr, FILE_BEGIN);
    if (readMatches(file, "ID3", 3)) {
        ++recognised;
    } else {
        SetFilePointer(file, -128, nullptr, FILE_END);
        recognised += readMatches(file, "TAG", 3) ? 1 : 0;
    }
    CloseHandle(file);
    file = openForReading(path);
    SetFilePointer(file, 0, nullptr, FILE_BEGIN);
    recognised += readMatches(file, "MThd", 4) ? 1 : 0;
    CloseHandle(file);
    return recognised;
}

double secondsSince(Clock::time_point start)
{
    return std::chrono::duration<double>(Clock::now() - start).count();
}

size_t heapInUse()
{
    struct mallinfo2 info = mallinfo2();
    return info.uordblks + info.hblkhd;
}

}  // namespace

int main()
{
    fs::path folder = fs::temp_directory_path() / ("hp-bench-catalog-" + std::to_string(getpid()));
    fs::create_directories(folder);
    std::vector<GeneratedFile> files = generateFiles(folder);
    std::string playlist = (folder / "default.m3u").string();
    writePlaylist(playlist, files);

    double bestCatalogue = 1e9;
    double bestBare = 1e9;
    size_t heapPerEntry = 0;
    int queued = 0;
    int bareRecognised = 0;
    for (int round = 0; round < rounds; ++round) {
        freshCatalogue();
        size_t heapBefore = heapInUse();
        Clock::time_point start = Clock::now();
        loadPlaylist(playlist.c_str());
        bestCatalogue = std::min(bestCatalogue, secondsSince(start));
        queued = mediaCatalog.listCount(0);
        heapPerEntry = (heapInUse() - heapBefore) / std::max<uint32_t>(mediaCatalog.entryCount, 1);

        // The bare loop reads the same playlist lines, so that both sides do
        // the same line reading and the same file work.
        start = Clock::now();
        bareRecognised = 0;
        FILE *list = fopen(playlist.c_str(), "rb");
        char line[260];
        while (fgets(line, sizeof line, list)) {
            line[strcspn(line, "\r\n")] = '\0';
            bareRecognised += bareFileWork(line);
        }
        fclose(list);
        bestBare = std::min(bestBare, secondsSince(start));
    }

    size_t valueBytes = 0;
    for (uint32_t i = 0; i < mediaCatalog.entryCount; ++i) {
        const MediaType *type = mediaCatalog.findType(mediaCatalog.entries[i].typeId, nullptr);
        valueBytes += type->propertyCount * sizeof(ValueText);
    }
    double entries = mediaCatalog.entryCount;
    printf("playlist lines:            %d (%d queued, %u entries, bare loop recognised %d)\n",
           fileCount, queued, mediaCatalog.entryCount, bareRecognised);
    printf("catalogue load per line:   %.2f us\n", bestCatalogue * 1e6 / fileCount);
    printf("bare file work per line:   %.2f us\n", bestBare * 1e6 / fileCount);
    printf("ratio (goal <= 1.5):       %.2f\n", bestCatalogue / bestBare);
    printf("memory per entry:          %.0f bytes of records and values, %zu bytes of heap\n",
           (sizeof(MediaEntry) * entries + valueBytes + sizeof(uint32_t) * queued) / entries,
           heapPerEntry);

    fs::remove_all(folder);
    return 0;
}
