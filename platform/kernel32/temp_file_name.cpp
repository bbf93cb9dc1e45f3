// GetTempFileNameA: a new, empty file of a name no other file has, in the
// folder the caller names: <folder>\<prefix><hex number>.tmp.
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "platform/kernel32/cp932_text.h"
#include "platform/kernel32/host_errors.h"
#include "platform/kernel32/path_syntax.h"

using namespace hp::kernel32;

namespace {

constexpr size_t prefixCharacters = 3;
constexpr UINT numberMask = 0xFFFF;
// Room the platform keeps for the prefix, number and extension.
constexpr size_t folderLimit = MAX_PATH - 14;

// The first three characters of the prefix; a double-byte character counts
// as one.
std::string prefixOf(LPCSTR prefixString)
{
    std::string prefix;
    if (!prefixString)
        return prefix;
    size_t characters = 0;
    for (const char *p = prefixString; *p && characters < prefixCharacters; ++p, ++characters) {
        prefix += *p;
        if (isCp932LeadByte(static_cast<unsigned char>(*p)) && p[1])
            prefix += *++p;
    }
    return prefix;
}

std::string nameFor(const std::string &stem, UINT number)
{
    char tail[16];
    std::snprintf(tail, sizeof tail, "%X.tmp", number);
    return stem + tail;
}

}  // namespace

UINT WINAPI GetTempFileNameA(LPCSTR pathName, LPCSTR prefixString, UINT unique,
                             LPSTR tempFileName)
{
    if (!pathName || !tempFileName)
        return failWith(ERROR_INVALID_PARAMETER, 0u);
    std::string stem = pathName;
    if (stem.size() > folderLimit)
        return failWith(ERROR_BUFFER_OVERFLOW, 0u);
    DWORD attributes = GetFileAttributesA(pathName);
    if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_DIRECTORY))
        return failWith(ERROR_DIRECTORY, 0u);
    if (stem.empty() || lastPathSeparator(stem) != stem.size() - 1)
        stem += '\\';
    stem += prefixOf(prefixString);

    // A number of the caller's own names a file that is not created.
    unique &= numberMask;
    if (unique != 0) {
        std::string name = nameFor(stem, unique);
        std::memcpy(tempFileName, name.c_str(), name.size() + 1);
        return unique;
    }
    // Like the platform, start from the clock and count up to the first
    // name that is free; the process id keeps two starts in the same tick
    // apart.
    const UINT start = ((GetTickCount() ^ static_cast<UINT>(getpid())) & numberMask) | 1;
    UINT number = start;
    do {
        std::string name = nameFor(stem, number);
        HANDLE file = CreateFileA(name.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file != INVALID_HANDLE_VALUE) {
            CloseHandle(file);
            std::memcpy(tempFileName, name.c_str(), name.size() + 1);
            SetLastError(ERROR_SUCCESS);
            return number;
        }
        DWORD error = GetLastError();
        if (error != ERROR_FILE_EXISTS && error != ERROR_SHARING_VIOLATION)
            return failWith(error, 0u);
        number = (number + 1) & numberMask;
        if (number == 0)
            number = 1;
    } while (number != start);
    return failWith(ERROR_FILE_EXISTS, 0u);
}
