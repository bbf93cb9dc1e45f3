// The backends of tests and benchmarks: the twins of platform/testing.
#include "platform/wiring.h"

#include "platform/null_backends.h"
#include "platform/testing/headless_display.h"
#include "platform/testing/message_box_recorder.h"
#include "platform/testing/recording_mci.h"
#include "platform/testing/scripted_drives.h"
#include "platform/testing/scripted_mixer.h"
#include "platform/user32/window_peers.h"
#include "platform/winmm/mci_driver.h"

namespace hp::wiring {

std::unique_ptr<kernel32::DriveTable> makeDriveTable() { return testing::makeScriptedDriveTable(); }

std::vector<std::unique_ptr<winmm::MciDriver>> makeMciDrivers()
{
    return testing::makeRecordingMciDrivers();
}

std::unique_ptr<winmm::MixerBackend> makeMixerBackend()
{
    return testing::makeScriptedMixerBackend();
}

std::unique_ptr<user32::MessageBoxBackend> makeMessageBoxBackend()
{
    return testing::makeMessageBoxRecorder();
}

std::unique_ptr<user32::DisplayBackend> makeDisplayBackend()
{
    return std::make_unique<testing::HeadlessDisplay>();
}

// A test process meets no other: a test never reaches the user's programs.
std::unique_ptr<user32::WindowPeers> makeWindowPeers() { return nullptr; }

}  // namespace hp::wiring
