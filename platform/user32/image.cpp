// LoadImageA, LoadIconA, LoadCursorA, DestroyIcon, DestroyCursor and
// DrawIconEx: bitmaps from files (through the decoded-image cache) and from
// the program's resources; icons and cursors from .ico/.cur files, from
// RT_GROUP_ICON/RT_GROUP_CURSOR resources and from the system's stock art,
// kept in the icon table.
#include "platform/user32/image.h"

#include <unistd.h>

#include <climits>
#include <map>
#include <memory>
#include <string>
#include <tuple>

#include "platform/gdi32/bmp_decoder.h"
#include "platform/gdi32/gdi_access.h"
#include "platform/gdi32/image_cache.h"
#include "platform/kernel32/host_errors.h"
#include "platform/kernel32/path_model.h"
#include "platform/user32/icon_pictures.h"
#include "platform/user32/icon_table.h"
#include "platform/user32/resources.h"

namespace hp::user32 {

namespace {

constexpr WORD resourceTypeBitmap = 2;

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
        error = kernel32::resolveHostPath(name, hostPath, ERROR_FILE_NOT_FOUND);
        if (error != ERROR_SUCCESS)
            return nullptr;
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
    const int defaultSize = cursor ? cursorSizePixels : iconSizePixels;
    const bool keepNaturalSize = !width && !height && !(flags & LR_DEFAULTSIZE);
    const int wantedWidth = width ? width : defaultSize;
    const int wantedHeight = height ? height : defaultSize;
    const bool shared = (flags & LR_SHARED) != 0;
    const auto key = std::make_tuple(cursor ? 2 : 1, keyName(name), keepNaturalSize ? 0 : wantedWidth,
                                     keepNaturalSize ? 0 : wantedHeight);
    if (shared && !(flags & LR_LOADFROMFILE)) {
        auto found = iconTable().shared.find(key);
        if (found != iconTable().shared.end() && iconTable().find(found->second))
            return found->second;
    }

    IconPicture picture;
    IconOrigin origin;
    if (flags & LR_LOADFROMFILE) {
        std::string hostPath;
        if (DWORD error = kernel32::resolveHostPath(name, hostPath, ERROR_FILE_NOT_FOUND);
            error != ERROR_SUCCESS)
            return kernel32::failWith(error, nullptr);
        origin.kind = IconOrigin::Kind::File;
        origin.name = hostPath;
        const DWORD error = pictureFromFile(hostPath, cursor, wantedWidth, wantedHeight, picture);
        if (error != ERROR_SUCCESS)
            return kernel32::failWith(error, nullptr);
    } else if (!instance && IS_INTRESOURCE(name)) {
        // System icons and cursors.
        picture = cursor ? stockArrow() : stockApplicationIcon();
    } else if (!pictureFromResources(instance, name, cursor, wantedWidth, wantedHeight, picture)) {
        return nullptr;
    } else {
        origin = resourceOrigin(instance, name);
    }
    if (!keepNaturalSize)
        picture = scaledPicture(picture, wantedWidth, wantedHeight);
    HICON handle = insertIcon(std::move(picture), shared, std::move(origin));
    if (shared && !(flags & LR_LOADFROMFILE))
        iconTable().shared[key] = handle;
    return handle;
}

BOOL destroy(HICON handle)
{
    IconObject *icon = iconTable().find(handle);
    if (!icon) {
        SetLastError(ERROR_INVALID_CURSOR_HANDLE);
        return FALSE;
    }
    if (!icon->shared)
        iconTable().erase(handle);
    return TRUE;
}

}  // namespace

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
        width = (flags & DI_DEFAULTSIZE) ? hp::user32::iconSizePixels : picture.width;
    if (!height)
        height = (flags & DI_DEFAULTSIZE) ? hp::user32::iconSizePixels : picture.height;
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
