// wsprintfA and wvsprintfA: the platform's own small format language, not
// the C library's. Conversions are %[-][#][0][width][.precision][size]type
// with the flags only in that order; sizes l h w I I32 I64; types c C d i s
// S u x X p. A precision of 0 means none; h does not narrow integers; an
// unknown type prints itself and uses no argument. The output holds at most
// 1023 characters and a terminator; when it is full the result is 1024.
#include <cstdarg>
#include <cstdint>
#include <cstring>
#include <string>

#include "platform/host/charset.h"
#include "platform/win32.h"

namespace {

constexpr unsigned outputCapacity = 1024;  // characters, terminator included

enum class Conversion { Unknown, Char, WideChar, String, WideString, Signed, Unsigned, Hex };

struct FormatField {
    bool leftAlign = false;
    bool hexPrefix = false;
    bool zeroPad = false;
    bool longSize = false;
    bool shortSize = false;
    bool wideSize = false;
    bool pointerSize = false;
    bool sixtyFourBit = false;
    bool upperHex = false;
    unsigned width = 0;
    unsigned precision = 0;
    Conversion conversion = Conversion::Unknown;
};

// Parses the text after '%'; returns the number of bytes it used. An
// unknown type character is not used: it is printed as ordinary text.
size_t parseField(const char *format, FormatField &field)
{
    const char *p = format;
    if (*p == '-') {
        field.leftAlign = true;
        ++p;
    }
    if (*p == '#') {
        field.hexPrefix = true;
        ++p;
    }
    if (*p == '0') {
        field.zeroPad = true;
        ++p;
    }
    while (*p >= '0' && *p <= '9')
        field.width = field.width * 10 + static_cast<unsigned>(*p++ - '0');
    if (*p == '.') {
        ++p;
        while (*p >= '0' && *p <= '9')
            field.precision = field.precision * 10 + static_cast<unsigned>(*p++ - '0');
    }
    if (*p == 'l') {
        field.longSize = true;
        ++p;
    } else if (*p == 'h') {
        field.shortSize = true;
        ++p;
    } else if (*p == 'w') {
        field.wideSize = true;
        ++p;
    } else if (*p == 'I') {
        if (p[1] == '6' && p[2] == '4') {
            field.sixtyFourBit = true;
            p += 3;
        } else if (p[1] == '3' && p[2] == '2') {
            p += 3;
        } else {
            field.pointerSize = true;
            ++p;
        }
    }
    switch (*p) {
    case 'c':
        field.conversion = field.longSize ? Conversion::WideChar : Conversion::Char;
        break;
    case 'C':
        field.conversion = field.shortSize ? Conversion::Char : Conversion::WideChar;
        break;
    case 'd':
    case 'i':
        field.conversion = Conversion::Signed;
        break;
    case 's':
        field.conversion =
            (field.longSize || field.wideSize) ? Conversion::WideString : Conversion::String;
        break;
    case 'S':
        field.conversion =
            (field.shortSize || field.wideSize) ? Conversion::String : Conversion::WideString;
        break;
    case 'u':
        field.conversion = Conversion::Unsigned;
        break;
    case 'p':
        field.width = 2 * sizeof(void *);
        field.zeroPad = true;
        field.pointerSize = true;
        field.upperHex = true;
        field.conversion = Conversion::Hex;
        break;
    case 'X':
        field.upperHex = true;
        field.conversion = Conversion::Hex;
        break;
    case 'x':
        field.conversion = Conversion::Hex;
        break;
    default:
        field.conversion = Conversion::Unknown;
        return static_cast<size_t>(p - format);
    }
    return static_cast<size_t>(p - format) + 1;
}

// One UTF-16 unit in CP932; units CP932 lacks (lone surrogates included)
// become '?'.
std::string cp932OfUnit(char16_t unit)
{
    if (unit == 0)
        return std::string(1, '\0');
    if (unit >= 0xD800 && unit <= 0xDFFF)
        return "?";
    std::string utf8;
    if (unit < 0x80) {
        utf8 += static_cast<char>(unit);
    } else if (unit < 0x800) {
        utf8 += static_cast<char>(0xC0 | (unit >> 6));
        utf8 += static_cast<char>(0x80 | (unit & 0x3F));
    } else {
        utf8 += static_cast<char>(0xE0 | (unit >> 12));
        utf8 += static_cast<char>(0x80 | ((unit >> 6) & 0x3F));
        utf8 += static_cast<char>(0x80 | (unit & 0x3F));
    }
    return hp::host::cp932FromUtf8(utf8);
}

// Collects the output, never past its capacity.
class Output {
public:
    explicit Output(char *buffer) : buffer_(buffer) {}

    unsigned room() const { return outputCapacity - 1 - length_; }
    bool full() const { return room() == 0; }

