// What the tests may assume of the platform they run on.
#pragma once

#include "platform/win32.h"

namespace hp::wintest {

// True when the Win32 DLLs are Wine's: some of their behaviours differ from
// the platform's own, and the tests mark where.
inline bool runningUnderWine()
{
    HMODULE ntdll = GetModuleHandleA("ntdll.dll");
    return ntdll && GetProcAddress(ntdll, "wine_get_version") != nullptr;
}

// The program's texts are code page 932; the tests compare them as such.
constexpr UINT japaneseCodePage = 932;
constexpr const char *japaneseLocaleHint =
    "run under the Japanese locale (code page 932): Wine needs LC_ALL=ja_JP.UTF-8";

}  // namespace hp::wintest
