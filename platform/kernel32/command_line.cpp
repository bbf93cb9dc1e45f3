#include "platform/kernel32/command_line.h"

#include <mutex>

#include "platform/kernel32/cp932_text.h"
#include "platform/win32.h"

namespace hp::kernel32 {
namespace {

struct CommandLine {
    std::mutex lock;
    std::string text;
};

CommandLine &commandLine()
{
    // Never destroyed: the program's teardown at exit may still ask.
    static CommandLine *line = new CommandLine;
    return *line;
}

bool needsQuotes(std::string_view argument)
{
    return argument.empty() || argument.find_first_of(" \t\"") != std::string_view::npos;
}

}  // namespace

void setCommandLine(std::string line)
{
    std::lock_guard<std::mutex> guard(commandLine().lock);
    commandLine().text = std::move(line);
}

std::string quoteCommandLineArgument(std::string_view argument)
{
    if (!needsQuotes(argument))
        return std::string(argument);
    std::string quoted = "\"";
    size_t backslashes = 0;
    Cp932Scanner scanner;
    for (char byte : argument) {
        const bool trail = scanner.step(static_cast<unsigned char>(byte));
        if (!trail && byte == '\\') {
            ++backslashes;
            quoted += byte;
            continue;
        }
        if (!trail && byte == '"') {
            // The backslashes before it are doubled, and one more escapes it.
            quoted.append(backslashes + 1, '\\');
        }
        backslashes = 0;
        quoted += byte;
    }
    // Backslashes before the closing quote would escape it.
    quoted.append(backslashes, '\\');
    quoted += '"';
    return quoted;
}

}  // namespace hp::kernel32

LPSTR WINAPI GetCommandLineA(void)
{
    // The text lives as long as the process; the caller may keep the pointer.
    hp::kernel32::CommandLine &line = hp::kernel32::commandLine();
    std::lock_guard<std::mutex> guard(line.lock);
    return line.text.data();
}
