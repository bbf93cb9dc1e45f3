// Host file names (UTF-8, or any bytes) as sequences of characters, for
// matching search masks and for ordering names as NTFS orders them. A byte
// that is not part of valid UTF-8 counts as one character of its own
// (U+DC80..U+DCFF, as Python's surrogateescape does), so every name has a
// form.
#pragma once

#include <string>
#include <string_view>

namespace hp::kernel32 {

std::u32string codePointsOf(std::string_view hostName);

// The NTFS collation key: UTF-16 code units with ASCII letters upper-cased.
std::u16string collationKeyOf(std::string_view hostName);

}  // namespace hp::kernel32
