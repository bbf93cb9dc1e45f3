// A stream that reads and writes lines the way the target system's text
// mode does, on every system.
//
// The C library translates line ends in text mode only on Windows, so a
// playlist written on Linux in text mode would end its lines with a bare LF.
// This stream opens in binary mode and does the translation itself: a
// written LF becomes CR LF, and CR LF reads back as LF. Both builds
// therefore produce and accept the same bytes. (The Windows runtime's other
// text-mode rule, Ctrl-Z as end of file, is not imitated: it never occurs
// in a path.)
#pragma once

#include <stdio.h>

class TextModeFile {
public:
    enum class Access { Read, Write };

    TextModeFile(const char *path, Access access);
    ~TextModeFile();
    TextModeFile(const TextModeFile &) = delete;
    TextModeFile &operator=(const TextModeFile &) = delete;

    bool opened() const { return stream_ != nullptr; }

    // As fgets: at most capacity - 1 bytes, up to and including a line
    // feed; the text is terminated. False at the end of the file when
    // nothing was read.
    bool readLine(char *buffer, int capacity);

    // As fprintf(stream, "%s\n", text).
    void writeLine(const char *text);

    // Flushes and closes the stream. False when anything could not be
    // written.
    bool finish();

private:
    int nextByte();
    void put(const char *bytes, size_t count);

    FILE *stream_;
    bool writeFailed_ = false;
};
