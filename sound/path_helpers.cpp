#include "sound/path_helpers.h"

#include <stdint.h>
#include <string.h>

#include "sound/shift_jis.h"

namespace {

// Folder text, separator and pattern share one search buffer.
constexpr size_t searchTextCapacity = 400;

constexpr char allEntriesPattern[] = "*.*";
constexpr char noFindHandleText[] = "FindHandleが取得出来ません";
constexpr char findWarningCaption[] = "ERROR";

// Index of the last "\" or "/" outside double-byte characters; 0 when there
// is none. A lead byte followed by a byte that cannot trail ends the pair,
// and that byte stands on its own.
size_t lastSeparatorIndex(const char *path)
{
    bool inDoubleByte = false;
    size_t last = 0;
    for (size_t i = 0; path[i] != '\0'; ++i) {
        unsigned char byte = static_cast<unsigned char>(path[i]);
        if (!inDoubleByte && isLeadByte(byte)) {
            inDoubleByte = true;
            continue;
        }
        if (inDoubleByte && isTrailByte(byte)) {
            inDoubleByte = false;
            continue;
        }
        inDoubleByte = false;
        if (byte == '\\' || byte == '/') {
            last = i;
        }
    }
    return last;
}

bool fits(size_t needed, int capacity)
{
    return capacity >= 0 && needed <= static_cast<size_t>(capacity);
}

// folder, a "/" unless the folder already ends in a separator, and the
// pattern. The separator test looks at the last byte alone. An empty folder
// searches the current folder. False when the text does not fit.
bool buildSearchText(const char *folder, const char *pattern, char *searchText)
{
    if (!folder || !pattern) {
        return false;
    }
    size_t folderLength = strlen(folder);
    size_t patternLength = strlen(pattern);
    bool needsSeparator = folderLength > 0 && folder[folderLength - 1] != '/'
                          && folder[folderLength - 1] != '\\';
    size_t length = folderLength + (needsSeparator ? 1 : 0) + patternLength;
    if (length >= searchTextCapacity) {
        return false;
    }
    memcpy(searchText, folder, folderLength);
    if (needsSeparator) {
        searchText[folderLength++] = '/';
    }
    memcpy(searchText + folderLength, pattern, patternLength + 1);
    return true;
}

class FolderSearch {
public:
    FolderSearch(const char *searchText, WIN32_FIND_DATAA &found)
        : handle_(FindFirstFileA(searchText, &found))
    {
    }
    ~FolderSearch()
    {
        if (started()) {
            FindClose(handle_);
        }
    }
    FolderSearch(const FolderSearch &) = delete;
    FolderSearch &operator=(const FolderSearch &) = delete;

    bool started() const { return handle_ != INVALID_HANDLE_VALUE; }
    bool next(WIN32_FIND_DATAA &found) { return FindNextFileA(handle_, &found) != FALSE; }

private:
    HANDLE handle_;
};

bool isFolder(const WIN32_FIND_DATAA &found)
{
    return (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

bool isDotFolder(const WIN32_FIND_DATAA &found)
{
    return isFolder(found)
           && (strcmp(found.cFileName, ".") == 0 || strcmp(found.cFileName, "..") == 0);
}

bool counts(const WIN32_FIND_DATAA &found, int mode)
{
    if (isDotFolder(found)) {
        return false;
    }
    return isFolder(found) ? mode != countMatchingFiles : mode != countFolders;
}

void warnNoSearch(HWND window)
{
    if (window) {
        MessageBoxA(window, noFindHandleText, findWarningCaption, MB_ICONWARNING);
    }
}

// Runs one search; -1 when it cannot start.
int countSearch(const char *folder, const char *pattern, int mode)
{
    char searchText[searchTextCapacity];
    if (!buildSearchText(folder, pattern, searchText)) {
        return -1;
    }
    WIN32_FIND_DATAA found = {};
    FolderSearch search(searchText, found);
    if (!search.started()) {
        return -1;
    }
    int count = 0;
    do {
        found.cFileName[MAX_PATH - 1] = '\0';
        if (counts(found, mode)) {
            ++count;
        }
    } while (search.next(found));
    return count;
}

}  // namespace

int directoryPart(HWND, const char *path, char *output, int capacity)
{
    if (!path || path[0] == '\0') {
        return 0;
    }
    size_t last = lastSeparatorIndex(path);
    if (!output || !fits(last + 2, capacity)) {
        return 0;
    }
    if (last == 0) {
        output[0] = '\0';
        return 0;
    }
    memmove(output, path, last + 1);
    output[last + 1] = '\0';
    return 1;
}

int fileNamePart(HWND, const char *path, char *output, int capacity)
{
    if (!path || path[0] == '\0' || !output) {
        return 0;
    }
    size_t length = strlen(path);
    size_t last = lastSeparatorIndex(path);
    if (last == 0) {
        if (!fits(length + 1, capacity)) {
            return 0;
        }
        memmove(output, path, length + 1);
        return 1;
    }
    size_t nameSize = length - last;  // the name and its terminator
    if (!fits(nameSize, capacity)) {
        return 0;
    }
    memmove(output, path + last + 1, nameSize);
    return 1;
}

int countFolderEntries(HWND window, const char *folder, const char *pattern, int mode)
{
    bool patternIgnored = mode == countAllEntries || mode == countFolders;
    int count = countSearch(folder, patternIgnored ? allEntriesPattern : pattern, mode);
    if (count < 0) {
        warnNoSearch(window);
        return 0;
    }
    if (mode != countMatchingAndFolders) {
        return count;
    }
    int folders = countSearch(folder, allEntriesPattern, countFolders);
    if (folders < 0) {
        warnNoSearch(window);
        return 0;
    }
    return count + folders;
}
