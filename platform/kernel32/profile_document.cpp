#include "platform/kernel32/profile_document.h"

#include <cstring>

#include "platform/kernel32/cp932_text.h"

namespace hp::kernel32 {
namespace {

constexpr const char *newLine = "\r\n";

// Whitespace as the platform trims it; ^Z is the DOS end-of-file mark that
// old files carry.
bool isProfileSpace(char c)
{
    switch (c) {
    case ' ':
    case '\t':
    case '\n':
    case '\v':
    case '\f':
    case '\r':
    case '\x1A':
        return true;
    default:
        return false;
    }
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

// Names are mostly asked for as they are written: the exact match spares
// folding the case of both.
bool sameName(std::string_view name, std::string_view wanted)
{
    return name == wanted || equalIgnoringAsciiCase(name, wanted);
}

std::string withoutQuotes(std::string_view value)
{
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
        value.back() == value.front())
        return std::string(value.data() + 1, value.size() - 2);
    return std::string(value);
}

// The lines of a text: CR LF, LF and a CR alone each end one. The next CR
// and the next LF are looked up once each and kept until passed, so
// splitting a text reads it once whatever its line ends.
class LineBreaks {
public:
    explicit LineBreaks(std::string_view bytes)
        : bytes_(bytes), cr_(find('\r', 0)), lf_(find('\n', 0))
    {
    }

    // False at the end of the text; else the line starting at start ends
    // its text at textEnd with the line end given, and the next line starts
    // at nextStart.
    bool next(size_t start, size_t &textEnd, const char *&ending, size_t &nextStart)
    {
        if (start >= bytes_.size())
            return false;
        if (cr_ < start)
            cr_ = find('\r', start);
        if (lf_ < start)
            lf_ = find('\n', start);
        if (lf_ < cr_) {
            textEnd = lf_;
            ending = "\n";
            nextStart = lf_ + 1;
        } else if (cr_ != std::string_view::npos) {
            textEnd = cr_;
            const bool crLf = lf_ == cr_ + 1;
            ending = crLf ? "\r\n" : "\r";
            nextStart = cr_ + (crLf ? 2 : 1);
        } else {
            textEnd = bytes_.size();
            ending = "";
            nextStart = textEnd;
        }
        return true;
    }

private:
    size_t find(char wanted, size_t from) const
    {
        if (from >= bytes_.size())
            return std::string_view::npos;
        const void *found = std::memchr(bytes_.data() + from, wanted, bytes_.size() - from);
        return found ? static_cast<size_t>(static_cast<const char *>(found) - bytes_.data())
                     : std::string_view::npos;
    }

