// MCI playback: one device open at a time, a file played in milliseconds or
// one CD track played in TMSF on the CD audio device.
#include "sound/sound_device.h"

#include <string.h>

#include "sound/error_box.h"
#include "sound/text_copy.h"

namespace {

constexpr char waveAudioType[] = "waveaudio";
constexpr char cdAudioType[] = "cdaudio";

constexpr char initializeFailedText[] = "MCIデバイスの初期化に失敗しました";
constexpr char fileFailedText[] = "ファイルを再生できません";
constexpr char cdFailedText[] = "対象のCDを再生できません";
constexpr char stopFailedText[] = "再生を停止出来ないか、すでに停止しています。";

constexpr DWORD cdOpenFlags = MCI_OPEN_TYPE | MCI_OPEN_SHAREABLE;
constexpr DWORD boundedPlayFlags = MCI_NOTIFY | MCI_FROM | MCI_TO;
constexpr DWORD openEndedPlayFlags = MCI_NOTIFY | MCI_FROM;
constexpr DWORD millisecondsPerSecond = 1000;

// TMSF packs track, minutes, seconds and frames into the four bytes of a
// DWORD, lowest first. Each part is taken modulo 256.
DWORD packTmsf(int trackNumber, int minutes, int seconds)
{
    return (static_cast<DWORD>(trackNumber) & 0xFFu)
           | ((static_cast<DWORD>(minutes) & 0xFFu) << 8)
           | ((static_cast<DWORD>(seconds) & 0xFFu) << 16);
}

DWORD byteOf(DWORD value, int index) { return (value >> (8 * index)) & 0xFFu; }

MCIERROR sendCommand(MCIDEVICEID device, UINT command, DWORD flags, void *record)
{
    return mciSendCommandA(device, command, flags, reinterpret_cast<DWORD_PTR>(record));
}

// Opens the CD audio device of the drive root in driveText, or the default
// CD audio device when the text is empty.
MCIERROR openCdDevice(const char *driveText, MCIDEVICEID &openedId)
{
    MCI_OPEN_PARMSA open = {};
    open.lpstrDeviceType = cdAudioType;
    DWORD flags = cdOpenFlags;
    if (driveText[0] != '\0') {
        flags |= MCI_OPEN_ELEMENT;
        open.lpstrElementName = driveText;
    }
    MCIERROR error = sendCommand(0, MCI_OPEN, flags, &open);
    if (error == 0) {
        openedId = open.wDeviceID;
    }
    return error;
}

// dwReturn of an MCI_STATUS query; 0 when the device does not answer, since
// the record starts cleared.
DWORD queryStatus(MCIDEVICEID device, DWORD flags, DWORD item, DWORD trackNumber)
{
    MCI_STATUS_PARMS status = {};
    status.dwItem = item;
    status.dwTrack = trackNumber;
    sendCommand(device, MCI_STATUS, flags, &status);
    return static_cast<DWORD>(status.dwReturn);
}

}  // namespace

SoundDevice::SoundDevice()
    : deviceId(0), sourceKind(SourceKind::None), path(), track(0), startSeconds(0)
{
}

int SoundDevice::initialize(HWND window)
{
    // Never leave an earlier device open behind the new one.
    if (deviceId != 0) {
        close();
    }
    MCI_OPEN_PARMSA open = {};
    open.lpstrDeviceType = waveAudioType;
    if (sendCommand(0, MCI_OPEN, MCI_OPEN_TYPE | MCI_OPEN_SHAREABLE, &open) != 0) {
        if (window) {
            showLibraryError(window, initializeFailedText);
        }
        return 0;
    }
    deviceId = open.wDeviceID;
    return 1;
}

int SoundDevice::close()
{
    sendCommand(deviceId, MCI_CLOSE, 0, nullptr);
    return 1;
}

int SoundDevice::setFileSource(const char *filePath)
{
    if (!filePath) {
        return 0;
    }
    copyTruncated(path, pathCapacity, filePath);
    sourceKind = SourceKind::File;
    return 1;
}

int SoundDevice::setCdTrackSource(const char *drivePath, int trackNumber)
{
    copyTruncated(path, pathCapacity, drivePath);
    track = trackNumber < 1 ? 1 : trackNumber;
    sourceKind = SourceKind::CdTrack;
    return 1;
}

int SoundDevice::setTrackAndStart(HWND, int trackNumber, int seconds)
{
    track = trackNumber;
    startSeconds = seconds;
    return 1;
}

int SoundDevice::stop(HWND window)
{
    if (sendCommand(deviceId, MCI_STOP, MCI_WAIT, nullptr) != 0) {
        if (window) {
            showLibraryError(window, stopFailedText);
        }
        return 0;
    }
    return 1;
}

