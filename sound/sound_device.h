// The sound device: the one MCI playback device of the player (a file or one
// track of an audio CD), the drive scan that finds audio CDs, the mixer
// queries behind the volume gauges and the lookup of the Wave, MIDI and CD
// volume controls by name.
//
// One global instance, constructed before the media catalogue and the front
// panel. Results follow the player's convention: 1 success, 0 failure, or a
// count (-1 when a text does not fit the caller's buffer). A window argument
// is only the owner of error message boxes; the MCI operations show theirs
// only when one is given, the mixer operations always.
#pragma once

#include <stdint.h>

#include "platform/win32.h"

enum class SourceKind : int32_t {
    None = 0,     // no source loaded yet
    File = 1,     // path names a file
    CdTrack = 2,  // path names a CD drive root (empty: the default CD device)
};

// Which mixer line a volume operation addresses.
enum class VolumeLine : int32_t {
    Cd = 1,
    Wave = 2,
    Midi = 3,
};

// Flag of listAudioCdDrives: each listed root is followed by "(1-tracks)".
constexpr DWORD driveListTrackRanges = 2;

class SoundDevice {
public:
    static constexpr int pathCapacity = 260;

    SoundDevice();

    // MCI playback (sound_device.cpp).
    int initialize(HWND window);
    int close();
    int setFileSource(const char *filePath);
    int setCdTrackSource(const char *drivePath, int trackNumber);
    int setTrackAndStart(HWND window, int trackNumber, int seconds);
    int play(HWND window);
    int stop(HWND window);
    int playFromPosition(HWND window);
    int getPosition(HWND window, int *trackOut, int *secondsOut);
    // useDevicePath 1: the tray of the drive in `path`; any other value: the
    // tray of drivePath. An empty drive text means the default CD device.
    int openTray(const char *drivePath, int useDevicePath);
    int closeTray(const char *drivePath, int useDevicePath);
    // Mode 1 reports the length of the current source; path and track are
    // then not consulted. Other modes are not supported and answer 0.
    int getLength(HWND window, const char *sourcePath, int trackNumber, int mode,
                  int *secondsOut);

    // Drive scanning (drive_scan.cpp). Texts are concatenated drive roots
    // such as "D:\(1-12)E:\(1-8)" in letter order; -1 when the next piece
    // does not fit, with the text written so far left terminated.
    int listAudioCdDrives(char *output, int capacity, DWORD flags);
    int listDriveRoots(char *output, int capacity);

    // Mixer access (mixer_access.cpp). Names go to buffer + i * stride; the
    // count output receives the real number of names also when they do not
    // fit. Lines and controls are addressed by position.
    int listMixerDevices(HWND window, int *countOut, char *buffer, int slots, int stride);
    int listDestinationLines(HWND window, int device, int *countOut, char *buffer, int slots,
                             int stride);
    int listSourceLines(HWND window, int device, int destination, int *countOut, char *buffer,
                        int slots, int stride);
    int listLineControls(HWND window, int device, int destination, int source, int *countOut,
                         char *buffer, int slots, int stride);
    int setControlValue(HWND window, int device, int destination, int source, int control,
                        DWORD value);
    int getControlValue(HWND window, int device, int destination, int source, int control,
                        DWORD *valueOut);

    // Volume lookup (volume_lookup.cpp): the volume control of the Wave,
    // MIDI or CD source of the device's playback destination, found by name.
    int setVolume(int device, int value, VolumeLine line);
    int getVolume(int device, int *valueOut, VolumeLine line);

    MCIDEVICEID deviceId;   // device most recently opened with success; 0 before
    SourceKind sourceKind;
    char path[pathCapacity];
    int track;
    int startSeconds;

private:
    // play and playFromPosition differ only in where the source starts.
    enum class PlayStart { FromBeginning, FromStartSeconds };
    int playCurrentSource(HWND window, PlayStart start);
    int openCurrentSource(HWND window);
    void startPlayback(PlayStart start);
    int setTray(const char *drivePath, int useDevicePath, DWORD doorFlag);
};

extern SoundDevice soundDevice;
