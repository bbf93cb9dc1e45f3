#include "platform/winmm/kept_levels.h"

#include <charconv>
#include <cstdio>
#include <vector>

#include "platform/kernel32/atomic_file_writer.h"
#include "platform/kernel32/host_file_read.h"
#include "platform/kernel32/installed_layout.h"

namespace hp::winmm {
namespace {

constexpr const char *fileName = "mixer-levels";
// Four lines of at most "CdAudio=65535,65535,1,1\r\n".
constexpr size_t longestFile = 4 * 26;
constexpr const char *lineNames[OutputLines::lineCount] = {"Master", "Wave", "Synth", "CdAudio"};

// One decimal number from min to max, then `end` (or the end of the text
// when end is 0). Moves `text` past both.
bool takeNumber(std::string_view &text, LONG min, LONG max, char end, LONG &value)
{
    const char *first = text.data();
    const char *last = first + text.size();
    const auto [stop, error] = std::from_chars(first, last, value);
    if (error != std::errc() || stop == first || value < min || value > max)
        return false;
    text.remove_prefix(static_cast<size_t>(stop - first));
    if (end == 0)
        return text.empty();
    if (text.empty() || text.front() != end)
        return false;
    text.remove_prefix(1);
    return true;
}

bool parseLine(std::string_view line, OutputLines::Levels &levels)
{
    for (int channel = 0; channel < OutputLines::channelCount; ++channel) {
        if (!takeNumber(line, 0, OutputLines::maximumVolume, ',', levels.volume[channel]))
            return false;
    }
    return takeNumber(line, 0, 1, ',', levels.mute[0]) && takeNumber(line, 0, 1, 0, levels.mute[1]);
}

}  // namespace

std::string formatLevels(const OutputLines::AllLevels &levels)
{
    std::string text;
    for (int line = 0; line < OutputLines::lineCount; ++line) {
        const OutputLines::Levels &l = levels[static_cast<size_t>(line)];
        char row[64];
        std::snprintf(row, sizeof row, "%s=%ld,%ld,%ld,%ld\n", lineNames[line],
                      static_cast<long>(l.volume[0]), static_cast<long>(l.volume[1]),
                      static_cast<long>(l.mute[0]), static_cast<long>(l.mute[1]));
        text += row;
    }
    return text;
}

bool parseLevels(std::string_view text, OutputLines::AllLevels &levels)
{
    OutputLines::AllLevels read{};
    bool seen[OutputLines::lineCount] = {};
    while (!text.empty()) {
        const size_t end = text.find('\n');
        if (end == std::string_view::npos)
            return false;  // the last line is cut short
        std::string_view line = text.substr(0, end);
        text.remove_prefix(end + 1);
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        const size_t equals = line.find('=');
        if (equals == std::string_view::npos)
            return false;
        int found = -1;
        for (int i = 0; i < OutputLines::lineCount; ++i) {
            if (line.substr(0, equals) == lineNames[i])
                found = i;
        }
        if (found < 0 || seen[found] ||
            !parseLine(line.substr(equals + 1), read[static_cast<size_t>(found)]))
            return false;
        seen[found] = true;
    }
    for (bool lineSeen : seen) {
        if (!lineSeen)
            return false;
    }
    levels = read;
    return true;
}

void keepOutputLevels(const std::string &dataFolder)
{
    if (dataFolder.empty())
        return;
    const std::string path = dataFolder + "/" + fileName;
    OutputLines &lines = OutputLines::instance();
    lines.setKeeper(nullptr);
    std::vector<uint8_t> bytes;
    OutputLines::AllLevels kept;
    const bool read = kernel32::readHostFile(path, longestFile, bytes) == ERROR_SUCCESS;
    if (read && parseLevels(std::string_view(reinterpret_cast<const char *>(bytes.data()),
                                             bytes.size()),
                            kept)) {
        for (int line = 0; line < OutputLines::lineCount; ++line)
            lines.setLevels(static_cast<OutputLines::Line>(line), kept[static_cast<size_t>(line)]);
    }
    lines.setKeeper([dataFolder, path](const OutputLines::AllLevels &levels) {
        DWORD error = ERROR_PATH_NOT_FOUND;
        if (kernel32::makeFolders(dataFolder) == 0)
            error = kernel32::AtomicFileWriter::replace(path, formatLevels(levels));
        if (error != ERROR_SUCCESS)
            std::fprintf(stderr, "Hollyphone: the mixer levels cannot be kept in %s (error %lu)\n",
                         path.c_str(), static_cast<unsigned long>(error));
    });
}

}  // namespace hp::winmm
