// directoryPart and fileNamePart on arbitrary bytes and capacities: they
// never write beyond the capacity, and what they write is the head or the
// tail of the path.
#include <stddef.h>
#include <stdint.h>
#include <stdlib.h>
#include <string.h>

#include <string>

#include "sound/path_helpers.h"

namespace {

// The output buffer is exactly `capacity` bytes long, so that the address
// sanitizer catches a write past it.
template <typename Check>
void runSplit(int (*split)(HWND, const char *, char *, int), const std::string &path, int capacity,
              Check check)
{
    size_t bytes = capacity > 0 ? static_cast<size_t>(capacity) : 1;
    char *output = static_cast<char *>(malloc(bytes));
    memset(output, 0x7F, bytes);
    int result = split(nullptr, path.c_str(), output, capacity);
    if (result == 1) {
        if (!memchr(output, '\0', bytes)) {
            abort();
        }
        check(std::string(output));
    }
    free(output);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < 1) {
        return 0;
    }
    int capacity = data[0] == 0xFF ? -1 : data[0];
    std::string path(reinterpret_cast<const char *>(data + 1), size - 1);
    path = path.c_str();
    runSplit(directoryPart, path, capacity, [&](const std::string &directory) {
        char last = directory.empty() ? 0 : directory.back();
        if (path.compare(0, directory.size(), directory) != 0 || (last != '\\' && last != '/')) {
            abort();
        }
    });
    runSplit(fileNamePart, path, capacity, [&](const std::string &name) {
        if (name.size() > path.size()
            || path.compare(path.size() - name.size(), name.size(), name) != 0) {
            abort();
        }
    });
    // Splitting a buffer onto itself.
    char same[300] = {};
    memcpy(same, path.c_str(), path.size() < 259 ? path.size() : 259);
    directoryPart(nullptr, same, same, sizeof same);
    return 0;
}
