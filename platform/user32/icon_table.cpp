#include "platform/user32/icon_table.h"

#include "platform/user32/icon_pictures.h"

namespace hp::user32 {
namespace {

// The image of the icon's origin nearest the size, scaled to it; the icon's
// own picture scaled when it has no origin to go back to.
IconPicture iconAtSize(const IconObject &icon, int size)
{
    IconPicture picture;
    const IconOrigin &origin = icon.origin;
    bool found = false;
    if (origin.kind == IconOrigin::Kind::Resource) {
        const LPCSTR name = origin.name.empty() ? MAKEINTRESOURCEA(origin.ordinal) : origin.name.c_str();
        found = pictureFromResources(origin.instance, name, icon.picture.isCursor, size, size, picture);
    } else if (origin.kind == IconOrigin::Kind::File) {
        found = pictureFromFile(origin.name, icon.picture.isCursor, size, size, picture) ==
                ERROR_SUCCESS;
    }
    return scaledPicture(found ? picture : icon.picture, size, size);
}

}  // namespace

IconTable &iconTable()
{
    static IconTable table;
    return table;
}

HICON insertIcon(IconPicture picture, bool shared, IconOrigin origin)
{
    auto object = std::make_unique<IconObject>();
    object->picture = std::move(picture);
    object->shared = shared;
    object->origin = std::move(origin);
    return iconTable().insert(std::move(object));
}

IconOrigin resourceOrigin(HINSTANCE instance, LPCSTR name)
{
    IconOrigin origin;
    origin.kind = IconOrigin::Kind::Resource;
    origin.instance = instance;
    if (IS_INTRESOURCE(name))
        origin.ordinal = static_cast<WORD>(reinterpret_cast<uintptr_t>(name));
    else
        origin.name = name;
    return origin;
}

bool iconPicture(HICON handle, IconPicture &picture)
{
    IconObject *icon = iconTable().find(handle);
    if (!icon) {
        SetLastError(ERROR_INVALID_CURSOR_HANDLE);
        return false;
    }
    picture = icon->picture;
    return true;
}

std::vector<IconPicture> windowIconPictures(HICON icon, HICON smallIcon)
{
    const IconObject *big = iconTable().find(icon);
    const IconObject *small = iconTable().find(smallIcon);
    std::vector<IconPicture> pictures;
    if (small || big)
        pictures.push_back(iconAtSize(small ? *small : *big, windowSmallIconSize));
    if (big) {
        for (int size : windowLargeIconSizes)
            pictures.push_back(iconAtSize(*big, size));
    }
    return pictures;
}

DWORD liveIconCount() { return iconTable().count(); }

}  // namespace hp::user32
