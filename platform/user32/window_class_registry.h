// Registered window classes, by name (ASCII case-insensitive) and atom.
//
// Application classes take atoms from 0xC000 up, as the platform's string
// atoms do; the system classes (dialog "#32770", "Button", "Static") are
// registered on first use and cannot be unregistered.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "platform/win32.h"

namespace hp::user32 {

struct WindowClass {
    ATOM atom = 0;
    std::string name;
    UINT style = 0;
    WNDPROC procedure = nullptr;
    int classExtraBytes = 0;
    int windowExtraBytes = 0;
    HINSTANCE instance = nullptr;
    HICON icon = nullptr;
    HICON smallIcon = nullptr;
    HCURSOR cursor = nullptr;
    HBRUSH background = nullptr;
    bool system = false;
};

class WindowClassRegistry {
public:
    WindowClassRegistry();

    // The registered class, or null with ERROR_CLASS_ALREADY_EXISTS.
    std::shared_ptr<const WindowClass> add(WindowClass windowClass);

    // By name or by atom (MAKEINTATOM); null when unknown.
    std::shared_ptr<const WindowClass> find(LPCSTR nameOrAtom) const;

    // Removes an application class. Windows keep the class they were made
    // with until they are destroyed.
    bool remove(LPCSTR nameOrAtom);

private:
    std::vector<std::shared_ptr<const WindowClass>> classes_;
    ATOM nextAtom_ = 0xC000;
};

// The dialog class's atom, as the platform numbers it.
constexpr ATOM dialogClassAtom = 32770;

}  // namespace hp::user32
