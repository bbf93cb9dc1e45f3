// Dialog templates on arbitrary bytes: a template that reads holds the
// controls it counts, each text is a C string in the program's code page,
// and no creation data is longer than the template.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "platform/user32/dialog_template.h"

namespace {

void require(bool condition)
{
    if (!condition)
        std::abort();
}

void requireText(const std::string &text) { require(text.find('\0') == std::string::npos); }

void requireField(const hp::user32::NameOrOrdinal &field)
{
    requireText(field.name);
    require(field.kind == hp::user32::NameOrOrdinal::Kind::Name || field.name.empty());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    // The program's template is a few hundred bytes; a longer one holds more
    // controls, each read the same way, and only takes longer.
    if (size > 1024)
        return 0;
    hp::user32::DialogTemplate dialog;
    if (!hp::user32::parseDialogTemplate(data, size, dialog))
        return 0;
    // The count sits after the styles: at byte 8 of a classic template,
    // at byte 16 of an extended one.
    const size_t countAt = dialog.extended ? 16 : 8;
    require(size >= countAt + 2);
    require(dialog.items.size() == static_cast<size_t>(data[countAt] | (data[countAt + 1] << 8)));
    requireField(dialog.menu);
    requireField(dialog.windowClass);
    requireText(dialog.title);
    requireText(dialog.faceName);
    for (const hp::user32::DialogItemTemplate &item : dialog.items) {
        requireField(item.windowClass);
        requireField(item.text);
        require(item.creationData.size() < size);
    }
    return 0;
}
