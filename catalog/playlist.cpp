#include "catalog/playlist.h"

#include <stdint.h>

#include <string>

#include "catalog/media_catalog.h"
#include "catalog/playlist_text.h"
#include "catalog/whole_file.h"
#include "platform/win32.h"

namespace {

constexpr char playQueueName[] = "再生リスト";
constexpr char cdaTypeName[] = "CDA";
constexpr char backupSuffix[] = ".bak";
// Beyond the end of any queue of up to 20,000 ids: appends.
constexpr int loaderAppendPosition = 20000;

// The playlist file as loadPlaylist found it, for savePlaylist to tell
// whether writing the queue would lose lines.
struct LoadedPlaylist {
    std::string path;
    FileReading reading = FileReading::Missing;
    std::string bytes;
};

// Never destroyed: the queue is saved during the process's exit.
LoadedPlaylist &loadedPlaylist()
{
    static auto *loaded = new LoadedPlaylist;
    return *loaded;
}

// Offers a path of the playlist to the catalogue. When two types accept
// the file, only the newest entry joins the queue.
void queuePath(const char *path, void *)
{
    addFileToList(mediaCatalog, playQueueList, loaderAppendPosition, path);
}

// The loaded file, byte for byte, as "<path>.bak".
bool keepLoadedCopy(const char *path, const std::string &bytes)
{
    char backup[MAX_PATH];
    if (lstrlenA(path) + lstrlenA(backupSuffix) >= MAX_PATH)
        return false;
    lstrcpyA(backup, path);
    lstrcatA(backup, backupSuffix);
    return replaceWholeFile(backup, bytes);
}

// The file paths of the queue, without the audio-CD tracks; an id that
// names no entry is passed over.
std::string playlistText()
{
    std::string text;
    uint8_t queue = mediaCatalog.findList(playQueueName);
    int count = mediaCatalog.listCount(queue);
    // With no type named "CDA" the answer 255 matches no entry and every
    // entry is written.
    uint8_t cdaType = mediaCatalog.findTypeId(cdaTypeName);
    for (int position = 0; position < count; ++position) {
        MediaEntry *entry = mediaCatalog.findEntry(mediaCatalog.listItem(queue, position));
        if (entry && entry->typeId != cdaType) {
            appendPlaylistLine(text, entry->values[0]);
        }
    }
    return text;
}

}  // namespace

int loadPlaylist(const char *path)
{
    if (!path) {
        return 0;
    }
    LoadedPlaylist &loaded = loadedPlaylist();
    loaded.path = path;
    loaded.reading = readWholeFile(path, loaded.bytes);
    if (loaded.reading != FileReading::Read) {
        return 0;
    }
    forEachPlaylistPath(loaded.bytes.data(), loaded.bytes.size(), queuePath, nullptr);
    return 1;
}

int savePlaylist(const char *path)
{
    if (!path || path[0] == '\0') {
        return 0;
    }
    std::string text = playlistText();
    const LoadedPlaylist &loaded = loadedPlaylist();
    if (loaded.path == path) {
        // Lines this run never saw are not its to replace.
        if (loaded.reading == FileReading::Unreadable) {
            return 0;
        }
        if (loaded.reading == FileReading::Read && losesLines(loaded.bytes, text) &&
            !keepLoadedCopy(path, loaded.bytes)) {
            return 0;
        }
    }
    return replaceWholeFile(path, text) ? 1 : 0;
}
