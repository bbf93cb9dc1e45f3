// LoadImageA, LoadIconA, LoadCursorA, DestroyIcon, DestroyCursor and
// DrawIconEx: bitmaps from files (through the decoded-image cache) and from
// the program's resources; icons and cursors from .ico/.cur files and from
// RT_GROUP_ICON/RT_GROUP_CURSOR resources (decoded by ico_decoder).
#include "platform/user32/image.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <map>
#include <memory>
#include <string>
#include <tuple>

#include "platform/gdi32/bmp_decoder.h"
#include "platform/gdi32/gdi_access.h"
#include "platform/gdi32/image_cache.h"
#include "platform/kernel32/path_model.h"
#include "platform/user32/ico_decoder.h"
#include "platform/user32/resources.h"

namespace hp::user32 {

namespace {

constexpr int systemIconSize = 32;    // SM_CXICON, SM_CYICON
constexpr int systemCursorSize = 32;  // SM_CXCURSOR, SM_CYCURSOR
constexpr WORD resourceTypeBitmap = 2;
constexpr size_t maxIconFileBytes = 16 * 1024 * 1024;
constexpr WORD stockArrowId = 32512;  // IDC_ARROW, IDI_APPLICATION

// Where an icon's picture came from, so that the icon can be had at other
// sizes from the same directory, as the platform does for a window's icons.
struct IconOrigin {
    enum class Kind { Made, Resource, File };
    Kind kind = Kind::Made;
    HINSTANCE instance = nullptr;
    std::string name;      // Resource: a string name; File: the host path
    WORD ordinal = 0;      // Resource: the id, when the name is an integer
};

struct IconObject {
    IconPicture picture;
    bool shared = false;  // LoadIconA, LoadCursorA, LR_SHARED: DestroyIcon leaves it
    IconOrigin origin;
};

// Icon handles: odd values from 0x20000001 up, so they never meet the even
// handles of windows and menus, integer resource ids or GDI handles.
class IconTable {
public:
    HICON insert(std::unique_ptr<IconObject> icon)
    {
        uintptr_t value = 0x20000001 + 2 * uintptr_t(next_++);
        auto handle = reinterpret_cast<HICON>(value);
        icons_[value] = std::move(icon);
        return handle;
    }
    IconObject *find(HICON handle)
    {
        auto it = icons_.find(reinterpret_cast<uintptr_t>(handle));
        return it == icons_.end() ? nullptr : it->second.get();
    }
    void erase(HICON handle) { icons_.erase(reinterpret_cast<uintptr_t>(handle)); }
    DWORD count() const { return static_cast<DWORD>(icons_.size()); }

    // Shared icons by where they came from.
    std::map<std::tuple<int, std::string, int, int>, HICON> shared;

private:
    std::map<uintptr_t, std::unique_ptr<IconObject>> icons_;
    uint32_t next_ = 0;
};

IconTable &icons()
{
    static IconTable table;
    return table;
}

bool readWholeFile(const std::string &hostPath, std::vector<uint8_t> &bytes, DWORD &error)
{
    int fd = ::open(hostPath.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        error = errno == ENOENT ? ERROR_FILE_NOT_FOUND
                : errno == ENOTDIR ? ERROR_PATH_NOT_FOUND
                                   : ERROR_ACCESS_DENIED;
        return false;
    }
    struct Closer {
        int fd;
        ~Closer() { ::close(fd); }
    } closer{fd};
    bytes.clear();
    uint8_t buffer[16384];
    for (;;) {
        ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0) {
            error = ERROR_READ_FAULT;
            return false;
        }
        if (n == 0)
            break;
        bytes.insert(bytes.end(), buffer, buffer + n);
        if (bytes.size() > maxIconFileBytes) {
            error = ERROR_INVALID_PARAMETER;
            return false;
        }
    }
    return true;
}

bool hostPathOf(LPCSTR name, std::string &hostPath)
{
    kernel32::ResolvedPath resolved;
    DWORD error = kernel32::resolvePath(name, resolved);
    if (error != ERROR_SUCCESS) {
        SetLastError(error);
        return false;
    }
    if (resolved.kind != kernel32::ResolvedPath::Kind::HostFile) {
        SetLastError(ERROR_FILE_NOT_FOUND);
        return false;
    }
    hostPath = resolved.hostPath;
    return true;
}

// Scales a picture by nearest neighbour.
IconPicture scaled(const IconPicture &source, int width, int height)
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
    picture.width = systemCursorSize;
    picture.height = systemCursorSize;
    picture.isCursor = true;
    picture.argb.assign(static_cast<size_t>(systemCursorSize) * systemCursorSize, 0);
    for (size_t y = 0; y < sizeof shape / sizeof shape[0]; ++y)
        for (size_t x = 0; shape[y][x]; ++x) {
            const char c = shape[y][x];
            if (c == '#')
                picture.argb[y * systemCursorSize + x] = 0xFF000000;
            else if (c == '.')
                picture.argb[y * systemCursorSize + x] = 0xFFFFFFFF;
        }
    return picture;
}

