// The program's backends: the real host.
#include "platform/wiring.h"

#include <unistd.h>

#include <cstdio>

#include "platform/host/alsa_mixer.h"
#include "platform/host/cdio_drive_table.h"
#include "platform/host/gst_audio_engine.h"
#include "platform/host/gtk_display.h"
#include "platform/host/mpris_service.h"
#include "platform/kernel32/disc_image_list.h"
#include "platform/kernel32/installed_layout.h"
#include "platform/kernel32/session_folder.h"
#include "platform/user32/display_message_box.h"
#include "platform/user32/media_commands.h"
#include "platform/user32/null_display.h"
#include "platform/user32/window_peers.h"
#include "platform/winmm/mci_cd_driver.h"
#include "platform/winmm/mci_driver.h"
#include "platform/winmm/kept_levels.h"
#include "platform/winmm/mci_stream_driver.h"
#include "platform/winmm/output_mixer.h"

namespace hp::wiring {
namespace {

// The desktop's media controls come with the desktop: the service lives
// until the process ends, answered from the display's main context.
void startMediaControls()
{
    static std::unique_ptr<host::MprisService> service = host::startMprisService(
        {user32::postMediaCommand, user32::raiseMainWindow, user32::closeMainWindow});
}

}  // namespace

// The CD drives libcdio finds (none is a valid answer), then the disc
// images the user lists.
std::unique_ptr<kernel32::DriveTable> makeDriveTable()
{
    return host::makeCdioDriveTable(kernel32::configuredDiscImages());
}

// The MCI drivers play through GStreamer; without it they still open and
// answer, and every playing open is refused as on a machine without sound
// (the engine finds out at its first open).
std::vector<std::unique_ptr<winmm::MciDriver>> makeMciDrivers()
{
    std::shared_ptr<winmm::AudioEngine> engine = host::makeGstAudioEngine();
    std::vector<std::unique_ptr<winmm::MciDriver>> drivers = winmm::makeStreamMciDrivers(engine);
    drivers.push_back(winmm::makeCdMciDriver(engine));
    return drivers;
}

// Device 0 is Hollyphone's own output mixer, at the levels the user left
// it at; the ALSA cards follow.
std::unique_ptr<winmm::MixerBackend> makeMixerBackend()
{
    winmm::keepOutputLevels(kernel32::userDataFolder());
    return std::make_unique<winmm::OutputMixer>(host::makeAlsaCardMixers());
}

// Message boxes are shown by the display (a GTK dialog, or the standard
// error stream when there is no display).
std::unique_ptr<user32::MessageBoxBackend> makeMessageBoxBackend()
{
    return user32::makeDisplayMessageBox();
}

std::unique_ptr<user32::DisplayBackend> makeDisplayBackend()
{
    if (auto display = host::makeGtkDisplay()) {
        startMediaControls();
        return display;
    }
    std::fprintf(stderr, "Hollyphone: no display could be opened; windows will not be shown\n");
    return std::make_unique<user32::NullDisplay>();
}

// The user's other programs on this layer meet in the session folder.
std::unique_ptr<user32::WindowPeers> makeWindowPeers()
{
    const std::string folder = kernel32::sessionFolder();
    if (folder.empty())
        return nullptr;
    return std::make_unique<user32::WindowPeers>(folder, static_cast<long>(getpid()));
}

}  // namespace hp::wiring
