// The user's table of characters that code page 932 lacks, each given one
// double-byte code of the code page's user-defined area (lead bytes 0xF0 to
// 0xF9, second bytes 0x40-0x7E and 0x80-0xFC: 1880 codes).
//
// A host name such as "Café.mp3" thus has a CP932 form in which every
// character is one character of the code page: the program's byte rules
// (lines cut at a byte count, the marquee's half-character rule, the lead
// byte scans of paths) never split it, and drawing maps the code back to
// the character.
//
// The table is a file of the user's, one character per line in UTF-8, the
// line's number being the code's index; lines are only ever appended, so a
// code once given keeps its character for good, in every process of the
// user and in every file the program wrote it into (the queue's playlist).
// Processes share the file under flock(2): a writer takes the exclusive
// lock, reads the file again and appends only a character still missing; a
// reader that meets an unknown code reads the file again under the shared
// lock. A line that is not one well-formed character (a file edited by
// hand) keeps its number and maps to nothing; an unfinished last line (a
// write cut short) is dropped by the next writer.
//
// Limits: 1880 characters per user; a full table, or one that cannot be
// written, leaves the character to the escape of charset.h. Codes mean
// something only to the user whose table gave them: a playlist holding
// them, read by another user or on Windows, names other characters.
#pragma once

#include <sys/types.h>

#include <cstdint>
#include <mutex>
#include <string>
#include <unordered_map>
#include <vector>

namespace hp::host {

class UserCharacters {
public:
    static constexpr int capacity = 10 * 188;

    // A table kept in the file at `path` ("" for none: every lookup misses).
    explicit UserCharacters(std::string path);

    // The code (lead byte << 8 | second byte) of a character, given now if
    // the table lacks it; 0 when the table is full or cannot be written.
    uint16_t codeOf(char32_t character);

    // The character of a code, or 0 when no character has that code.
    char32_t characterOf(uint16_t code);

    static bool isUserDefinedLeadByte(unsigned char byte) { return byte >= 0xF0 && byte <= 0xF9; }

private:
    bool readLocked(int fd, std::string &content);

    std::mutex mutex_;
    std::string path_;
    std::vector<char32_t> characters_;
    std::unordered_map<char32_t, int> indexes_;
    off_t sizeRead_ = -1;
};

// The table of the user running the process, in the user's data folder.
UserCharacters &userCharacters();

}  // namespace hp::host
