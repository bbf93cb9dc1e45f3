// Files read and written whole through the Win32 file calls, the way
// careful editors treat their files.
#pragma once

#include <string>

enum class FileReading {
    Read,
    Missing,     // no such file (or folder on its way)
    Unreadable,  // there, but not to be read: refused, a folder, a read error
};

// The file's bytes, all of them or none.
FileReading readWholeFile(const char *path, std::string &bytes);

// Makes the file at path hold exactly these bytes. They are written to a
// new temporary file of a unique name beside it and flushed to the disk;
// then ReplaceFileA puts that file in the old one's place, which keeps the
// old file's attributes (on Linux its permission bits, and a symbolic link
// stays a link to the file it names). False when that cannot be done: the
// old file is then exactly as it was, and the temporary files are gone.
bool replaceWholeFile(const char *path, const std::string &bytes);
