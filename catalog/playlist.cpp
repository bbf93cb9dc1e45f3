#include "catalog/playlist.h"

#include <stdint.h>
#include <string.h>

#include "catalog/media_catalog.h"
#include "catalog/text_mode_file.h"
#include "platform/win32.h"

namespace {

constexpr char playQueueName[] = "再生リスト";
constexpr char cdaTypeName[] = "CDA";
constexpr uint8_t playQueueIndex = 0;
// Beyond the end of any queue of up to 20,000 ids: appends.
constexpr int loaderAppendPosition = 20000;
// A line is read in pieces of at most 259 bytes; each piece is a path.
constexpr int lineCapacity = 260;
constexpr int temporaryNameAttempts = 100;

void removeLineEnd(char *line)
{
    size_t length = strlen(line);
    if (length > 0 && line[length - 1] == '\n') {
        line[--length] = '\0';
        if (length > 0 && line[length - 1] == '\r') {
            line[--length] = '\0';
        }
    }
}

// Creates a new, empty file beside path whose name no other file has, and
// writes its name to temporary (MAX_PATH bytes). The new playlist is
// written there first, so the old one is replaced only by a complete file.
bool createTemporaryBeside(const char *path, char *temporary)
{
    if (strlen(path) + 8 >= MAX_PATH) {
        return false;
    }
    for (int attempt = 0; attempt < temporaryNameAttempts; ++attempt) {
        wsprintfA(temporary, "%s.~%d", path, attempt);
        HANDLE file = CreateFileA(temporary, GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file != INVALID_HANDLE_VALUE) {
            CloseHandle(file);
            return true;
        }
        DWORD error = GetLastError();
        if (error != ERROR_FILE_EXISTS && error != ERROR_ALREADY_EXISTS) {
            return false;
        }
    }
    return false;
}

// The file paths of the queue, without the audio-CD tracks; an id that
// names no entry is passed over.
bool writeQueue(const char *temporary)
{
    TextModeFile file(temporary, TextModeFile::Access::Write);
    if (!file.opened()) {
        return false;
    }
    uint8_t queue = mediaCatalog.findList(playQueueName);
    int count = mediaCatalog.listCount(queue);
    for (int position = 0; position < count; ++position) {
        MediaEntry *entry = mediaCatalog.findEntry(mediaCatalog.listItem(queue, position));
        // With no type named "CDA" the answer 255 matches no entry and
        // every entry is written.
        if (entry && entry->typeId != mediaCatalog.findTypeId(cdaTypeName)) {
            file.writeLine(entry->values[0]);
        }
    }
    return file.finish();
}

}  // namespace

int loadPlaylist(const char *path)
{
    TextModeFile file(path, TextModeFile::Access::Read);
    if (!file.opened()) {
        return 0;
    }
    char line[lineCapacity];
    while (file.readLine(line, lineCapacity)) {
        removeLineEnd(line);
        uint32_t before = mediaCatalog.entryCount;
        mediaCatalog.addFile(line);
        // When two types accept the file, only the newest entry joins.
        if (mediaCatalog.entryCount > before) {
            const MediaEntry &newest = mediaCatalog.entries[mediaCatalog.entryCount - 1];
            mediaCatalog.insertIntoList(playQueueIndex, loaderAppendPosition, newest.id,
                                        insertBefore);
        }
    }
    return 1;
}

int savePlaylist(const char *path)
{
    if (!path || path[0] == '\0') {
        return 0;
    }
    char temporary[MAX_PATH];
    if (!createTemporaryBeside(path, temporary)) {
        return 0;
    }
    if (!writeQueue(temporary)
        || !MoveFileExA(temporary, path, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        DeleteFileA(temporary);
        return 0;
    }
    return 1;
}
