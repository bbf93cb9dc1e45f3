// The names of MCI device types: the platform's "MCI Extensions" table, and
// the MCI_DEVTYPE_* numbers that MCI_OPEN_TYPE_ID and MCI_SYSINFO use.
#pragma once

#include <string_view>

#include "platform/win32.h"

namespace hp::winmm {

// MCI_DEVTYPE_* of a type name (any case); MCI_DEVTYPE_OTHER for a name the
// platform does not number. "mpegvideo" and "avivideo" count as digital
// video, as their drivers report.
UINT mciDevTypeOfName(std::string_view typeName);

// Canonical name of an MCI_DEVTYPE_* number, or nullptr outside
// MCI_DEVTYPE_FIRST..MCI_DEVTYPE_LAST.
const char *mciTypeNameOfDevType(UINT devType);

}  // namespace hp::winmm
