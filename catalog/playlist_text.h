// The playlist file's text, held in memory: its paths read the way the
// target system's text-mode stream reads lines, the text written for a
// path, and whether one text keeps every line of another.
#pragma once

#include <stddef.h>

#include <string>

// Calls onPath with each path of a playlist text, in order. Lines are read
// as fgets on a text-mode stream reads them, into 260 bytes: at most 259
// bytes a time, up to and including a line feed, CR LF read as one LF.
// Each piece, without its line end (LF, or CR LF), is a path of its own;
// empty ones are passed too. The C library translates line ends only on
// Windows; reading the bytes here gives both builds the same paths. (Ctrl-Z
// as end of file, the Windows runtime's other text-mode rule, is not
// imitated: it never occurs in a path.)
using PlaylistPathHandler = void (*)(const char *path, void *context);
void forEachPlaylistPath(const char *bytes, size_t size, PlaylistPathHandler onPath,
                         void *context);

// Appends the path as fprintf(stream, "%s\n", path) does in text mode:
// every LF, the final one included, becomes CR LF.
void appendPlaylistLine(std::string &text, const char *path);

// True when `before` has a line that `after` lacks, each line counted as
// often as it occurs. Lines end at LF (a CR before it does not belong to
// the line) or at the end of the text; empty lines do not count.
bool losesLines(const std::string &before, const std::string &after);
