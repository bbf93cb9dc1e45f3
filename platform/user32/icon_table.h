// The handle table of icons and cursors: what each HICON holds, where its
// picture came from, and the shared ones by their origin.
#pragma once

#include <map>
#include <memory>
#include <string>
#include <tuple>

#include "platform/user32/image.h"

namespace hp::user32 {

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

// The process's one table.
IconTable &iconTable();

HICON insertIcon(IconPicture picture, bool shared, IconOrigin origin = {});

// The origin of an icon loaded from the module's resources.
IconOrigin resourceOrigin(HINSTANCE instance, LPCSTR name);

}  // namespace hp::user32
