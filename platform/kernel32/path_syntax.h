// The shape of a Win32 path as the file functions receive it, before any
// name is looked up: its root (a drive, the current drive's root, the
// current directory), its components and the platform's normalisation
// ("." and ".." folded, runs of separators collapsed, a period ending a
// component dropped, trailing periods and spaces of the last component
// dropped). "\" and "/" separate wherever they are not the trail byte of a
// double-byte character.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "platform/win32.h"

namespace hp::kernel32 {

struct PathSyntax {
    enum class Root {
        CurrentDirectory,  // "dir\file"
        CurrentDriveRoot,  // "\dir\file" or "/dir/file"
        Drive,             // "X:\dir" (or "X:dir", taken from the drive's root)
    };
    Root root = Root::CurrentDirectory;
    char driveLetter = 0;  // upper case, for Root::Drive
    bool driveRelative = false;  // "X:dir": no separator after the colon
    // CP932 components after normalisation. ".." that climbs above the
    // start is kept at the front of a relative path (it climbs the current
    // directory) and dropped at a root.
    std::vector<std::string> components;
    bool endsWithSeparator = false;
};

// ERROR_SUCCESS, ERROR_PATH_NOT_FOUND for an empty path, ERROR_BAD_NETPATH
// for a UNC path ("\\server\share"), which the layer does not reach.
DWORD parsePathSyntax(std::string_view path, PathSyntax &syntax);

// Components split at separators, without normalisation; empty ones
// (doubled separators) are dropped.
std::vector<std::string> splitPathComponents(std::string_view path);

// Index of the last separator, or npos.
size_t lastPathSeparator(std::string_view path);

// True when a name holds a character the platform refuses in file names:
// control characters and < > : " | ? *. Search masks may hold the
// wildcards * ? and their DOS forms < > ".
enum class Wildcards { Refused, Allowed };
bool hasInvalidNameCharacter(std::string_view cp932Name, Wildcards wildcards);

// True when a search mask holds one of the platform's wildcards: * ? < >.
bool hasWildcard(std::string_view cp932Mask);

}  // namespace hp::kernel32
