#include "catalog/text_mode_file.h"

#include <string.h>

TextModeFile::TextModeFile(const char *path, Access access)
    : stream_(path ? fopen(path, access == Access::Read ? "rb" : "wb") : nullptr)
{
}

TextModeFile::~TextModeFile()
{
    if (stream_) {
        fclose(stream_);
    }
}

// The next byte with CR LF read as LF; EOF at the end.
int TextModeFile::nextByte()
{
    int byte = getc(stream_);
    if (byte != '\r') {
        return byte;
    }
    int following = getc(stream_);
    if (following == '\n') {
        return '\n';
    }
    if (following != EOF) {
        ungetc(following, stream_);
    }
    return '\r';
}

bool TextModeFile::readLine(char *buffer, int capacity)
{
    if (!stream_ || !buffer || capacity < 1) {
        return false;
    }
    int length = 0;
    while (length < capacity - 1) {
        int byte = nextByte();
        if (byte == EOF) {
            break;
        }
        buffer[length++] = static_cast<char>(byte);
        if (byte == '\n') {
            break;
        }
    }
    buffer[length] = '\0';
    return length > 0;
}

void TextModeFile::put(const char *bytes, size_t count)
{
    if (count > 0 && fwrite(bytes, 1, count, stream_) != count) {
        writeFailed_ = true;
    }
}

void TextModeFile::writeLine(const char *text)
{
    if (!stream_) {
        writeFailed_ = true;
        return;
    }
    const char *rest = text ? text : "";
    for (const char *lineFeed = strchr(rest, '\n'); lineFeed; lineFeed = strchr(rest, '\n')) {
        put(rest, static_cast<size_t>(lineFeed - rest));
        put("\r\n", 2);
        rest = lineFeed + 1;
    }
    put(rest, strlen(rest));
    put("\r\n", 2);
}

bool TextModeFile::finish()
{
    if (!stream_) {
        return false;
    }
    bool written = !writeFailed_ && fflush(stream_) == 0 && !ferror(stream_);
    bool closed = fclose(stream_) == 0;
    stream_ = nullptr;
    return written && closed;
}