// The system's application icon: a small window.
IconPicture stockApplicationIcon()
{
    IconPicture picture;
    picture.width = systemIconSize;
    picture.height = systemIconSize;
    picture.argb.assign(static_cast<size_t>(systemIconSize) * systemIconSize, 0);
    for (int y = 3; y < 29; ++y)
        for (int x = 2; x < 30; ++x) {
            const bool frame = x == 2 || x == 29 || y == 3 || y == 28;
            const bool title = y > 3 && y < 9;
            picture.argb[y * systemIconSize + x] =
                frame ? 0xFF000000 : (title ? 0xFF0040A0 : 0xFFFFFFFF);
        }
    return picture;
}

HICON insertIcon(IconPicture picture, bool shared, IconOrigin origin = {})
{
    auto object = std::make_unique<IconObject>();
    object->picture = std::move(picture);
    object->shared = shared;
    object->origin = std::move(origin);
    return icons().insert(std::move(object));
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
        std::vector<uint8_t> bytes;
        DWORD error = ERROR_SUCCESS;
        found = readWholeFile(origin.name, bytes, error) &&
                decodeIconFile(bytes.data(), bytes.size(), icon.picture.isCursor, size, size, picture);
    }
    return scaled(found ? picture : icon.picture, size, size);
}

std::string keyName(LPCSTR name)
{
    if (IS_INTRESOURCE(name))
        return "#" + std::to_string(reinterpret_cast<uintptr_t>(name));
    return name;
}

// The program loads the same bitmap file many times a second (every sprite
// of the skin is cut from one file), so the host path a name resolved to is
// remembered with the folder it was resolved in. The image cache checks the
// file itself on every load; when the remembered path no longer leads to an
// image, the name is resolved again from scratch.
class ResolvedImagePaths {
public:
    std::shared_ptr<const gdi32::DecodedImage> load(LPCSTR name, DWORD &error)
    {
        char folder[PATH_MAX];
        const bool haveFolder = getcwd(folder, sizeof folder) != nullptr;
        const std::string key = std::string(name) + '\0' + (haveFolder ? folder : "");
        if (haveFolder) {
            auto known = paths_.find(key);
            if (known != paths_.end()) {
                auto image = gdi32::ImageCache::instance().loadBmp(known->second, error);
                if (image)
                    return image;
                paths_.erase(known);
            }
        }
        std::string hostPath;
        if (!hostPathOf(name, hostPath)) {
            error = GetLastError();
            return nullptr;
        }
        auto image = gdi32::ImageCache::instance().loadBmp(hostPath, error);
        if (image && haveFolder) {
            if (paths_.size() >= maxPaths)
                paths_.clear();
            paths_[key] = hostPath;
        }
        return image;
    }

private:
    static constexpr size_t maxPaths = 32;
    std::map<std::string, std::string> paths_;
};

ResolvedImagePaths &resolvedImagePaths()
{
    static ResolvedImagePaths &paths = *new ResolvedImagePaths;
    return paths;
}