    std::string_view bytes_;
    // The next CR and LF at or after an earlier start, npos for none; one
    // below the current start has been passed.
    size_t cr_;
    size_t lf_;
};

}  // namespace

ProfileDocument::Line ProfileDocument::lineOf(std::string text, const char *ending)
{
    Line line;
    line.text = std::move(text);
    line.ending = ending;
    const std::string_view content = trim(line.text);
    if (content.empty()) {
        line.kind = LineKind::Blank;
        return line;
    }
    const auto offsetOf = [&line](std::string_view part) {
        return static_cast<size_t>(part.data() - line.text.data());
    };
    if (content.front() == '[') {
        size_t close = findLastSingleByte(content, ']');
        if (close != std::string_view::npos && close > 0) {
            line.kind = LineKind::Section;
            const std::string_view name = trim(std::string_view(content.data() + 1, close - 1));
            line.nameStart = offsetOf(name);
            line.nameLength = name.size();
            return line;
        }
    }
    size_t equals = content.find('=');
    line.kind = LineKind::Key;
    if (equals == std::string_view::npos) {
        line.nameStart = offsetOf(content);
        line.nameLength = content.size();
        return line;
    }
    const std::string_view name = trim(std::string_view(content.data(), equals));
    const std::string_view value =
        trim(std::string_view(content.data() + equals + 1, content.size() - equals - 1));
    line.nameStart = offsetOf(name);
    line.nameLength = name.size();
    line.hasValue = true;
    line.valueStart = offsetOf(value);
    line.valueLength = value.size();
    return line;
}

ProfileDocument ProfileDocument::parse(std::string_view bytes)
{
    ProfileDocument document;
    size_t textEnd = 0;
    const char *ending = "";
    size_t next = 0;
    size_t count = 0;
    for (LineBreaks lines(bytes); lines.next(next, textEnd, ending, next);)
        ++count;
    document.lines_.reserve(count);
    size_t start = 0;
    for (LineBreaks lines(bytes); lines.next(start, textEnd, ending, next); start = next)
        document.lines_.push_back(lineOf(std::string(bytes.data() + start, textEnd - start), ending));
    return document;
}

std::string ProfileDocument::serialize() const
{
    size_t size = 0;
    for (const Line &line : lines_)
        size += line.text.size() + std::strlen(line.ending);
    std::string bytes;
    bytes.reserve(size);
    for (const Line &line : lines_) {
        bytes += line.text;
        bytes += line.ending;
    }
    return bytes;
}

size_t ProfileDocument::findSection(std::string_view section) const
{
    std::string_view wanted = trim(section);
    for (auto line = lines_.begin(); line != lines_.end(); ++line) {
        if (line->kind == LineKind::Section && sameName(line->name(), wanted))
            return static_cast<size_t>(line - lines_.begin());
    }
    return std::string::npos;
}

size_t ProfileDocument::sectionEnd(size_t header) const
{
    auto end = lines_.begin() + static_cast<long>(header) + 1;
    while (end != lines_.end() && end->kind != LineKind::Section)
        ++end;
    return static_cast<size_t>(end - lines_.begin());
}

std::optional<std::string> ProfileDocument::value(std::string_view section,
                                                  std::string_view key) const
{
    size_t header = findSection(section);
    if (header == std::string::npos)
        return std::nullopt;
    std::string_view wanted = trim(key);
    for (auto line = lines_.begin() + static_cast<long>(header) + 1;
         line != lines_.end() && line->kind != LineKind::Section; ++line) {
        if (line->kind == LineKind::Key && sameName(line->name(), wanted)) {
            if (!line->hasValue)
                return std::nullopt;
            return withoutQuotes(line->valueText());
        }
    }
    return std::nullopt;
}

std::vector<std::string> ProfileDocument::sectionNames() const
{
    size_t count = 0;
    for (const Line &line : lines_)
        count += line.kind == LineKind::Section;
    std::vector<std::string> names;
    names.reserve(count);
    for (const Line &line : lines_) {
        if (line.kind == LineKind::Section)
            names.emplace_back(line.name());
    }
    return names;
}

std::optional<std::vector<std::string>> ProfileDocument::keyNames(std::string_view section) const
{
    size_t header = findSection(section);
    if (header == std::string::npos)
        return std::nullopt;
    std::vector<std::string> names;
    const auto first = lines_.begin() + static_cast<long>(header) + 1;
    const auto end = lines_.begin() + static_cast<long>(sectionEnd(header));
    names.reserve(static_cast<size_t>(end - first));
    for (auto line = first; line != end; ++line) {
        if (line->kind == LineKind::Key && line->hasValue && line->nameLength > 0 &&
            line->text[line->nameStart] != ';')
            names.emplace_back(line->name());
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
        if (!lines_.empty() && *lines_.back().ending == '\0')
            lines_.back().ending = newLine;
        lines_.push_back(lineOf("[" + sectionName + "]", newLine));
        lines_.push_back(lineOf(keyName + "=" + newValue, newLine));
        return true;
    }
    size_t end = sectionEnd(header);
    for (size_t i = header + 1; i < end; ++i) {
        Line &line = lines_[i];
        if (line.kind != LineKind::Key || !sameName(line.name(), keyName))
            continue;
        if (line.hasValue && line.valueText() == newValue)
            return false;
        line = lineOf(std::string(line.name()) + "=" + newValue, line.ending);
        return true;
    }
    size_t insertAfter = header;
    for (size_t i = header + 1; i < end; ++i) {
        if (lines_[i].kind != LineKind::Blank)
            insertAfter = i;
    }
    if (*lines_[insertAfter].ending == '\0')
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
            !sameName(lines_[header].name(), wantedSection))
            continue;
        size_t end = sectionEnd(header);
        for (size_t i = header + 1; i < end; ++i) {
            if (lines_[i].kind == LineKind::Key &&
                sameName(lines_[i].name(), wantedKey)) {
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
