// The desktop's display backend on GTK 3 (X11 or Wayland).
#pragma once

#include <memory>

#include "platform/user32/display_backend.h"

namespace hp::host {

// Initialises GTK on the calling thread (which becomes the GUI thread) and
// returns the backend; null when there is no display to open.
std::unique_ptr<user32::DisplayBackend> makeGtkDisplay();

}  // namespace hp::host
