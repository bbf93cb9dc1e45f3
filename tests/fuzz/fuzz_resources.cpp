// The resource reader on arbitrary .res images: what it finds lies inside
// the image, a miss says whether the type or the name was missing, and the
// icon and cursor groups, dialog templates and bitmaps it finds are read
// as the loaders read them.
#include <climits>
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "platform/gdi32/bmp_decoder.h"
#include "platform/user32/dialog_template.h"
#include "platform/user32/ico_decoder.h"
#include "platform/user32/resources.h"
#include "platform/win32.h"

namespace {

using hp::user32::ResourceBytes;

void require(bool condition)
{
    if (!condition)
        std::abort();
}

struct Image {
    const uint8_t *data;
    size_t size;

    bool find(WORD type, LPCSTR name, ResourceBytes &bytes) const
    {
        return find(MAKEINTRESOURCEA(type), name, bytes);
    }

    bool find(LPCSTR type, LPCSTR name, ResourceBytes &bytes) const
    {
        SetLastError(ERROR_SUCCESS);
        if (hp::user32::findResourceIn(data, size, type, name, bytes)) {
            const auto *found = static_cast<const uint8_t *>(bytes.data);
            require(found >= data && found <= data + size);
            require(bytes.size <= static_cast<size_t>(data + size - found));
            return true;
        }
        const DWORD error = GetLastError();
        require(error == ERROR_RESOURCE_NAME_NOT_FOUND || error == ERROR_RESOURCE_TYPE_NOT_FOUND ||
                (!name && error == ERROR_INVALID_PARAMETER));  // an entry naming id 0
        return false;
    }
};

void readIconGroup(const Image &image, bool cursor)
{
    using hp::user32::IconDirectoryEntry;
    ResourceBytes group;
    const WORD groupType =
        cursor ? hp::user32::resourceTypeGroupCursor : hp::user32::resourceTypeGroupIcon;
    if (!image.find(groupType, MAKEINTRESOURCEA(cursor ? 1 : 101), group))
        return;
    const WORD imageType = cursor ? hp::user32::resourceTypeCursor : hp::user32::resourceTypeIcon;
    auto imageResource = [&](const IconDirectoryEntry &entry, const uint8_t *&data, size_t &size) {
        ResourceBytes bytes;
        if (!image.find(imageType, MAKEINTRESOURCEA(entry.resourceId), bytes))
            return false;
        data = static_cast<const uint8_t *>(bytes.data);
        size = bytes.size;
        return true;
    };
    hp::user32::IconPicture picture;
    if (hp::user32::decodeIconDirectory(static_cast<const uint8_t *>(group.data), group.size,
                                        hp::user32::IconDirectoryLayout::ResourceGroup, cursor,
                                        32, 32, imageResource, picture))
        require(picture.argb.size() == static_cast<size_t>(picture.width) * picture.height);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const Image image{data, size};
    readIconGroup(image, false);
    readIconGroup(image, true);

    ResourceBytes bytes;
    if (image.find(hp::user32::resourceTypeDialog, MAKEINTRESOURCEA(106), bytes)) {
        hp::user32::DialogTemplate dialog;
        hp::user32::parseDialogTemplate(bytes.data, bytes.size, dialog);
    }
    constexpr WORD resourceTypeBitmap = 2;
    if (image.find(resourceTypeBitmap, MAKEINTRESOURCEA(1), bytes)) {
        hp::gdi32::DecodedImage bitmap;
        hp::gdi32::decodeDib(static_cast<const uint8_t *>(bytes.data), bytes.size, bitmap, 0,
                             nullptr, 1 << 14);  // bigger pictures only take longer
    }
    // Names by string, whatever their case, and ordinals written as "#n".
    image.find("skin", "HOLLY", bytes);
    image.find("#5", "#106", bytes);
    return 0;
}
