// Private profiles over arbitrary text, read and changed in memory the way
// the profile functions do it: the answers stay inside their buffers and
// end in their terminators, the document keeps every byte it does not
// change, and a value written can be read back while every other section
// survives.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "platform/kernel32/profile_document.h"
#include "platform/kernel32/profile_reading.h"

namespace {

using hp::kernel32::ProfileDocument;
using hp::kernel32::readProfileString;

void require(bool condition)
{
    if (!condition)
        std::abort();
}

// The answer's buffer is one byte longer than the size given, holding a
// mark that no answer may overwrite.
class Answer {
public:
    explicit Answer(DWORD size) : size_(size), buffer_(size + 1, '\x7F') {}

    void read(const ProfileDocument &document, const char *section, const char *key)
    {
        const DWORD length = readProfileString(document, section, key, "d", buffer_.data(), size_);
        require(length < size_ && buffer_[length] == '\0');
        require(buffer_[size_] == '\x7F');
    }

private:
    DWORD size_;
    std::vector<char> buffer_;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    // The settings file the program writes is a few hundred bytes, and the
    // sections and keys read below fit in far fewer: longer texts take no
    // other road, only more time per run.
    if (size == 0 || size > 512)
        return 0;
    // The first byte picks a buffer size, so cut lists and values happen.
    Answer answer(DWORD{data[0]} + 1);
    const std::string content(reinterpret_cast<const char *>(data + 1), size - 1);

    ProfileDocument document = ProfileDocument::parse(content);
    require(document.serialize() == content);

    // Every lookup scans the lines, so reading every key of a long text
    // would take a time that grows with its square: the first few sections
    // and keys take every road there is.
    constexpr size_t namesRead = 4;
    answer.read(document, nullptr, nullptr);
    const std::vector<std::string> sections = document.sectionNames();
    for (size_t s = 0; s < sections.size() && s < namesRead; ++s) {
        const std::string &section = sections[s];
        if (section.find('\0') != std::string::npos)
            continue;
        answer.read(document, section.c_str(), nullptr);
        auto keys = document.keyNames(section);
        require(keys.has_value());
        for (size_t k = 0; k < keys->size() && k < namesRead; ++k) {
            const std::string &key = (*keys)[k];
            if (key.find('\0') != std::string::npos)
                continue;
            answer.read(document, section.c_str(), key.c_str());
            char integer[hp::kernel32::profileIntegerBytes];
            if (readProfileString(document, section.c_str(), key.c_str(), "", integer,
                                  sizeof integer))
                hp::kernel32::profileInteger(integer);
        }
    }

    // Writing a value, then reading the written text back.
    const std::vector<std::string> &sectionsBefore = sections;
    const bool hadFuzz = document.keyNames("Fuzz").has_value();
    document.setValue("Fuzz", "Key", "Value");
    ProfileDocument written = ProfileDocument::parse(document.serialize());
    char value[16];
    require(readProfileString(written, "Fuzz", "Key", "", value, sizeof value) == 5 &&
            std::strcmp(value, "Value") == 0);
    const std::vector<std::string> sectionsAfter = written.sectionNames();
    require(sectionsAfter.size() == sectionsBefore.size() + (hadFuzz ? 0 : 1));
    for (size_t i = 0; i < sectionsBefore.size(); ++i)
        require(sectionsAfter[i] == sectionsBefore[i]);

    // Deleting the added section again removes it and nothing before it.
    if (!hadFuzz) {
        written.deleteSection("Fuzz");
        require(ProfileDocument::parse(written.serialize()).sectionNames() == sectionsBefore);
    }
    return 0;
}
