// Which backends an executable runs on.
//
// The layer asks for each backend the first time it is needed, and these
// factories answer. Every executable links exactly one wiring library:
//  - hp_wiring_desktop: the real host (GTK, GStreamer, ALSA, libcdio);
//  - hp_wiring_headless: the twins of platform/testing (tests, benchmarks).
// So the choice is made by the build, in one place, and no #if is needed.
#pragma once

#include <memory>
#include <vector>

namespace hp::kernel32 {
class DriveTable;
}
namespace hp::winmm {
class MciDriver;
class MixerBackend;
}  // namespace hp::winmm
namespace hp::user32 {
class DisplayBackend;
class MessageBoxBackend;
class WindowPeers;
}  // namespace hp::user32

namespace hp::wiring {

std::unique_ptr<kernel32::DriveTable> makeDriveTable();
std::vector<std::unique_ptr<winmm::MciDriver>> makeMciDrivers();
std::unique_ptr<winmm::MixerBackend> makeMixerBackend();
std::unique_ptr<user32::MessageBoxBackend> makeMessageBoxBackend();
std::unique_ptr<user32::DisplayBackend> makeDisplayBackend();
// The other processes of the user's session, or null where the process
// meets none (tests).
std::unique_ptr<user32::WindowPeers> makeWindowPeers();

}  // namespace hp::wiring
