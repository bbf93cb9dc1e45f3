#include "platform/winmm/mci_type_names.h"

#include <string>

#include "platform/kernel32/cp932_text.h"
#include "platform/winmm/mci_driver.h"

namespace hp::winmm {
namespace {

struct ExtensionEntry {
    const char *extension;
    const char *deviceType;
};

// The platform's default "MCI Extensions" table, with the canonical
// lower-case names of the types.
constexpr ExtensionEntry extensionTable[] = {
    {"aif", "mpegvideo"},  {"aifc", "mpegvideo"}, {"aiff", "mpegvideo"}, {"asf", "mpegvideo"},
    {"asx", "mpegvideo"},  {"au", "mpegvideo"},   {"avi", "avivideo"},   {"cda", "cdaudio"},
    {"m1v", "mpegvideo"},  {"m3u", "mpegvideo"},  {"mid", "sequencer"},  {"midi", "sequencer"},
    {"mp2", "mpegvideo"},  {"mp2v", "mpegvideo"}, {"mp3", "mpegvideo"},  {"mpa", "mpegvideo"},
    {"mpe", "mpegvideo"},  {"mpeg", "mpegvideo"}, {"mpg", "mpegvideo"},  {"mpv2", "mpegvideo"},
    {"rmi", "sequencer"},  {"snd", "mpegvideo"},  {"wav", "waveaudio"},  {"wax", "mpegvideo"},
    {"wm", "mpegvideo"},   {"wma", "mpegvideo"},  {"wmv", "mpegvideo"},  {"wmx", "mpegvideo"},
    {"wpl", "mpegvideo"},  {"wvx", "mpegvideo"},
};

// Indexed by MCI_DEVTYPE_* - MCI_DEVTYPE_FIRST.
constexpr const char *devTypeNames[] = {
    "vcr",     "videodisc",    "overlay", "cdaudio",   "dat",       "scanner",
    "animation", "digitalvideo", "other", "waveaudio", "sequencer",
};

}  // namespace

std::string deviceTypeForElement(const std::string &element)
{
    // A dot cannot be the second byte of a double-byte character, so the last
    // one found byte-wise is the last one of the text.
    const size_t dot = element.rfind('.');
    if (dot == std::string::npos)
        return {};
    const std::string_view extension = std::string_view(element).substr(dot + 1);
    for (const ExtensionEntry &entry : extensionTable) {
        if (kernel32::equalIgnoringAsciiCase(extension, entry.extension))
            return entry.deviceType;
    }
    return {};
}

UINT mciDevTypeOfName(std::string_view typeName)
{
    if (kernel32::equalIgnoringAsciiCase(typeName, "mpegvideo") ||
        kernel32::equalIgnoringAsciiCase(typeName, "avivideo"))
        return MCI_DEVTYPE_DIGITAL_VIDEO;
    for (UINT devType = MCI_DEVTYPE_FIRST; devType <= MCI_DEVTYPE_LAST; ++devType) {
        if (kernel32::equalIgnoringAsciiCase(typeName, devTypeNames[devType - MCI_DEVTYPE_FIRST]))
            return devType;
    }
    return MCI_DEVTYPE_OTHER;
}

const char *mciTypeNameOfDevType(UINT devType)
{
    if (devType < MCI_DEVTYPE_FIRST || devType > MCI_DEVTYPE_LAST)
        return nullptr;
    return devTypeNames[devType - MCI_DEVTYPE_FIRST];
}

}  // namespace hp::winmm
