// Shift-JIS-aware path splitting and folder counting.
//
// Paths are zero-terminated CP932 byte strings; "\" and "/" separate, but
// only outside double-byte characters (the trail byte 0x5C of ソ is not a
// separator). The window argument of directoryPart and fileNamePart is
// ignored; countFolderEntries owns its warning box to it when one is given.
#pragma once

#include "platform/win32.h"

// What countFolderEntries counts. "." and ".." are never counted.
enum FolderCountMode : int {
    countAllEntries = 0,       // folder + "*.*": files and folders
    countMatchingFiles = 1,    // folder + pattern: files only
    countFolders = 2,          // folder + "*.*": folders only
    countMatchingAndFolders = 3,  // folder + pattern, plus every folder of folder + "*.*"
    // any other value: folder + pattern, files and folders
};

// The directory with its trailing separator. 1 when written; 0 when the path
// is empty or has no directory (output then empty, if it has room for the
// terminator) or the output is too small (output untouched). Output may be
// the buffer that holds path.
int directoryPart(HWND window, const char *path, char *output, int capacity);

// The name after the last separator (the whole path when there is none).
// 1 when written; 0 when the path is empty or the name does not fit.
int fileNamePart(HWND window, const char *path, char *output, int capacity);

// Number of entries of folder that match the mode; 0 when the search cannot
// start (a missing folder, no match, a drive without a medium).
int countFolderEntries(HWND window, const char *folder, const char *pattern, int mode);
