// Dialog templates (RT_DIALOG resources) as the dialog manager reads them.
//
// Shared between the resource side (GDI helper: this parser, owned by the
// resources module) and the dialog code of user32 (DialogBoxParamA builds
// its windows from a DialogTemplate). Both the classic DLGTEMPLATE layout
// and DLGTEMPLATEEX (dlgVer 1, signature 0xFFFF) are read; texts are
// converted from the template's UTF-16 to CP932, the program's code page.
// Positions and sizes stay in dialog units.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/win32.h"

namespace hp::user32 {

// A field that is either absent, an ordinal (0xFFFF + WORD) or a string.
struct NameOrOrdinal {
    enum class Kind { None, Ordinal, Name };
    Kind kind = Kind::None;
    WORD ordinal = 0;
    std::string name;  // CP932

    bool isOrdinal(WORD value) const { return kind == Kind::Ordinal && ordinal == value; }
};

// Predefined control classes, as ordinals in a template.
constexpr WORD dialogClassButton = 0x0080;
constexpr WORD dialogClassEdit = 0x0081;
constexpr WORD dialogClassStatic = 0x0082;
constexpr WORD dialogClassListBox = 0x0083;
constexpr WORD dialogClassScrollBar = 0x0084;
constexpr WORD dialogClassComboBox = 0x0085;

struct DialogItemTemplate {
    DWORD helpId = 0;  // DLGTEMPLATEEX only
    DWORD style = 0;
    DWORD exStyle = 0;
    short x = 0;
    short y = 0;
    short cx = 0;
    short cy = 0;
    DWORD id = 0;  // 16 bits in the classic layout (IDC_STATIC reads 0xFFFF)
    NameOrOrdinal windowClass;
    NameOrOrdinal text;  // an ordinal names a resource (the icon of SS_ICON)
    std::vector<uint8_t> creationData;
};

struct DialogTemplate {
    bool extended = false;
    DWORD helpId = 0;
    DWORD style = 0;
    DWORD exStyle = 0;
    short x = 0;
    short y = 0;
    short cx = 0;
    short cy = 0;
    NameOrOrdinal menu;
    NameOrOrdinal windowClass;
    std::string title;  // CP932
    // Font, present when the style has DS_SETFONT.
    bool hasFont = false;
    WORD pointSize = 0;
    WORD weight = 0;   // DLGTEMPLATEEX only
    bool italic = false;
    BYTE charSet = 0;
    std::string faceName;  // CP932
    std::vector<DialogItemTemplate> items;
};

// Parses a template. False when the bytes end early or the item count does
// not fit; the output is then unspecified.
bool parseDialogTemplate(const void *bytes, size_t size, DialogTemplate &dialog);

}  // namespace hp::user32
