// Private profiles over arbitrary file content: the reading functions stay
// inside their buffers and terminate them, the document keeps every byte it
// does not change, and a value written can be read back while every other
// section survives.
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "platform/kernel32/path_model.h"
#include "platform/kernel32/profile_document.h"
#include "platform/win32.h"

namespace {

void require(bool condition)
{
    if (!condition)
        std::abort();
}

// One file per process, rewritten for every input.
const std::string &profilePath(std::string &hostPath)
{
    static std::string windowsPath;
    static std::string host;
    if (host.empty()) {
        // Memory-backed when possible: every write is flushed to the disk.
        char pattern[] = "/dev/shm/hp_fuzz_profile_XXXXXX";
        int fd = mkstemp(pattern);
        if (fd < 0) {
            std::strcpy(pattern, "/tmp/hp_fuzz_profile_XXXXXX");
            fd = mkstemp(pattern);
        }
        require(fd >= 0);
        close(fd);
        host = pattern;
        windowsPath = hp::kernel32::windowsPathOf(host);
        std::atexit([] { unlink(host.c_str()); });
    }
    hostPath = host;
    return windowsPath;
}

void checkTerminated(const std::vector<char> &buffer, DWORD length, DWORD size)
{
    if (size == 0)
        return;
    require(length < size);
    require(buffer[length] == '\0');
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size == 0)
        return 0;
    // The first byte picks a buffer size, so cut lists and values happen.
    DWORD bufferSize = data[0];
    std::string content(reinterpret_cast<const char *>(data + 1), size - 1);

    using hp::kernel32::ProfileDocument;
    ProfileDocument document = ProfileDocument::parse(content);
    require(document.serialize() == content);

    std::string hostPath;
    const std::string &ini = profilePath(hostPath);
    {
        std::ofstream out(hostPath, std::ios::binary | std::ios::trunc);
        out << content;
    }

    std::vector<char> buffer(bufferSize + 1, '\x7F');
    DWORD length = GetPrivateProfileStringA(nullptr, nullptr, "d", buffer.data(), bufferSize,
                                            ini.c_str());
    checkTerminated(buffer, length, bufferSize);
    require(buffer[bufferSize] == '\x7F');

    for (const std::string &section : document.sectionNames()) {
        if (section.find('\0') != std::string::npos)
            continue;
        length = GetPrivateProfileStringA(section.c_str(), nullptr, "d", buffer.data(), bufferSize,
                                          ini.c_str());
        checkTerminated(buffer, length, bufferSize);
        auto keys = document.keyNames(section);
        require(keys.has_value());
        for (const std::string &key : *keys) {
            if (key.find('\0') != std::string::npos)
                continue;
            length = GetPrivateProfileStringA(section.c_str(), key.c_str(), "d", buffer.data(),
                                              bufferSize, ini.c_str());
            checkTerminated(buffer, length, bufferSize);
            require(buffer[bufferSize] == '\x7F');
            GetPrivateProfileIntA(section.c_str(), key.c_str(), 0, ini.c_str());
        }
    }

    // Writing through the API, then reading back.
    std::vector<std::string> sectionsBefore = document.sectionNames();
    if (WritePrivateProfileStringA("Fuzz", "Key", "Value", ini.c_str())) {
        char value[16];
        DWORD got = GetPrivateProfileStringA("Fuzz", "Key", "", value, sizeof value, ini.c_str());
        require(got == 5 && std::strcmp(value, "Value") == 0);
        std::ifstream in(hostPath, std::ios::binary);
        std::string written((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        std::vector<std::string> sectionsAfter = ProfileDocument::parse(written).sectionNames();
        bool hadFuzz = document.keyNames("Fuzz").has_value();
        require(sectionsAfter.size() == sectionsBefore.size() + (hadFuzz ? 0 : 1));
        for (size_t i = 0; i < sectionsBefore.size(); ++i)
            require(sectionsAfter[i] == sectionsBefore[i]);
    }

    // Deleting the section again through the API removes what was added
    // and nothing before it.
    if (!document.keyNames("Fuzz").has_value() &&
        WritePrivateProfileStringA("Fuzz", nullptr, nullptr, ini.c_str())) {
        std::ifstream in(hostPath, std::ios::binary);
        std::string restored((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        require(ProfileDocument::parse(restored).sectionNames() == sectionsBefore);
    }
    return 0;
}
