#include "app/command_line.h"

#include <string>

#include "app/front_panel.h"
#include "sound/shift_jis.h"

namespace {

bool isBlank(char c) { return c == ' ' || c == '\t'; }

const char *skipBlanks(const char *text)
{
    while (isBlank(*text))
        ++text;
    return text;
}

void queueFullPath(const char *argument, void *queued)
{
    char fullPath[MAX_PATH];
    if (fullPathOf(argument, fullPath))
        *static_cast<int *>(queued) += queueFile(fullPath);
}

}  // namespace

const char *commandLineArguments(const char *commandLine)
{
    const char *text = commandLine;
    if (*text == '"') {
        // The program's name: no escapes, up to the closing quote.
        ++text;
        while (*text && *text != '"')
            ++text;
        if (*text == '"')
            ++text;
    } else {
        while (*text && !isBlank(*text))
            ++text;
    }
    return skipBlanks(text);
}

int forEachArgument(const char *arguments, void (*take)(const char *argument, void *context),
                    void *context)
{
    int count = 0;
    const char *text = skipBlanks(arguments);
    while (*text) {
        std::string argument;
        bool quoted = false;
        while (*text && (quoted || !isBlank(*text))) {
            const unsigned char byte = static_cast<unsigned char>(*text);
            if (isLeadByte(byte) && isTrailByte(static_cast<unsigned char>(text[1]))) {
                argument.append(text, 2);
                text += 2;
            } else if (*text == '\\') {
                size_t backslashes = 0;
                while (text[backslashes] == '\\')
                    ++backslashes;
                text += backslashes;
                if (*text == '"') {
                    argument.append(backslashes / 2, '\\');
                    if (backslashes % 2 == 1) {
                        argument += '"';
                        ++text;
                    }
                } else {
                    argument.append(backslashes, '\\');
                }
            } else if (*text == '"') {
                if (quoted && text[1] == '"') {
                    argument += '"';
                    text += 2;
                } else {
                    quoted = !quoted;
                    ++text;
                }
            } else {
                argument += *text++;
            }
        }
        take(argument.c_str(), context);
        ++count;
        text = skipBlanks(text);
    }
    return count;
}

bool fullPathOf(const char *argument, char (&fullPath)[MAX_PATH])
{
    const DWORD length = GetFullPathNameA(argument, MAX_PATH, fullPath, nullptr);
    return length != 0 && length < MAX_PATH;
}

int queueCommandLineFiles(const char *arguments)
{
    int queued = 0;
    forEachArgument(arguments, queueFullPath, &queued);
    return queued;
}
