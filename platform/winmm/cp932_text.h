// Byte-level helpers for the CP932 names that winmm hands across its
// records: fixed-size name fields and case-blind name matching. A byte in
// 0x81-0x9F or 0xE0-0xFC starts a double-byte character; its second byte is
// never folded, split off or compared as a letter of its own.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace hp::winmm {

// Copies as many whole characters of text as fit in a field of fieldBytes
// bytes with its terminator, and terminates. fieldBytes must be at least 1.
void copyCp932Field(char *field, size_t fieldBytes, std::string_view text);

// ASCII letters compared without case; everything else byte for byte.
bool equalsIgnoringAsciiCase(std::string_view first, std::string_view second);

// The text with its ASCII letters in lower case.
std::string lowerAscii(std::string_view text);

}  // namespace hp::winmm
