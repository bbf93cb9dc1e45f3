// Decoding of icon and cursor directories: .ico and .cur files, and the
// RT_GROUP_ICON / RT_GROUP_CURSOR resources whose entries name RT_ICON /
// RT_CURSOR images. Each image is a DIB in the icon layout (colour image,
// then its AND mask); PNG-compressed images are not read, and the next best
// entry is taken instead. Every failure is a clean false: a truncated or
// hostile directory never reads outside its bytes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>

#include "platform/user32/image.h"
#include "platform/win32.h"

namespace hp::user32 {

enum class IconDirectoryLayout {
    File,           // 16-byte entries; each image lies in the file itself
    ResourceGroup,  // 14-byte entries; each names an image resource by id
};

// One entry of a directory. Sizes stored in a byte read 0 as 256.
struct IconDirectoryEntry {
    int width = 0;
    int height = 0;
    int bitCount = 0;
    POINT hotspot{0, 0};  // cursor files only
    uint32_t size = 0;
    uint32_t offset = 0;  // file layout: where the image is
    WORD resourceId = 0;  // resource groups: the RT_ICON/RT_CURSOR id
};

// Where an entry's image bytes are; false when the image is missing. The
// bytes must stay valid until decodeIconDirectory returns.
using IconImageBytes =
    std::function<bool(const IconDirectoryEntry &entry, const uint8_t *&data, size_t &size)>;

// Reads a directory (type 1 for icons, 2 for cursors) and decodes the entry
// the platform would choose for the wanted size: the nearest size, then the
// deepest colour. When that image is missing or unreadable, the next best
// is tried. Cursor images of resource groups start with their hot spot. On
// failure, picture is left as it was.
bool decodeIconDirectory(const uint8_t *bytes, size_t size, IconDirectoryLayout layout,
                         bool cursor, int wantedWidth, int wantedHeight,
                         const IconImageBytes &imageBytes, IconPicture &picture);

// A whole .ico or .cur file.
bool decodeIconFile(const uint8_t *bytes, size_t size, bool cursor, int wantedWidth,
                    int wantedHeight, IconPicture &picture);

}  // namespace hp::user32
