// The lstr* helpers. Like the platform's, they survive null pointers: where
// the platform catches the access violation, these check first and give
// the same result.
#include <cstring>

#include "platform/kernel32/host_errors.h"
#include "platform/kernel32/word_sort.h"

using namespace hp::kernel32;

LPSTR WINAPI lstrcpyA(LPSTR destination, LPCSTR source)
{
    if (!destination || !source)
        return failWith(ERROR_INVALID_PARAMETER, static_cast<LPSTR>(nullptr));
    std::memmove(destination, source, std::strlen(source) + 1);
    return destination;
}

LPSTR WINAPI lstrcpynA(LPSTR destination, LPCSTR source, INT maxLength)
{
    // The count is taken as unsigned: a negative one copies like lstrcpyA.
    UINT count = static_cast<UINT>(maxLength);
    if (count == 0)
        return destination;
    if (!destination || (!source && count > 1))
        return failWith(ERROR_INVALID_PARAMETER, static_cast<LPSTR>(nullptr));
    LPSTR out = destination;
    while (count > 1 && *source) {
        *out++ = *source++;
        --count;
    }
    *out = '\0';
    return destination;
}

LPSTR WINAPI lstrcatA(LPSTR destination, LPCSTR source)
{
    if (!destination || !source)
        return failWith(ERROR_INVALID_PARAMETER, static_cast<LPSTR>(nullptr));
    std::memmove(destination + std::strlen(destination), source, std::strlen(source) + 1);
    return destination;
}

INT WINAPI lstrlenA(LPCSTR text)
{
    if (!text)
        return 0;
    return static_cast<INT>(std::strlen(text));
}

INT WINAPI lstrcmpA(LPCSTR first, LPCSTR second)
{
    if (!first || !second)
        return first ? 1 : second ? -1 : 0;
    return compareWordSort(first, second, LetterCase::Significant);
}

INT WINAPI lstrcmpiA(LPCSTR first, LPCSTR second)
{
    if (!first || !second)
        return first ? 1 : second ? -1 : 0;
    return compareWordSort(first, second, LetterCase::Ignored);
}
