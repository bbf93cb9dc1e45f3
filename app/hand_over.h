// The files a second start hands to the running player: the data of one
// WM_COPYDATA message.
//   dwData  handOverTag ("HPFL" as a little-endian number)
//   lpData  the files' full paths in CP932, each ended by a zero byte, then
//           one more zero byte; a start without files sends that byte alone
//   cbData  the bytes in all: 1 to handOverMaximumBytes
// A path is 1 to MAX_PATH - 1 bytes long, holds no byte below 0x20 and does
// not end inside a double-byte character. The receiver takes the list whole
// or not at all: the bytes come from another process.
#pragma once

#include <string>

#include "platform/win32.h"

constexpr ULONG_PTR handOverTag = 0x4C465048;
// A queue's worth of paths.
constexpr DWORD handOverMaximumBytes = 10000 * MAX_PATH + 1;

// Adds a path to a list being made (without the final zero byte); returns 0
// and leaves the list as it was when the path cannot be carried or the
// list would grow past the maximum.
int addHandOverPath(std::string &list, const char *path);

// The data of the message for a list made by addHandOverPath: the list
// and its final zero byte.
std::string finishHandOver(std::string list);

// Checks the message's data; when it is a well-formed list, calls
// take(path, context) for each path in order and returns how many there
// were, else returns -1 without calling it.
int readHandOver(const COPYDATASTRUCT *copy, void (*take)(const char *path, void *context),
                 void *context);
