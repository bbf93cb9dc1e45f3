// Byte classes of code page 932 (Shift-JIS).
#pragma once

// A byte that starts a double-byte character.
inline bool isLeadByte(unsigned char byte)
{
    return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
}

// A byte that can end a double-byte character begun by a lead byte.
inline bool isTrailByte(unsigned char byte) { return byte >= 0x40 && byte <= 0xFC; }
