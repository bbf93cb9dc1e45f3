#include "catalog/playlist_text.h"

#include <string.h>

#include <string_view>
#include <unordered_map>

namespace {

constexpr int lineCapacity = 260;

void removeLineEnd(char *line)
{
    size_t length = strlen(line);
    if (length > 0 && line[length - 1] == '\n') {
        line[--length] = '\0';
        if (length > 0 && line[length - 1] == '\r')
            line[--length] = '\0';
    }
}

// Calls visit with each line that is not empty, in order, until it
// returns false; false then.
template <typename Visit>
bool everyLine(const std::string &text, Visit visit)
{
    std::string_view rest(text);
    while (!rest.empty()) {
        size_t lineFeed = rest.find('\n');
        std::string_view line = rest.substr(0, lineFeed);
        rest.remove_prefix(lineFeed == std::string_view::npos ? rest.size() : lineFeed + 1);
        if (lineFeed != std::string_view::npos && !line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        if (!line.empty() && !visit(line))
            return false;
    }
    return true;
}

// Lines of bytes in memory, read as fgets reads a text-mode stream.
class PlaylistReader {
public:
    // The bytes must outlive the reader.
    PlaylistReader(const char *bytes, size_t size) : bytes_(bytes), size_(bytes ? size : 0) {}

    // At most capacity - 1 bytes, up to and including a line feed, with
    // CR LF read as one LF; the text is terminated. False at the end, when
    // nothing was read.
    bool readLine(char *buffer, int capacity);

private:
    const char *bytes_;
    size_t size_;
    size_t position_ = 0;
};

bool PlaylistReader::readLine(char *buffer, int capacity)
{
    if (!buffer || capacity < 1)
        return false;
    buffer[0] = '\0';
    const size_t room = static_cast<size_t>(capacity) - 1;
    const size_t available = size_ - position_;
    if (available == 0 || room == 0)
        return false;
    const char *start = bytes_ + position_;
    // One byte beyond the room: a CR LF that ends there still fits as LF.
    size_t window = available < room + 1 ? available : room + 1;
    const char *lineFeed = static_cast<const char *>(memchr(start, '\n', window));
    size_t length = 0;  // bytes given out
    size_t consumed = 0;
    if (lineFeed) {
        size_t offset = static_cast<size_t>(lineFeed - start);
        bool crLf = offset > 0 && start[offset - 1] == '\r';
        if (offset < room || (offset == room && crLf)) {
            length = crLf ? offset : offset + 1;
            consumed = offset + 1;
            memcpy(buffer, start, length);
            buffer[length - 1] = '\n';
        } else {
            length = consumed = room;
            memcpy(buffer, start, length);
        }
    } else {
        length = consumed = available < room ? available : room;
        memcpy(buffer, start, length);
    }
    position_ += consumed;
    buffer[length] = '\0';
    return length > 0;
}

}  // namespace

void forEachPlaylistPath(const char *bytes, size_t size, PlaylistPathHandler onPath,
                         void *context)
{
    PlaylistReader reader(bytes, size);
    char line[lineCapacity];
    while (reader.readLine(line, lineCapacity)) {
        removeLineEnd(line);
        onPath(line, context);
    }
}

void appendPlaylistLine(std::string &text, const char *path)
{
    const char *rest = path ? path : "";
    for (const char *lineFeed = strchr(rest, '\n'); lineFeed; lineFeed = strchr(rest, '\n')) {
        text.append(rest, static_cast<size_t>(lineFeed - rest));
        text += "\r\n";
        rest = lineFeed + 1;
    }
    text += rest;
    text += "\r\n";
}

bool losesLines(const std::string &before, const std::string &after)
{
    std::unordered_map<std::string_view, size_t> kept;
    everyLine(after, [&kept](std::string_view line) {
        ++kept[line];
        return true;
    });
    // Stops at the first line the other text lacks.
    return !everyLine(before, [&kept](std::string_view line) {
        auto found = kept.find(line);
        if (found == kept.end() || found->second == 0)
            return false;
        --found->second;
        return true;
    });
}
