// The one header through which the program reaches the operating system.
//
// On Windows it is the SDK itself. Elsewhere it declares the same subset of
// the Win32 API (same names, types, constants and record layouts) and our
// own layer under platform/ implements it. Text crosses this interface as
// code page 932 (Shift-JIS) bytes on both systems.
#pragma once

#ifdef _WIN32
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#include <mmsystem.h>
#include <shellapi.h>
#else
#include "api/windef.h"
#include "api/kernel32.h"
#include "api/user32.h"
#include "api/gdi32.h"
#include "api/shell32.h"
#include "api/mmsystem.h"
#endif