HANDLE loadBitmap(HINSTANCE instance, LPCSTR name, int width, int height, UINT flags)
{
    std::shared_ptr<const gdi32::DecodedImage> image;
    if (flags & LR_LOADFROMFILE) {
        DWORD error = ERROR_SUCCESS;
        image = resolvedImagePaths().load(name, error);
        if (!image) {
            SetLastError(error);
            return nullptr;
        }
    } else {
        ResourceBytes bytes;
        if (!findResource(instance, MAKEINTRESOURCEA(resourceTypeBitmap), name, bytes))
            return nullptr;
        auto decoded = std::make_shared<gdi32::DecodedImage>();
        if (!gdi32::decodeDib(static_cast<const uint8_t *>(bytes.data), bytes.size, *decoded)) {
            SetLastError(ERROR_RESOURCE_DATA_NOT_FOUND);
            return nullptr;
        }
        image = std::move(decoded);
    }
    const int naturalWidth = image->pixels->width();
    const int naturalHeight = image->pixels->height();
    const int wantedWidth = width ? width : naturalWidth;
    const int wantedHeight = height ? height : naturalHeight;
    if (wantedWidth != naturalWidth || wantedHeight != naturalHeight) {
        // A size was asked for: a stretched copy, which the cache does not keep.
        auto stretched = std::make_shared<gdi32::DecodedImage>();
        stretched->pixels = std::make_shared<gdi32::Surface>(wantedWidth, wantedHeight);
        stretched->bitsPerPixel = 32;
        for (int y = 0; y < wantedHeight; ++y) {
            const int sy = static_cast<int>((int64_t(2 * y + 1) * naturalHeight) / (2 * int64_t(wantedHeight)));
            for (int x = 0; x < wantedWidth; ++x) {
                const int sx = static_cast<int>((int64_t(2 * x + 1) * naturalWidth) / (2 * int64_t(wantedWidth)));
                stretched->pixels->row(y)[x] = image->pixels->at(sx, sy);
            }
        }
        image = std::move(stretched);
    }
    return gdi32::createBitmapFromImage(std::move(image), (flags & LR_CREATEDIBSECTION)
                                                              ? gdi32::Bitmap::Format::DibSection
                                                              : gdi32::Bitmap::Format::Device);
}

HANDLE loadIconOrCursor(HINSTANCE instance, LPCSTR name, bool cursor, int width, int height,
                        UINT flags)
{
    const int defaultSize = cursor ? systemCursorSize : systemIconSize;
    const bool keepNaturalSize = !width && !height && !(flags & LR_DEFAULTSIZE);
    const int wantedWidth = width ? width : defaultSize;
    const int wantedHeight = height ? height : defaultSize;
    const bool shared = (flags & LR_SHARED) != 0;
    const auto key = std::make_tuple(cursor ? 2 : 1, keyName(name), keepNaturalSize ? 0 : wantedWidth,
                                     keepNaturalSize ? 0 : wantedHeight);
    if (shared && !(flags & LR_LOADFROMFILE)) {
        auto found = icons().shared.find(key);
        if (found != icons().shared.end() && icons().find(found->second))
            return found->second;
    }

    IconPicture picture;
    IconOrigin origin;
    if (flags & LR_LOADFROMFILE) {
        std::string hostPath;
        if (!hostPathOf(name, hostPath))
            return nullptr;
        origin.kind = IconOrigin::Kind::File;
        origin.name = hostPath;
        std::vector<uint8_t> bytes;
        DWORD error = ERROR_SUCCESS;
        if (!readWholeFile(hostPath, bytes, error)) {
            SetLastError(error);
            return nullptr;
        }
        if (!decodeIconFile(bytes.data(), bytes.size(), cursor, wantedWidth, wantedHeight,
                            picture)) {
            SetLastError(ERROR_INVALID_PARAMETER);
            return nullptr;
        }
    } else if (!instance && IS_INTRESOURCE(name)) {
        // System icons and cursors.
        picture = cursor ? stockArrow() : stockApplicationIcon();
    } else if (!pictureFromResources(instance, name, cursor, wantedWidth, wantedHeight, picture)) {
        return nullptr;
    } else {
        origin = resourceOrigin(instance, name);
    }
    if (!keepNaturalSize)
        picture = scaled(picture, wantedWidth, wantedHeight);
    HICON handle = insertIcon(std::move(picture), shared, std::move(origin));
    if (shared && !(flags & LR_LOADFROMFILE))
        icons().shared[key] = handle;
    return handle;
}

