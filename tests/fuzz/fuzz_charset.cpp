// The CP932 <-> host conversions on arbitrary bytes: display conversions
// never fail and give well-formed text, every host name survives the round
// trip through its CP932 form, and a Win32 path built from any host name
// resolves back to it.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "platform/host/charset.h"
#include "platform/kernel32/path_model.h"

namespace {

bool isWellFormedUtf8(std::string_view text)
{
    size_t i = 0;
    while (i < text.size()) {
        unsigned char first = static_cast<unsigned char>(text[i]);
        size_t length = first < 0x80 ? 1 : (first >= 0xC2 && first <= 0xDF) ? 2
                                     : (first >= 0xE0 && first <= 0xEF)   ? 3
                                     : (first >= 0xF0 && first <= 0xF4)   ? 4
                                                                          : 0;
        if (length == 0 || i + length > text.size())
            return false;
        for (size_t k = 1; k < length; ++k) {
            if ((static_cast<unsigned char>(text[i + k]) & 0xC0) != 0x80)
                return false;
        }
        i += length;
    }
    return true;
}

void require(bool condition)
{
    if (!condition)
        std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    std::string input(reinterpret_cast<const char *>(data), size);

    require(isWellFormedUtf8(hp::host::utf8FromCp932(input)));
    std::string cp932 = hp::host::cp932FromUtf8(input);
    require(cp932.size() <= 2 * input.size());

    std::string back;
    require(hp::host::hostNameFromCp932(hp::host::hostNameToCp932(input), back));
    require(back == input);

    // Decoding arbitrary CP932 must not crash; what it accepts, it gives
    // back again from the form it hands out.
    std::string decoded;
    if (hp::host::hostNameFromCp932(input, decoded)) {
        std::string again;
        require(hp::host::hostNameFromCp932(hp::host::hostNameToCp932(decoded), again));
        require(again == decoded);
    }

    // A file in a folder that does not exist, named by the input: the path
    // handed out leads back to it (nothing is created).
    std::string name = input;
    for (char &c : name) {
        if (c == '/' || c == '\0')
            c = '_';
    }
    if (!name.empty() && name != "." && name != "..") {
        std::string hostPath = "/nonexistent-hp-fuzz/" + name;
        std::string windowsPath = hp::kernel32::windowsPathOf(hostPath);
        hp::kernel32::ResolvedPath resolved;
        require(hp::kernel32::resolvePath(windowsPath.c_str(), resolved) == 0);
        require(resolved.hostPath == hostPath);
    }

    // Any text as a path: an answer, never a crash.
    std::string asPath = input.substr(0, input.find('\0'));
    hp::kernel32::ResolvedPath ignored;
    hp::kernel32::resolvePath(asPath.c_str(), ignored);
    return 0;
}
