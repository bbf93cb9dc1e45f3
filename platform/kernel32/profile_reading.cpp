#include "platform/kernel32/profile_reading.h"

#include <cstring>
#include <optional>
#include <string>
#include <vector>

namespace hp::kernel32 {

namespace {

DWORD copyText(const std::string &text, LPSTR out, DWORD size)
{
    DWORD length = text.size() < size - 1 ? static_cast<DWORD>(text.size()) : size - 1;
    std::memcpy(out, text.data(), length);
    out[length] = '\0';
    return length;
}

DWORD copyList(const std::vector<std::string> &names, LPSTR out, DWORD size)
{
    size_t length = 0;
    for (const std::string &name : names)
        length += name.size() + 1;
    std::string joined;
    joined.reserve(length);
    for (const std::string &name : names) {
        joined += name;
        joined += '\0';
    }
    if (joined.empty()) {
        out[0] = '\0';
        return 0;
    }
    if (joined.size() + 2 <= size) {
        std::memcpy(out, joined.data(), joined.size());
        out[joined.size()] = '\0';
        return static_cast<DWORD>(joined.size());
    }
    if (size < 2) {
        out[0] = '\0';
        return 0;
    }
    std::memcpy(out, joined.data(), size - 2);
    out[size - 2] = '\0';
    out[size - 1] = '\0';
    return size - 2;
}

std::string defaultTextOf(LPCSTR defaultValue)
{
    std::string text = defaultValue ? defaultValue : "";
    while (!text.empty() && text.back() == ' ')
        text.pop_back();
    if (text.size() >= 2 && (text.front() == '"' || text.front() == '\'') &&
        text.back() == text.front())
        text = text.substr(1, text.size() - 2);
    return text;
}

}  // namespace

DWORD readProfileString(const ProfileDocument &document, LPCSTR appName, LPCSTR keyName,
                        LPCSTR defaultValue, LPSTR returnedString, DWORD size)
{
    if (!appName)
        return copyList(document.sectionNames(), returnedString, size);
    if (!keyName) {
        auto keys = document.keyNames(appName);
        if (!keys || keys->empty())
            return readProfileDefault(defaultValue, returnedString, size);
        return copyList(*keys, returnedString, size);
    }
    std::optional<std::string> value = document.value(appName, keyName);
    if (!value)
        return readProfileDefault(defaultValue, returnedString, size);
    return copyText(*value, returnedString, size);
}

DWORD readProfileDefault(LPCSTR defaultValue, LPSTR returnedString, DWORD size)
{
    return copyText(defaultTextOf(defaultValue), returnedString, size);
}

UINT profileInteger(const char *text)
{
    while (*text && static_cast<unsigned char>(*text) <= ' ')
        ++text;
    bool negative = false;
    if (*text == '+' || *text == '-') {
        negative = *text == '-';
        ++text;
    }
    unsigned base = 10;
    if (text[0] == '0' && (text[1] == 'x' || text[1] == 'o' || text[1] == 'b')) {
        base = text[1] == 'x' ? 16 : text[1] == 'o' ? 8 : 2;
        text += 2;
    }
    UINT value = 0;
    for (; *text; ++text) {
        char c = *text;
        unsigned digit;
        if (c >= '0' && c <= '9')
            digit = static_cast<unsigned>(c - '0');
        else if (c >= 'a' && c <= 'z')
            digit = static_cast<unsigned>(c - 'a' + 10);
        else if (c >= 'A' && c <= 'Z')
            digit = static_cast<unsigned>(c - 'A' + 10);
        else
            break;
        if (digit >= base)
            break;
        value = value * base + digit;
    }
    return negative ? 0u - value : value;
}

}  // namespace hp::kernel32
