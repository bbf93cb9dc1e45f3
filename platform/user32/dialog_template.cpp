#include "platform/user32/dialog_template.h"

#include <algorithm>

#include "platform/host/charset.h"
#include "platform/kernel32/little_endian.h"

namespace hp::user32 {

namespace {

constexpr DWORD dsShellFont = DS_SETFONT | DS_FIXEDSYS;
// The smallest control: styles, box, a 16-bit id, empty class and text, no
// creation data.
constexpr size_t minItemBytes = 24;

class TemplateReader {
public:
    TemplateReader(const void *bytes, size_t size)
        : begin_(static_cast<const uint8_t *>(bytes)), size_(bytes ? size : 0)
    {
    }

    bool failed() const { return failed_; }

    WORD word()
    {
        if (!need(2))
            return 0;
        WORD value = kernel32::readLe16(begin_ + offset_);
        offset_ += 2;
        return value;
    }
    DWORD dword()
    {
        DWORD low = word();
        DWORD high = word();
        return low | (high << 16);
    }
    short signedWord() { return static_cast<short>(word()); }
    BYTE byte()
    {
        if (!need(1))
            return 0;
        return begin_[offset_++];
    }

    std::string string()
    {
        std::u16string text;
        for (;;) {
            WORD c = word();
            if (failed_ || c == 0)
                break;
            text.push_back(static_cast<char16_t>(c));
        }
        return cp932FromUtf16(text);
    }

    NameOrOrdinal nameOrOrdinal()
    {
        NameOrOrdinal field;
        if (!need(2))
            return field;
        WORD first = kernel32::readLe16(begin_ + offset_);
        if (first == 0) {
            offset_ += 2;
            return field;
        }
        if (first == 0xFFFF) {
            offset_ += 2;
            field.kind = NameOrOrdinal::Kind::Ordinal;
            field.ordinal = word();
            return field;
        }
        field.kind = NameOrOrdinal::Kind::Name;
        field.name = string();
        return field;
    }

    void alignToDword() { offset_ = (offset_ + 3) & ~static_cast<size_t>(3); }

    std::vector<uint8_t> bytes(size_t count)
    {
        if (!need(count))
            return {};
        std::vector<uint8_t> data(begin_ + offset_, begin_ + offset_ + count);
        offset_ += count;
        return data;
    }

private:
    bool need(size_t count)
    {
        if (failed_ || offset_ > size_ || size_ - offset_ < count) {
            failed_ = true;
            return false;
        }
        return true;
    }

    static std::string cp932FromUtf16(const std::u16string &text)
    {
        std::string utf8;
        for (size_t i = 0; i < text.size(); ++i) {
            char32_t c = text[i];
            if (c >= 0xD800 && c <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
                text[i + 1] <= 0xDFFF) {
                c = 0x10000 + ((c - 0xD800) << 10) + (text[i + 1] - 0xDC00);
                ++i;
            } else if (c >= 0xD800 && c <= 0xDFFF) {
                c = 0xFFFD;
            }
            if (c < 0x80) {
                utf8.push_back(static_cast<char>(c));
            } else if (c < 0x800) {
                utf8.push_back(static_cast<char>(0xC0 | (c >> 6)));
                utf8.push_back(static_cast<char>(0x80 | (c & 0x3F)));
            } else if (c < 0x10000) {
                utf8.push_back(static_cast<char>(0xE0 | (c >> 12)));
                utf8.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
                utf8.push_back(static_cast<char>(0x80 | (c & 0x3F)));
            } else {
                utf8.push_back(static_cast<char>(0xF0 | (c >> 18)));
                utf8.push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
                utf8.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
                utf8.push_back(static_cast<char>(0x80 | (c & 0x3F)));
            }
        }
        return host::cp932FromUtf8(utf8);
    }

    const uint8_t *begin_;
    size_t size_;
    size_t offset_ = 0;
    bool failed_ = false;
};

}  // namespace

bool parseDialogTemplate(const void *bytes, size_t size, DialogTemplate &dialog)
{
    dialog = DialogTemplate{};
    TemplateReader reader(bytes, size);

    WORD itemCount = 0;
    const WORD first = reader.word();
    const WORD second = reader.word();
    if (first == 1 && second == 0xFFFF) {
        dialog.extended = true;
        dialog.helpId = reader.dword();
        dialog.exStyle = reader.dword();
        dialog.style = reader.dword();
    } else {
        dialog.style = first | (static_cast<DWORD>(second) << 16);
        dialog.exStyle = reader.dword();
    }
    itemCount = reader.word();
    dialog.x = reader.signedWord();
    dialog.y = reader.signedWord();
    dialog.cx = reader.signedWord();
    dialog.cy = reader.signedWord();
    dialog.menu = reader.nameOrOrdinal();
    dialog.windowClass = reader.nameOrOrdinal();
    dialog.title = reader.string();
    if (dialog.style & (dialog.extended ? dsShellFont : DS_SETFONT)) {
        dialog.hasFont = true;
        dialog.pointSize = reader.word();
        if (dialog.extended) {
            dialog.weight = reader.word();
            dialog.italic = reader.byte() != 0;
            dialog.charSet = reader.byte();
        }
        dialog.faceName = reader.string();
    }
    if (reader.failed())
        return false;

    // The count is the template's word: room is kept only for the controls
    // its bytes can hold.
    dialog.items.reserve(std::min<size_t>(itemCount, size / minItemBytes));
    for (WORD i = 0; i < itemCount; ++i) {
        reader.alignToDword();
        DialogItemTemplate item;
        if (dialog.extended) {
            item.helpId = reader.dword();
            item.exStyle = reader.dword();
            item.style = reader.dword();
        } else {
            item.style = reader.dword();
            item.exStyle = reader.dword();
        }
        item.x = reader.signedWord();
        item.y = reader.signedWord();
        item.cx = reader.signedWord();
        item.cy = reader.signedWord();
        item.id = dialog.extended ? reader.dword() : reader.word();
        item.windowClass = reader.nameOrOrdinal();
        item.text = reader.nameOrOrdinal();
        WORD extra = reader.word();
        if (extra) {
            // The count is the size of the data after the count word.
            item.creationData = reader.bytes(extra);
        }
        if (reader.failed())
            return false;
        dialog.items.push_back(std::move(item));
    }
    return true;
}

}  // namespace hp::user32
