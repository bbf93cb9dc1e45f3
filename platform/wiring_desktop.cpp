// The program's backends: the real host.
#include "platform/wiring.h"

#include <cstdio>

#include "platform/host/gtk_display.h"
#include "platform/null_backends.h"
#include "platform/user32/display_message_box.h"
#include "platform/user32/null_display.h"
#include "platform/winmm/mci_driver.h"

namespace hp::wiring {

std::unique_ptr<kernel32::DriveTable> makeDriveTable() { return null::makeDriveTable(); }

std::vector<std::unique_ptr<winmm::MciDriver>> makeMciDrivers() { return {}; }

std::unique_ptr<winmm::MixerBackend> makeMixerBackend() { return null::makeMixerBackend(); }

// Message boxes are shown by the display (a GTK dialog, or the standard
// error stream when there is no display).
std::unique_ptr<user32::MessageBoxBackend> makeMessageBoxBackend()
{
    return user32::makeDisplayMessageBox();
}

std::unique_ptr<user32::DisplayBackend> makeDisplayBackend()
{
    if (auto display = host::makeGtkDisplay())
        return display;
    std::fprintf(stderr, "Hollyphone: no display could be opened; windows will not be shown\n");
    return std::make_unique<user32::NullDisplay>();
}

}  // namespace hp::wiring
