// Code page 932 (Shift-JIS, Microsoft's variant) against the host's UTF-8.
//
// Every text that leaves the layer for the host (file names, window and menu
// text, font faces) goes through here, and so does every text that comes
// back. Two families:
//  - display text: lenient, never fails; bytes that are not valid CP932
//    become U+FFFD and the rest survives.
//  - file names: exact and reversible. A host name always gets a CP932 form.
//    A character that CP932 lacks gets a code of the user-defined area
//    (0xF040-0xF9FC) from the user's table (user_characters.h): one
//    double-byte character, which display text and drawing turn back into
//    the character itself. Codes of that area that the table does not hold
//    name nothing, and characters of the code page that the area held are
//    the table's too. A character the table cannot take (full, or not
//    writable), and bytes that are not valid UTF-8, are written as an
//    escape that starts with the byte 0xFF (a byte that CP932 never
//    produces, that no Shift-JIS scan takes for a lead byte, a separator, a
//    bracket or a dot):
//        0xFF 'U' followed by 6 upper-case hex digits   one Unicode scalar
//        0xFF 'B' followed by 2 upper-case hex digits   one raw host byte
//    hostNameFromCp932(hostNameToCp932(x)) == x for every host byte string x.
//    A backslash in a host name is escaped as well (0xFF 'U' "00005C"): in
//    our names it separates folders. So are the other characters the
//    platform refuses in names (control characters and < > : " | ? *) and a
//    final period or space, which the platform strips from a path: the name
//    handed out must lead back to the same file.
#pragma once

#include <string>
#include <string_view>

namespace hp::host {

// Display text, CP932 bytes to UTF-8. Never fails.
std::string utf8FromCp932(std::string_view cp932);

// Display text, UTF-8 to CP932. Characters CP932 lacks become '?'.
std::string cp932FromUtf8(std::string_view utf8);

// A host file name (any bytes, normally UTF-8) to its CP932 form. Never fails.
std::string hostNameToCp932(std::string_view hostName);

// The CP932 form of a name back to host bytes. Returns false (and leaves
// hostName unspecified) when the text holds bytes that neither CP932 nor the
// escape explains; such a name cannot exist on the host.
bool hostNameFromCp932(std::string_view cp932, std::string &hostName);

}  // namespace hp::host
