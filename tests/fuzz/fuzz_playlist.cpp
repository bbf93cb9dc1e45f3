// The playlist reader and writer on arbitrary text, in memory. A few names
// stand for files that the catalogue recognises; every other path is one it
// drops. What the reader keeps must be written and read back as the same
// paths and written again as the same bytes, and a path it drops must
// count as a line the saved text lacks, so that the loaded file is copied
// before the save replaces it.
#include <stddef.h>
#include <stdint.h>
#include <stdlib.h>
#include <string.h>

#include <string>

#include "catalog/playlist_text.h"

namespace {

const char *const knownNames[] = {"a.mp3", "b.mid", "[A] c", "t"};

bool isKnown(const char *path)
{
    for (const char *name : knownNames) {
        if (strcmp(path, name) == 0)
            return true;
    }
    return false;
}

// The text a save writes for the paths the reader keeps.
struct Reading {
    std::string saved;
    bool dropped = false;  // a path that is not empty and not known
};

void notePath(const char *path, void *context)
{
    auto &reading = *static_cast<Reading *>(context);
    if (isKnown(path))
        appendPlaylistLine(reading.saved, path);
    else if (path[0] != '\0')
        reading.dropped = true;
}

Reading read(const std::string &text)
{
    Reading reading;
    forEachPlaylistPath(text.data(), text.size(), notePath, &reading);
    return reading;
}

// Bytes 1 to 4 stand for the known names, so that lines that name them are
// easy to reach.
std::string expandNames(const uint8_t *data, size_t size)
{
    std::string text;
    for (size_t i = 0; i < size; ++i) {
        if (data[i] >= 1 && data[i] <= 4)
            text += knownNames[data[i] - 1];
        else
            text += static_cast<char>(data[i]);
    }
    return text;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const std::string loaded = expandNames(data, size);
    const Reading first = read(loaded);
    // The names hold no line end, so equal texts mean equal paths.
    const Reading again = read(first.saved);
    if (again.saved != first.saved || again.dropped)
        abort();
    if (first.dropped && !losesLines(loaded, first.saved))
        abort();
    return 0;
}
