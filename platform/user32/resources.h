// The program's resources, as the platform's loader finds them in the
// executable.
//
// The resource script (resources/*.rc) is the only source: the build
// compiles it with windres into the binary .res format and links those
// bytes into the executable (cmake: hp_embed_resources), so both systems
// read the very same icon and dialog templates. This module parses the .res
// directory and answers lookups by type and name, as FindResource and
// LoadResource would.
#pragma once

#include <cstddef>

#include "platform/win32.h"

namespace hp::user32 {

struct ResourceBytes {
    const void *data = nullptr;
    size_t size = 0;
};

// Standard resource types (RT_*), as MAKEINTRESOURCE values.
constexpr WORD resourceTypeCursor = 1;
constexpr WORD resourceTypeIcon = 3;
constexpr WORD resourceTypeDialog = 5;
constexpr WORD resourceTypeGroupCursor = 12;
constexpr WORD resourceTypeGroupIcon = 14;
constexpr WORD resourceTypeVersion = 16;

// Finds a resource of the given module (the program's instance or null for
// the program) by type and name; names may be integer ids
// (MAKEINTRESOURCE) or strings (matched case-insensitively, as the
// platform does). False, with ERROR_RESOURCE_TYPE_NOT_FOUND or
// ERROR_RESOURCE_NAME_NOT_FOUND set, when there is none.
bool findResource(HINSTANCE module, LPCSTR type, LPCSTR name, ResourceBytes &bytes);

// The same lookup over any .res image (tests, other modules).
bool findResourceIn(const void *resBytes, size_t resSize, LPCSTR type, LPCSTR name,
                    ResourceBytes &bytes);

}  // namespace hp::user32