// Opens the device of the current source (a file or a CD track) and sets its
// time format. 0 when the device failed to open.
int SoundDevice::openCurrentSource(HWND window)
{
    MCIDEVICEID openedId = 0;
    if (sourceKind == SourceKind::File) {
        MCI_OPEN_PARMSA open = {};
        open.lpstrElementName = path;
        // Without a type the platform picks the device from the file.
        if (sendCommand(0, MCI_OPEN, MCI_OPEN_ELEMENT, &open) != 0) {
            if (window) {
                showLibraryError(window, fileFailedText);
            }
            return 0;
        }
        openedId = open.wDeviceID;
    } else {
        if (openCdDevice(path, openedId) != 0) {
            if (window) {
                showLibraryError(window, cdFailedText);
            }
            return 0;
        }
    }
    deviceId = openedId;
    MCI_SET_PARMS set = {};
    set.dwTimeFormat = sourceKind == SourceKind::File ? MCI_FORMAT_MILLISECONDS : MCI_FORMAT_TMSF;
    sendCommand(deviceId, MCI_SET, MCI_SET_TIME_FORMAT, &set);
    return 1;
}

// Plays the opened source. Playback runs on in the device; its errors are
// not reported.
void SoundDevice::startPlayback(PlayStart start)
{
    MCI_PLAY_PARMS play = {};
    if (sourceKind == SourceKind::File) {
        if (start == PlayStart::FromBeginning) {
            sendCommand(deviceId, MCI_PLAY, MCI_NOTIFY, &play);
        } else {
            play.dwFrom = static_cast<DWORD>(startSeconds) * millisecondsPerSecond;
            sendCommand(deviceId, MCI_PLAY, openEndedPlayFlags, &play);
        }
        return;
    }
    int minutes = 0;
    int seconds = 0;
    if (start == PlayStart::FromStartSeconds) {
        minutes = startSeconds / 60;
        seconds = startSeconds % 60;
    }
    play.dwFrom = packTmsf(track, minutes, seconds);
    play.dwTo = packTmsf(track + 1, 0, 0);
    if (sendCommand(deviceId, MCI_PLAY, boundedPlayFlags, &play) != 0) {
        // The last track of a disc has no following track to stop at: play
        // on to the end of the disc instead.
        MCI_PLAY_PARMS openEnded = {};
        openEnded.dwFrom = play.dwFrom;
        sendCommand(deviceId, MCI_PLAY, openEndedPlayFlags, &openEnded);
    }
}

int SoundDevice::playCurrentSource(HWND window, PlayStart start)
{
    stop(nullptr);
    close();
    if (sourceKind != SourceKind::File && sourceKind != SourceKind::CdTrack) {
        return 1;
    }
    if (!openCurrentSource(window)) {
        return 0;
    }
    startPlayback(start);
    return 1;
}

int SoundDevice::play(HWND window) { return playCurrentSource(window, PlayStart::FromBeginning); }

int SoundDevice::playFromPosition(HWND window)
{
    return playCurrentSource(window, PlayStart::FromStartSeconds);
}

int SoundDevice::getPosition(HWND, int *trackOut, int *secondsOut)
{
    if (sourceKind == SourceKind::File) {
        DWORD milliseconds = queryStatus(deviceId, MCI_STATUS_ITEM, MCI_STATUS_POSITION, 0);
        if (secondsOut) {
            *secondsOut = static_cast<int>(milliseconds / millisecondsPerSecond);
        }
    } else if (sourceKind == SourceKind::CdTrack) {
        DWORD tmsf = queryStatus(deviceId, MCI_STATUS_ITEM, MCI_STATUS_POSITION, 0);
        if (trackOut) {
            *trackOut = static_cast<int>(byteOf(tmsf, 0));
        }
        if (secondsOut) {
            *secondsOut = static_cast<int>(byteOf(tmsf, 1) * 60 + byteOf(tmsf, 2));
        }
    }
    return 1;
}

int SoundDevice::getLength(HWND, const char *, int, int mode, int *secondsOut)
{
    if (mode != 1) {
        return 0;
    }
    int seconds = 0;
    if (sourceKind == SourceKind::File) {
        DWORD milliseconds = queryStatus(deviceId, MCI_STATUS_ITEM, MCI_STATUS_LENGTH, 0);
        seconds = static_cast<int>(milliseconds / millisecondsPerSecond);
    } else {
        // In the TMSF time format the CD device reports a track's length in
        // MSF.
        DWORD msf = queryStatus(deviceId, MCI_STATUS_ITEM | MCI_TRACK, MCI_STATUS_LENGTH,
                                static_cast<DWORD>(track));
        seconds = static_cast<int>(byteOf(msf, 0) * 60 + byteOf(msf, 1));
    }
    if (secondsOut) {
        *secondsOut = seconds;
    }
    return 1;
}

int SoundDevice::setTray(const char *drivePath, int useDevicePath, DWORD doorFlag)
{
    stop(nullptr);
    close();
    char driveText[pathCapacity];
    copyTruncated(driveText, pathCapacity, useDevicePath == 1 ? path : drivePath);
    MCIDEVICEID openedId = 0;
    if (openCdDevice(driveText, openedId) != 0) {
        return 0;
    }
    deviceId = openedId;
    sendCommand(deviceId, MCI_SET, doorFlag, nullptr);
    return 1;
}

int SoundDevice::openTray(const char *drivePath, int useDevicePath)
{
    return setTray(drivePath, useDevicePath, MCI_SET_DOOR_OPEN);
}

int SoundDevice::closeTray(const char *drivePath, int useDevicePath)
{
    return setTray(drivePath, useDevicePath, MCI_SET_DOOR_CLOSED);
}
