// One window as the window system keeps it.
//
// Geometry: rect is the window rectangle (frame included) in the parent's
// client coordinates, or in screen coordinates for a top-level window; the
// client area is rect less the frame that the style asks for
// (frame_metrics.h). The backing surface is the size of the client area.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "platform/win32.h"
#include "platform/user32/window_class_registry.h"

namespace hp::gdi32 {
class Surface;
}

namespace hp::user32 {

// What a dialog adds to its window (DialogBoxParamA).
struct DialogState {
    DLGPROC procedure = nullptr;
    INT_PTR result = 0;
    bool ended = false;
    int baseUnitX = 0;      // pixels per 4 horizontal dialog units
    int baseUnitY = 0;      // pixels per 8 vertical dialog units
    int defaultId = 0;      // 0 = no default push button
    HFONT font = nullptr;   // the template's font; deleted with the dialog
    std::string fontFace;   // CP932
    int fontPixelHeight = 0;
    LRESULT messageResult = 0;  // DWLP_MSGRESULT
};

struct Window {
    HWND handle = nullptr;
    std::shared_ptr<const WindowClass> windowClass;
    WNDPROC procedure = nullptr;
    HINSTANCE instance = nullptr;
    DWORD style = 0;
    DWORD exStyle = 0;
    HWND parent = nullptr;  // child windows
    HWND owner = nullptr;   // top-level windows
    UINT_PTR controlId = 0; // child windows: the id given as the menu argument
    RECT rect{0, 0, 0, 0};
    std::string text;       // CP932
    std::shared_ptr<gdi32::Surface> surface;
    std::vector<HWND> children;

    // Update region, kept as its bounding rectangle in client coordinates.
    RECT invalid{0, 0, 0, 0};
    bool eraseRequested = false;

    bool nativeCreated = false;  // the backend knows the window
    bool destroying = false;
    std::unique_ptr<DialogState> dialog;
    // Icon of a static icon control (SS_ICON), from the dialog's resources.
    HICON staticIcon = nullptr;

    bool isChild() const { return (style & WS_CHILD) != 0; }
    bool visible() const { return (style & WS_VISIBLE) != 0; }
    bool enabled() const { return (style & WS_DISABLED) == 0; }
    bool hasInvalidArea() const { return invalid.right > invalid.left && invalid.bottom > invalid.top; }
};

}  // namespace hp::user32
