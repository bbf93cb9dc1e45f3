// What GetPrivateProfileStringA and GetPrivateProfileIntA answer from the
// text of a profile, apart from the file it is read from (profile_api.cpp
// reads the file and hands its text here).
#pragma once

#include "platform/kernel32/profile_document.h"
#include "platform/win32.h"

namespace hp::kernel32 {

// The answer of GetPrivateProfileStringA (size > 0): with no appName the
// section names, with no keyName the keys of the section (the default when
// it has none), else the value or the default. Lists are names each followed by a terminator, and one
// more at the end; a list that does not fit is cut to size - 2 bytes and
// ends in two terminators, and the result is size - 2. A value that does
// not fit is cut to size - 1 bytes. The default loses trailing blanks and
// one pair of matching quotes.
DWORD readProfileString(const ProfileDocument &document, LPCSTR appName, LPCSTR keyName,
                        LPCSTR defaultValue, LPSTR returnedString, DWORD size);

// The default alone, as answered when the file cannot be read.
DWORD readProfileDefault(LPCSTR defaultValue, LPSTR returnedString, DWORD size);

// GetPrivateProfileIntA's reading of a value: leading blanks, a sign, "0x",
// "0o" or "0b" for another base, then digits up to the first that does not
// belong; the value wraps modulo 2^32. GetPrivateProfileIntA hands it the
// first profileIntegerBytes - 1 bytes of the value.
constexpr DWORD profileIntegerBytes = 30;
UINT profileInteger(const char *text);

}  // namespace hp::kernel32