    void put(char c)
    {
        if (!full())
            buffer_[length_++] = c;
    }
    void put(const char *text, size_t count)
    {
        for (size_t i = 0; i < count; ++i)
            put(text[i]);
    }
    void repeat(char c, unsigned count)
    {
        for (unsigned i = 0; i < count; ++i)
            put(c);
    }
    unsigned finish()
    {
        buffer_[length_] = '\0';
        return length_;
    }

private:
    char *buffer_;
    unsigned length_ = 0;
};

void padded(Output &out, const FormatField &field, const std::string &body)
{
    // Width and text are first cut to the room left, so a right-aligned
    // text near the end still shows rather than its padding alone.
    unsigned width = field.width < out.room() ? field.width : out.room();
    unsigned length = static_cast<unsigned>(body.size());
    if (length > out.room())
        length = out.room();
    unsigned padding = width > length ? width - length : 0;
    if (!field.leftAlign)
        out.repeat(' ', padding);
    out.put(body.data(), body.size());
    if (field.leftAlign)
        out.repeat(' ', padding);
}

void formatNumber(Output &out, FormatField field, int64_t value)
{
    static const char lowerDigits[] = "0123456789abcdef";
    static const char upperDigits[] = "0123456789ABCDEF";
    const char *digits = field.upperHex ? upperDigits : lowerDigits;
    unsigned base = field.conversion == Conversion::Hex ? 16 : 10;

    bool negative = field.conversion == Conversion::Signed && value < 0;
    uint64_t magnitude = negative ? 0 - static_cast<uint64_t>(value) : static_cast<uint64_t>(value);
    if (field.pointerSize)
        magnitude = static_cast<uintptr_t>(magnitude);
    else if (!field.sixtyFourBit)
        magnitude = static_cast<uint32_t>(magnitude);

    std::string number;
    do {
        number.insert(number.begin(), digits[magnitude % base]);
        magnitude /= base;
    } while (magnitude != 0);

    // The sign counts toward the precision, as on the platform: "%.5d" of
    // -42 is "-0042".
    unsigned length = static_cast<unsigned>(number.size()) + (negative ? 1 : 0);
    if (field.leftAlign)
        field.zeroPad = false;
    unsigned width = field.width < out.room() ? field.width : out.room();
    unsigned precision = field.precision > length ? field.precision : length;
    if (field.zeroPad && width > precision)
        precision = width;
    bool prefix = field.hexPrefix && field.conversion == Conversion::Hex;

    if (!field.leftAlign)
        out.repeat(' ', width > precision ? width - precision : 0);
    if (prefix) {
        out.put('0');
        out.put(field.upperHex ? 'X' : 'x');
    }
    if (negative)
        out.put('-');
    out.repeat('0', precision - length);
    out.put(number.data(), number.size());
    if (field.leftAlign)
        out.repeat(' ', width > precision ? width - precision : 0);
}

}  // namespace

int WINAPI wvsprintfA(LPSTR buffer, LPCSTR format, va_list arguments)
{
    if (!buffer)
        return 0;
    Output out(buffer);
    if (!format)
        return static_cast<int>(out.finish());

    va_list args;
    va_copy(args, arguments);
    const char *p = format;
    while (*p && !out.full()) {
        if (*p != '%') {
            out.put(*p++);
            continue;
        }
        ++p;
        if (*p == '%') {
            out.put(*p++);
            continue;
        }
        FormatField field;
        p += parseField(p, field);
        switch (field.conversion) {
        case Conversion::Unknown:
            // The platform pads even a conversion it does not know; the
            // character itself then prints as text.
            if (!field.leftAlign)
                out.repeat(' ', field.width < out.room() ? field.width : out.room());
            break;
        case Conversion::Char: {
            char c = static_cast<char>(va_arg(args, int));
            padded(out, field, std::string(1, c));
            break;
        }
        case Conversion::WideChar: {
            char16_t unit = static_cast<char16_t>(va_arg(args, int));
            padded(out, field, cp932OfUnit(unit));
            break;
        }
        case Conversion::String: {
            const char *text = va_arg(args, const char *);
            if (!text)
                text = "(null)";
            // With a precision the text need not be terminated within it.
            size_t length = field.precision ? strnlen(text, field.precision) : std::strlen(text);
            padded(out, field, std::string(text, length));
            break;
        }
        case Conversion::WideString: {
            const char16_t *text = va_arg(args, const char16_t *);
            static const char16_t nullText[] = u"(null)";
            if (!text)
                text = nullText;
            // The precision counts CP932 bytes and may cut a character.
            std::string converted;
            for (; *text; ++text) {
                if (field.precision && converted.size() >= field.precision)
                    break;
                converted += cp932OfUnit(*text);
            }
            if (field.precision && converted.size() > field.precision)
                converted.resize(field.precision);
            padded(out, field, converted);
            break;
        }
        case Conversion::Signed:
        case Conversion::Unsigned:
        case Conversion::Hex: {
            int64_t value;
            if (field.pointerSize)
                value = static_cast<int64_t>(va_arg(args, intptr_t));
            else if (field.sixtyFourBit)
                value = va_arg(args, long long);
            else
                value = va_arg(args, int);
            formatNumber(out, field, value);
            break;
        }
        }
    }
    va_end(args);
    unsigned length = out.finish();
    return length == outputCapacity - 1 ? static_cast<int>(outputCapacity)
                                        : static_cast<int>(length);
}

int WINAPIV wsprintfA(LPSTR buffer, LPCSTR format, ...)
{
    va_list arguments;
    va_start(arguments, format);
    int length = wvsprintfA(buffer, format, arguments);
    va_end(arguments);
    return length;
}
