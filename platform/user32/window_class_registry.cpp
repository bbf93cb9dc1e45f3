#include "platform/user32/window_class_registry.h"

#include <strings.h>

namespace hp::user32 {

WindowClassRegistry::WindowClassRegistry() = default;

std::shared_ptr<const WindowClass> WindowClassRegistry::add(WindowClass windowClass)
{
    if (find(windowClass.name.c_str())) {
        SetLastError(ERROR_CLASS_ALREADY_EXISTS);
        return nullptr;
    }
    if (windowClass.atom == 0)
        windowClass.atom = nextAtom_++;
    auto stored = std::make_shared<const WindowClass>(std::move(windowClass));
    classes_.push_back(stored);
    return stored;
}

std::shared_ptr<const WindowClass> WindowClassRegistry::find(LPCSTR nameOrAtom) const
{
    if (!nameOrAtom)
        return nullptr;
    const bool byAtom = IS_INTRESOURCE(nameOrAtom);
    for (const auto &windowClass : classes_) {
        if (byAtom) {
            if (windowClass->atom == LOWORD(reinterpret_cast<ULONG_PTR>(nameOrAtom)))
                return windowClass;
        } else if (strcasecmp(windowClass->name.c_str(), nameOrAtom) == 0) {
            return windowClass;
        }
    }
    return nullptr;
}

bool WindowClassRegistry::remove(LPCSTR nameOrAtom)
{
    auto found = find(nameOrAtom);
    if (!found || found->system) {
        SetLastError(ERROR_CLASS_DOES_NOT_EXIST);
        return false;
    }
    for (auto it = classes_.begin(); it != classes_.end(); ++it) {
        if (*it == found) {
            classes_.erase(it);
            break;
        }
    }
    return true;
}

}  // namespace hp::user32
