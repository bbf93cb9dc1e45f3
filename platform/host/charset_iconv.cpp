// CP932 <-> UTF-8 through glibc's iconv, whose "CP932" table is Microsoft's
// (0x5C is the backslash, 0x815F the full-width reverse solidus, 0x8160 the
// wave dash U+FF5E...).
#include "platform/host/charset.h"
#include "platform/host/user_characters.h"
#include "platform/host/utf8.h"
#include "platform/kernel32/cp932_text.h"

#include <iconv.h>

#include <cerrno>
#include <cstdint>

namespace hp::host {
namespace {

constexpr unsigned char escapeByte = 0xFF;

// One iconv descriptor per direction, owned for the life of the process.
// iconv descriptors are not thread-safe: conversions happen on the GUI
// thread, and the one-character helpers below reset state on every call.
class Converter {
public:
    Converter(const char *to, const char *from) : handle_(iconv_open(to, from)) {}
    ~Converter()
    {
        if (valid())
            iconv_close(handle_);
    }
    Converter(const Converter &) = delete;
    Converter &operator=(const Converter &) = delete;

    bool valid() const { return handle_ != reinterpret_cast<iconv_t>(-1); }

    // Converts all of input; false when some byte sequence is invalid or
    // unmappable. output receives the converted text.
    bool convert(std::string_view input, std::string &output)
    {
        output.clear();
        if (!valid())
            return false;
        iconv(handle_, nullptr, nullptr, nullptr, nullptr);
        char *in = const_cast<char *>(input.data());
        size_t inLeft = input.size();
        char buffer[256];
        while (inLeft > 0) {
            char *out = buffer;
            size_t outLeft = sizeof buffer;
            size_t result = iconv(handle_, &in, &inLeft, &out, &outLeft);
            output.append(buffer, static_cast<size_t>(out - buffer));
            if (result == static_cast<size_t>(-1) && errno != E2BIG)
                return false;
        }
        char *out = buffer;
        size_t outLeft = sizeof buffer;
        iconv(handle_, nullptr, nullptr, &out, &outLeft);
        output.append(buffer, static_cast<size_t>(out - buffer));
        return true;
    }

private:
    iconv_t handle_;
};

Converter &toUtf8()
{
    static Converter converter("UTF-8", "CP932");
    return converter;
}

Converter &toCp932()
{
    static Converter converter("CP932", "UTF-8");
    return converter;
}

bool isRefusedInNames(char c)
{
    return static_cast<unsigned char>(c) < 0x20 || c == '\\' || c == '<' || c == '>' ||
           c == ':' || c == '"' || c == '|' || c == '?' || c == '*';
}

bool isStrippedAtEnd(char c) { return c == '.' || c == ' '; }

int hexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

// The escape byte, the kind ('B' or 'U') and the value in upper-case hex,
// `digits` wide. Names are escaped byte by byte, so this stays clear of
// printf and its cost per call.
void appendEscape(std::string &out, char kind, uint32_t value, int digits)
{
    out += static_cast<char>(escapeByte);
    out += kind;
    for (int shift = 4 * (digits - 1); shift >= 0; shift -= 4)
        out += "0123456789ABCDEF"[(value >> shift) & 0xF];
}

bool parseHex(std::string_view digits, uint32_t &value)
{
    value = 0;
    for (char c : digits) {
        int v = hexValue(c);
        if (v < 0)
            return false;
        value = value * 16 + static_cast<uint32_t>(v);
    }
    return true;
}

// The CP932 bytes of one character of a file name, or "" when CP932 has no
// such character. A CP932 form that does not convert back to the same UTF-8
// (the NEC/IBM duplicates) does not count: the name must come back exactly.
// Nor does one in the user-defined area: its codes are the user's table's.
std::string cp932CharacterOf(std::string_view utf8Character)
{
    std::string cp932;
    if (!toCp932().convert(utf8Character, cp932) || cp932.empty() ||
        UserCharacters::isUserDefinedLeadByte(static_cast<unsigned char>(cp932[0])))
        return {};
    std::string back;
    if (!toUtf8().convert(cp932, back) || back != utf8Character)
        return {};
    return cp932;
}

// The character of a user-defined code at cp932[i] (a lead byte 0xF0-0xF9
// and the byte after it), or 0 when the user's table has none.
char32_t userCharacterAt(std::string_view cp932, size_t i)
{
    if (i + 1 >= cp932.size() ||
        !UserCharacters::isUserDefinedLeadByte(static_cast<unsigned char>(cp932[i])))
        return 0;
    const auto code = static_cast<uint16_t>(static_cast<unsigned char>(cp932[i]) << 8 |
                                            static_cast<unsigned char>(cp932[i + 1]));
    return userCharacters().characterOf(code);
}

}  // namespace

std::string utf8FromCp932(std::string_view cp932)
{
    std::string out;
    size_t i = 0;
    while (i < cp932.size()) {
        unsigned char byte = static_cast<unsigned char>(cp932[i]);
        if (byte < 0x80) {  // ASCII reads the same in both, as hostNameFromCp932 takes it
            out += static_cast<char>(byte);
            ++i;
            continue;
        }
        size_t length = kernel32::cp932CharacterLength(cp932, i);
        std::string piece;
        if (char32_t character = userCharacterAt(cp932, i)) {
            utf8::append(character, out);
        } else if (toUtf8().convert(cp932.substr(i, length), piece)) {
            out += piece;
        } else {
            out += "\xEF\xBF\xBD";  // U+FFFD
        }
        i += length;
    }
    return out;
}

std::string cp932FromUtf8(std::string_view utf8)
{
    std::string out;
    size_t i = 0;
    while (i < utf8.size()) {
        char32_t scalar = 0;
        size_t length = hp::utf8::sequenceAt(utf8, i, scalar);
        if (length == 0) {
            out += '?';
            ++i;
            continue;
        }
        std::string piece;
        if (length == 1)
            piece.assign(1, utf8[i]);
        else if (!toCp932().convert(utf8.substr(i, length), piece) || piece.empty())
            piece = "?";
        out += piece;
        i += length;
    }
    return out;
}

std::string hostNameToCp932(std::string_view hostName)
{
    std::string out;
    size_t i = 0;
    while (i < hostName.size()) {
        char32_t scalar = 0;
        size_t length = utf8::sequenceAt(hostName, i, scalar);
        if (length == 0) {
            appendEscape(out, 'B', static_cast<unsigned char>(hostName[i]), 2);
            ++i;
            continue;
        }
        // A backslash is an ordinary character in a host name but a
        // separator in ours, so it is escaped like a missing character; so
        // are the characters the platform refuses in names, and a final
        // period or space, which its path rules would strip.
        std::string piece;
        bool last = i + length == hostName.size();
        if (length > 1) {
            piece = cp932CharacterOf(hostName.substr(i, length));
            const uint16_t code = piece.empty() ? userCharacters().codeOf(scalar) : 0;
            if (code != 0) {
                piece += static_cast<char>(code >> 8);
                piece += static_cast<char>(code & 0xFF);
            }
        } else if (!isRefusedInNames(hostName[i]) && !(last && isStrippedAtEnd(hostName[i])))
            piece.assign(1, hostName[i]);
        if (piece.empty()) {
            appendEscape(out, 'U', static_cast<uint32_t>(scalar), 6);
        } else {
            out += piece;
        }
        i += length;
    }
    return out;
}

bool hostNameFromCp932(std::string_view cp932, std::string &hostName)
{
    hostName.clear();
    size_t i = 0;
    while (i < cp932.size()) {
        unsigned char byte = static_cast<unsigned char>(cp932[i]);
        if (byte == escapeByte) {
            uint32_t value = 0;
            if (i + 4 <= cp932.size() && cp932[i + 1] == 'B' &&
                parseHex(cp932.substr(i + 2, 2), value)) {
                hostName += static_cast<char>(value);
                i += 4;
                continue;
            }
            if (i + 8 <= cp932.size() && cp932[i + 1] == 'U' &&
                parseHex(cp932.substr(i + 2, 6), value) && value <= 0x10FFFF &&
                !(value >= 0xD800 && value <= 0xDFFF)) {
                utf8::append(value, hostName);
                i += 8;
                continue;
            }
            return false;
        }
        if (byte < 0x80) {
            hostName += static_cast<char>(byte);
            ++i;
            continue;
        }
        size_t length = kernel32::isCp932LeadByte(byte) ? 2 : 1;
        if (i + length > cp932.size())
            return false;
        if (UserCharacters::isUserDefinedLeadByte(byte)) {
            const char32_t character = userCharacterAt(cp932, i);
            if (character == 0)
                return false;
            utf8::append(character, hostName);
            i += length;
            continue;
        }
        std::string piece;
        if (!toUtf8().convert(cp932.substr(i, length), piece))
            return false;
        hostName += piece;
        i += length;
    }
    return true;
}

}  // namespace hp::host
