// The desktop's media controls on Linux: an MPRIS 2 player on the session
// bus ("org.mpris.MediaPlayer2.hollyphone", object /org/mpris/MediaPlayer2),
// through GDBus.
//
// The bus's method calls reach the program as its window's messages (the
// MediaControls given): Play, Pause, PlayPause, Stop, Next and Previous as
// WM_APPCOMMAND, Raise as a raise of the main window, Quit as WM_CLOSE.
// PlaybackStatus, Metadata and Position follow what the MCI file devices
// play (winmm::NowPlaying), and PropertiesChanged is sent at each change.
// The program has no pause: PlaybackStatus is "Playing" or "Stopped".
// Metadata: mpris:trackid, xesam:url (a file:// URI of the host path; none
// for a CD track), xesam:title (the file's name without its extension, or
// "Track 03" on a CD), mpris:length in microseconds; no xesam:artist, as
// the layer reads no tags. Texts are UTF-8; host bytes that are not are
// mended.
//
// Without a session bus (no DBUS_SESSION_BUS_ADDRESS and no bus socket in
// XDG_RUNTIME_DIR) there is no service and no message: nothing is
// launched to make a bus. A name another player holds is not waited for.
// Everything runs on the GUI thread, from the default main context that
// the display dispatches.
#pragma once

#include <functional>
#include <memory>

namespace hp::host {

struct MediaControls {
    std::function<void(short appCommand)> command;
    std::function<void()> raise;
    std::function<void()> quit;
};

class MprisService {
public:
    virtual ~MprisService() = default;
};

// Null when there is no session bus.
std::unique_ptr<MprisService> startMprisService(MediaControls controls);

}  // namespace hp::host
