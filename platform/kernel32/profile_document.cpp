#include "platform/kernel32/profile_document.h"

#include "platform/kernel32/cp932_text.h"

namespace hp::kernel32 {
namespace {

constexpr const char *newLine = "\r\n";

// Whitespace as the platform trims it; ^Z is the DOS end-of-file mark that
// old files carry.
bool isProfileSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r' ||
           c == '\x1A';
}

std::string_view trim(std::string_view text)
{
    while (!text.empty() && isProfileSpace(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && isProfileSpace(text.back()))
        text.remove_suffix(1);
    return text;
}

std::string_view trimLeading(std::string_view text)
{
    while (!text.empty() && isProfileSpace(text.front()))
        text.remove_prefix(1);
    return text;
}

std::string withoutQuotes(const std::string &value)
{
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
        value.back() == value.front())
        return value.substr(1, value.size() - 2);
    return value;
}

}  // namespace

ProfileDocument::Line ProfileDocument::lineOf(std::string text, std::string ending)
{
    Line line;
    line.text = std::move(text);
    line.ending = std::move(ending);
    std::string_view content = trim(line.text);
    if (content.empty()) {
        line.kind = LineKind::Blank;
        return line;
    }
    if (content.front() == '[') {
        size_t close = findLastSingleByte(content, ']');
        if (close != std::string_view::npos && close > 0) {
            line.kind = LineKind::Section;
            line.name = std::string(trim(content.substr(1, close - 1)));
            return line;
        }
    }
    size_t equals = content.find('=');
    line.kind = LineKind::Key;
    if (equals == std::string_view::npos) {
        line.name = std::string(content);
        return line;
    }
    line.name = std::string(trim(content.substr(0, equals)));
    line.hasValue = true;
    line.valueText = std::string(trim(content.substr(equals + 1)));
    return line;
}

ProfileDocument ProfileDocument::parse(std::string_view bytes)
{
    ProfileDocument document;
    size_t start = 0;
    while (start < bytes.size()) {
        size_t textEnd = bytes.find_first_of("\r\n", start);
        if (textEnd == std::string_view::npos) {
            document.lines_.push_back(lineOf(std::string(bytes.substr(start)), ""));
            break;
        }
        size_t next = textEnd + 1;
        if (bytes[textEnd] == '\r' && next < bytes.size() && bytes[next] == '\n')
            ++next;
        document.lines_.push_back(lineOf(std::string(bytes.substr(start, textEnd - start)),
                                         std::string(bytes.substr(textEnd, next - textEnd))));
        start = next;
    }
    return document;
}

std::string ProfileDocument::serialize() const
{
    std::string bytes;
    for (const Line &line : lines_) {
        bytes += line.text;
        bytes += line.ending;
    }
    return bytes;
}

size_t ProfileDocument::findSection(std::string_view section) const
{
    std::string_view wanted = trim(section);
    for (size_t i = 0; i < lines_.size(); ++i) {
        if (lines_[i].kind == LineKind::Section && equalIgnoringAsciiCase(lines_[i].name, wanted))
            return i;
    }
    return std::string::npos;
}

size_t ProfileDocument::sectionEnd(size_t header) const
{
    size_t end = header + 1;
    while (end < lines_.size() && lines_[end].kind != LineKind::Section)
        ++end;
    return end;
}

std::optional<std::string> ProfileDocument::value(std::string_view section,
                                                  std::string_view key) const
{
    size_t header = findSection(section);
    if (header == std::string::npos)
        return std::nullopt;
    std::string_view wanted = trim(key);
    const size_t end = sectionEnd(header);
    for (size_t i = header + 1; i < end; ++i) {
        const Line &line = lines_[i];
        if (line.kind == LineKind::Key && equalIgnoringAsciiCase(line.name, wanted)) {
            if (!line.hasValue)
                return std::nullopt;
            return withoutQuotes(line.valueText);
        }
    }
    return std::nullopt;
}

std::vector<std::string> ProfileDocument::sectionNames() const
{
    std::vector<std::string> names;
    for (const Line &line : lines_) {
        if (line.kind == LineKind::Section)
            names.push_back(line.name);
    }
    return names;
}

std::optional<std::vector<std::string>> ProfileDocument::keyNames(std::string_view section) const
{
    size_t header = findSection(section);
    if (header == std::string::npos)
        return std::nullopt;
    std::vector<std::string> names;
    const size_t end = sectionEnd(header);
    for (size_t i = header + 1; i < end; ++i) {
        const Line &line = lines_[i];
        if (line.kind == LineKind::Key && line.hasValue && !line.name.empty() &&
            line.name.front() != ';')
            names.push_back(line.name);
    }
    return names;
}

bool ProfileDocument::setValue(std::string_view section, std::string_view key,
                               std::string_view value)
{
    std::string sectionName(trim(section));
    std::string keyName(trim(key));
    std::string newValue(trimLeading(value));

    size_t header = findSection(sectionName);
    if (header == std::string::npos) {
        if (!lines_.empty() && lines_.back().ending.empty())
            lines_.back().ending = newLine;
        lines_.push_back(lineOf("[" + sectionName + "]", newLine));
        lines_.push_back(lineOf(keyName + "=" + newValue, newLine));
        return true;
    }
    size_t end = sectionEnd(header);
    for (size_t i = header + 1; i < end; ++i) {
        Line &line = lines_[i];
        if (line.kind != LineKind::Key || !equalIgnoringAsciiCase(line.name, keyName))
            continue;
        if (line.hasValue && line.valueText == newValue)
            return false;
        line = lineOf(line.name + "=" + newValue, line.ending);
        return true;
    }
    size_t insertAfter = header;
    for (size_t i = header + 1; i < end; ++i) {
        if (lines_[i].kind != LineKind::Blank)
            insertAfter = i;
    }
    if (lines_[insertAfter].ending.empty())
        lines_[insertAfter].ending = newLine;
    lines_.insert(lines_.begin() + static_cast<long>(insertAfter) + 1,
                  lineOf(keyName + "=" + newValue, newLine));
    return true;
}

bool ProfileDocument::deleteKey(std::string_view section, std::string_view key)
{
    std::string_view wantedSection = trim(section);
    std::string_view wantedKey = trim(key);
    for (size_t header = 0; header < lines_.size(); ++header) {
        if (lines_[header].kind != LineKind::Section ||
            !equalIgnoringAsciiCase(lines_[header].name, wantedSection))
            continue;
        size_t end = sectionEnd(header);
        for (size_t i = header + 1; i < end; ++i) {
            if (lines_[i].kind == LineKind::Key &&
                equalIgnoringAsciiCase(lines_[i].name, wantedKey)) {
                lines_.erase(lines_.begin() + static_cast<long>(i));
                return true;
            }
        }
    }
    return false;
}

bool ProfileDocument::deleteSection(std::string_view section)
{
    size_t header = findSection(section);
    if (header == std::string::npos)
        return false;
    lines_.erase(lines_.begin() + static_cast<long>(header),
                 lines_.begin() + static_cast<long>(sectionEnd(header)));
    return true;
}

}  // namespace hp::kernel32
