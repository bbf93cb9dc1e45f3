// The text of a private profile (INI) file, kept line by line so that a
// change rewrites only the lines it touches: every other byte, comments,
// blank lines, line ends and text before the first section included, stays
// as it was. Bytes are CP932 and are never converted.
//
// Reading follows the platform: CR LF, LF and a CR alone each end a line;
// section and key names match without regard
// to ASCII case and to whitespace around them; a value is the text after
// the first "=", trimmed; a value in matching single or double quotes loses
// them; lines without "=" and lines starting with ";" are not listed as
// keys. The first section of a name wins, and the first key of a name in
// it.
//
// Writing adds no blank lines: a new key goes right after the last
// non-blank line of its section, a new section at the end of the file, and
// new lines end in CR LF.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace hp::kernel32 {

class ProfileDocument {
public:
    static ProfileDocument parse(std::string_view bytes);

    std::string serialize() const;

    // The value of a key ("" for "key="); nullopt when the section or key
    // is missing or the key's line has no "=". Quotes are removed.
    std::optional<std::string> value(std::string_view section, std::string_view key) const;

    std::vector<std::string> sectionNames() const;

    // The keys of the first section of that name that have a value;
    // nullopt when there is no such section.
    std::optional<std::vector<std::string>> keyNames(std::string_view section) const;

    // Each returns true when the text changed.
    bool setValue(std::string_view section, std::string_view key, std::string_view value);
    bool deleteKey(std::string_view section, std::string_view key);
    bool deleteSection(std::string_view section);

private:
    enum class LineKind { Blank, Section, Key, Other };
    // One line keeps its bytes once; its name and value are spans of them,
    // so parsing a file copies each line a single time.
    struct Line {
        std::string text;          // without its line end
        const char *ending = "";  // "\r\n", "\n", "\r" or "" for a last line without one
        LineKind kind = LineKind::Blank;
        bool hasValue = false;
        size_t nameStart = 0;  // section or key name, trimmed
        size_t nameLength = 0;
        size_t valueStart = 0;  // trimmed, quotes kept
        size_t valueLength = 0;

        std::string_view name() const { return {text.data() + nameStart, nameLength}; }
        std::string_view valueText() const { return {text.data() + valueStart, valueLength}; }
    };

    static Line lineOf(std::string text, const char *ending);
    // Index of the first header of that section, or npos.
    size_t findSection(std::string_view section) const;
    // End (exclusive) of the section whose header is at index header.
    size_t sectionEnd(size_t header) const;

    std::vector<Line> lines_;
};

}  // namespace hp::kernel32
