#include "platform/user32/icon_pictures.h"

#include <vector>

#include "platform/kernel32/host_file_read.h"
#include "platform/user32/ico_decoder.h"
#include "platform/user32/resources.h"

namespace hp::user32 {
namespace {

constexpr size_t maxIconFileBytes = 16 * 1024 * 1024;

}  // namespace

bool pictureFromResources(HINSTANCE instance, LPCSTR name, bool cursor, int wantedWidth,
                          int wantedHeight, IconPicture &picture)
{
    ResourceBytes group;
    const WORD groupType = cursor ? resourceTypeGroupCursor : resourceTypeGroupIcon;
    if (!findResource(instance, MAKEINTRESOURCEA(groupType), name, group))
        return false;
    const WORD imageType = cursor ? resourceTypeCursor : resourceTypeIcon;
    auto imageResource = [&](const IconDirectoryEntry &entry, const uint8_t *&data, size_t &size) {
        ResourceBytes image;
        if (!findResource(instance, MAKEINTRESOURCEA(imageType), MAKEINTRESOURCEA(entry.resourceId),
                          image))
            return false;
        data = static_cast<const uint8_t *>(image.data);
        size = image.size;
        return true;
    };
    if (!decodeIconDirectory(static_cast<const uint8_t *>(group.data), group.size,
                             IconDirectoryLayout::ResourceGroup, cursor, wantedWidth, wantedHeight,
                             imageResource, picture)) {
        SetLastError(ERROR_RESOURCE_DATA_NOT_FOUND);
        return false;
    }
    return true;
}

DWORD pictureFromFile(const std::string &hostPath, bool cursor, int wantedWidth, int wantedHeight,
                      IconPicture &picture)
{
    std::vector<uint8_t> bytes;
    const DWORD error = kernel32::readHostFile(hostPath, maxIconFileBytes, bytes);
    if (error != ERROR_SUCCESS)
        return error;
    if (!decodeIconFile(bytes.data(), bytes.size(), cursor, wantedWidth, wantedHeight, picture))
        return ERROR_INVALID_PARAMETER;
    return ERROR_SUCCESS;
}

// The system's arrow pointer, drawn from a mask: '#' black, '.' white.
IconPicture stockArrow()
{
    static const char *const shape[] = {
        "#",
        "##",
        "#.#",
        "#..#",
        "#...#",
        "#....#",
        "#.....#",
        "#......#",
        "#.......#",
        "#........#",
        "#.........#",
        "#..........#",
        "#......#####",
        "#...#..#",
        "#..##..#",
        "#.#  #..#",
        "##   #..#",
        "#     #..#",
        "      #..#",
        "       ##",
    };
    IconPicture picture;
    picture.width = cursorSizePixels;
    picture.height = cursorSizePixels;
    picture.isCursor = true;
    picture.argb.assign(static_cast<size_t>(cursorSizePixels) * cursorSizePixels, 0);
    for (size_t y = 0; y < sizeof shape / sizeof shape[0]; ++y)
        for (size_t x = 0; shape[y][x]; ++x) {
            const char c = shape[y][x];
            if (c == '#')
                picture.argb[y * cursorSizePixels + x] = 0xFF000000;
            else if (c == '.')
                picture.argb[y * cursorSizePixels + x] = 0xFFFFFFFF;
        }
    return picture;
}

// The system's application icon: a small window.
IconPicture stockApplicationIcon()
{
    IconPicture picture;
    picture.width = iconSizePixels;
    picture.height = iconSizePixels;
    picture.argb.assign(static_cast<size_t>(iconSizePixels) * iconSizePixels, 0);
    for (int y = 3; y < 29; ++y)
        for (int x = 2; x < 30; ++x) {
            const bool frame = x == 2 || x == 29 || y == 3 || y == 28;
            const bool title = y > 3 && y < 9;
            picture.argb[y * iconSizePixels + x] =
                frame ? 0xFF000000 : (title ? 0xFF0040A0 : 0xFFFFFFFF);
        }
    return picture;
}

IconPicture scaledPicture(const IconPicture &source, int width, int height)
{
    if ((width == source.width && height == source.height) || width <= 0 || height <= 0)
        return source;
    IconPicture result = source;
    result.width = width;
    result.height = height;
    result.argb.assign(static_cast<size_t>(width) * height, 0);
    for (int y = 0; y < height; ++y) {
        const int sy = static_cast<int>((int64_t(2 * y + 1) * source.height) / (2 * int64_t(height)));
        for (int x = 0; x < width; ++x) {
            const int sx = static_cast<int>((int64_t(2 * x + 1) * source.width) / (2 * int64_t(width)));
            result.argb[static_cast<size_t>(y) * width + x] =
                source.argb[static_cast<size_t>(sy) * source.width + sx];
        }
    }
    result.hotspot.x = source.width ? source.hotspot.x * width / source.width : 0;
    result.hotspot.y = source.height ? source.hotspot.y * height / source.height : 0;
    return result;
}

}  // namespace hp::user32