BOOL destroy(HICON handle)
{
    IconObject *icon = icons().find(handle);
    if (!icon) {
        SetLastError(ERROR_INVALID_CURSOR_HANDLE);
        return FALSE;
    }
    if (!icon->shared)
        icons().erase(handle);
    return TRUE;
}

}  // namespace

bool iconPicture(HICON handle, IconPicture &picture)
{
    IconObject *icon = icons().find(handle);
    if (!icon) {
        SetLastError(ERROR_INVALID_CURSOR_HANDLE);
        return false;
    }
    picture = icon->picture;
    return true;
}

std::vector<IconPicture> windowIconPictures(HICON icon, HICON smallIcon)
{
    const IconObject *big = icons().find(icon);
    const IconObject *small = icons().find(smallIcon);
    std::vector<IconPicture> pictures;
    if (small || big)
        pictures.push_back(iconAtSize(small ? *small : *big, windowSmallIconSize));
    if (big) {
        for (int size : windowLargeIconSizes)
            pictures.push_back(iconAtSize(*big, size));
    }
    return pictures;
}

DWORD liveIconCount() { return icons().count(); }

}  // namespace hp::user32

extern "C" {

HANDLE WINAPI LoadImageA(HINSTANCE instance, LPCSTR name, UINT type, int width, int height,
                         UINT load)
{
    if (!name || width < 0 || height < 0) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    if ((load & LR_LOADFROMFILE) && IS_INTRESOURCE(name)) {
        SetLastError(ERROR_FILE_NOT_FOUND);
        return nullptr;
    }
    switch (type) {
    case IMAGE_BITMAP:
        return hp::user32::loadBitmap(instance, name, width, height, load);
    case IMAGE_ICON:
        return hp::user32::loadIconOrCursor(instance, name, false, width, height, load);
    case IMAGE_CURSOR:
        return hp::user32::loadIconOrCursor(instance, name, true, width, height, load);
    default:
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
}

HICON WINAPI LoadIconA(HINSTANCE instance, LPCSTR iconName)
{
    if (!iconName) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    return static_cast<HICON>(hp::user32::loadIconOrCursor(instance, iconName, false, 0, 0,
                                                           LR_DEFAULTSIZE | LR_SHARED));
}

HCURSOR WINAPI LoadCursorA(HINSTANCE instance, LPCSTR cursorName)
{
    if (!cursorName) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    return static_cast<HCURSOR>(hp::user32::loadIconOrCursor(instance, cursorName, true, 0, 0,
                                                             LR_DEFAULTSIZE | LR_SHARED));
}

BOOL WINAPI DestroyIcon(HICON icon) { return hp::user32::destroy(icon); }

BOOL WINAPI DestroyCursor(HCURSOR cursor) { return hp::user32::destroy(cursor); }

BOOL WINAPI DrawIconEx(HDC dc, int left, int top, HICON iconHandle, int width, int height,
                       UINT step, HBRUSH flickerFreeBrush, UINT flags)
{
    (void)step;  // animated cursors are not supported: every icon has one frame
    hp::user32::IconPicture picture;
    if (!hp::user32::iconPicture(iconHandle, picture))
        return FALSE;
    if (!(flags & DI_NORMAL)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    if (!width)
        width = (flags & DI_DEFAULTSIZE) ? hp::user32::systemIconSize : picture.width;
    if (!height)
        height = (flags & DI_DEFAULTSIZE) ? hp::user32::systemIconSize : picture.height;
    if ((flags & DI_NORMAL) == DI_IMAGE) {
        for (uint32_t &pixel : picture.argb)
            pixel |= 0xFF000000;  // the image without its mask
    } else if ((flags & DI_NORMAL) == DI_MASK) {
        for (uint32_t &pixel : picture.argb)
            pixel = (pixel >> 24) ? 0xFF000000 : 0xFFFFFFFF;
    }
    return hp::gdi32::drawArgbPicture(dc, left, top, width, height, picture.argb.data(),
                                      picture.width, picture.height, flickerFreeBrush)
               ? TRUE
               : FALSE;
}

}  // extern "C"
