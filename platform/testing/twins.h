// The test twins of the layer's backends, as the headless wiring installs
// them. Tests script them (results, values, answers) and inspect what the
// program asked of them, in order.
//
// Each accessor returns the twin that the layer is using, installing it
// first when the layer has not asked for that backend yet. reset() brings a
// twin back to its state after construction.
#pragma once

#include <string>
#include <vector>

#include "platform/win32.h"

namespace hp::testing {

// ---------------------------------------------------------------- MCI ----

// One command as the recording driver received it. The record's fields are
// copied at the time of the call; fields the command has no record for stay
// at their defaults and hasRecord is false.
struct MciCall {
    MCIDEVICEID device = 0;     // identifier the dispatcher gave the device
    std::string deviceType;     // canonical type of the device ("cdaudio"...)
    UINT command = 0;           // MCI_OPEN, MCI_PLAY, ...
    DWORD flags = 0;
    bool hasRecord = false;
    // MCI_OPEN
    std::string openType;       // lpstrDeviceType when MCI_OPEN_TYPE was given
    std::string openElement;    // lpstrElementName when MCI_OPEN_ELEMENT was given
    // MCI_PLAY
    DWORD from = 0;
    DWORD to = 0;
    // MCI_SET
    DWORD timeFormat = 0;
    // MCI_STATUS
    DWORD item = 0;
    DWORD track = 0;
};

class RecordingMci {
public:
    virtual ~RecordingMci() = default;

    virtual void reset() = 0;

    // Every command the driver received, MCI_OPEN included, in order.
    // Commands that the dispatcher refused itself (an unknown device
    // identifier, say) never reach the driver and are not listed.
    virtual const std::vector<MciCall> &calls() const = 0;

    // The answer of every later MCI_OPEN of this device type ("" for all
    // types). 0 makes opens succeed (the default).
    virtual void setOpenResult(const std::string &deviceType, MCIERROR result) = 0;

    // The answer of every later command with exactly this command and these
    // flags (flags == ~0u: any flags). Default 0.
    virtual void setResult(UINT command, DWORD flags, MCIERROR result) = 0;

    // The dwReturn of MCI_STATUS for an item (and, with MCI_TRACK, a
    // track; track 0 means "without MCI_TRACK"). Unscripted items answer
    // MCIERR_UNSUPPORTED_FUNCTION and leave dwReturn as it was.
    virtual void setStatus(DWORD item, DWORD track, DWORD_PTR value) = 0;
};

RecordingMci &recordingMci();

// -------------------------------------------------------------- mixer ----

class ScriptedControl {
public:
    virtual ~ScriptedControl() = default;
    // Values laid out as mixer_backend.h describes (channels x items).
    virtual ScriptedControl &setValues(const std::vector<LONG> &values) = 0;
    virtual ScriptedControl &setBounds(LONG minimum, LONG maximum) = 0;
    virtual const std::vector<LONG> &values() const = 0;
    // How many times setValues reached this control from the mixer API.
    virtual int setCount() const = 0;
};

class ScriptedLine {
public:
    virtual ~ScriptedLine() = default;
    // A control with the given type, fdwControl and cMultipleItems. Its
    // values start at 0 (channels x max(items, 1) of them).
    virtual ScriptedControl &addControl(const std::string &name, DWORD type, DWORD flags = 0,
                                        DWORD multipleItems = 0) = 0;
};

class ScriptedDestination {
public:
    virtual ~ScriptedDestination() = default;
    virtual ScriptedLine &line() = 0;
    virtual ScriptedLine &addSource(const std::string &name, DWORD componentType,
                                    DWORD channels = 2) = 0;
};

class ScriptedMixerDevice {
public:
    virtual ~ScriptedMixerDevice() = default;
    virtual ScriptedDestination &addDestination(const std::string &name, DWORD componentType,
                                                DWORD channels = 2) = 0;
};

class ScriptedMixer {
public:
    virtual ~ScriptedMixer() = default;
    virtual void reset() = 0;  // no devices
    virtual ScriptedMixerDevice &addDevice(const std::string &name) = 0;
};

ScriptedMixer &scriptedMixer();

// ------------------------------------------------------------- drives ----

struct TrayCall {
    int drive = 0;
    bool open = false;
};

class ScriptedDrives {
public:
    virtual ~ScriptedDrives() = default;
    virtual void reset() = 0;  // no CD drives

    // Adds a CD drive (it takes the next letter from D:) and returns its index.
    virtual int addDrive(const std::string &deviceName) = 0;

    // Puts an audio disc in the drive: tracks 1..trackLengthsSeconds.size(),
    // audio unless listed in dataTracks, laid out one after another from
    // frame 150 (the 2-second pre-gap).
    virtual void insertAudioDisc(int drive, const std::vector<int> &trackLengthsSeconds,
                                 const std::vector<int> &dataTracks = {}) = 0;

    // A data disc mounted at mountPoint ("" when not mounted).
    virtual void insertDataDisc(int drive, const std::string &mountPoint) = 0;

    virtual void eject(int drive) = 0;

    // Tray commands that reached the table, in order.
    virtual const std::vector<TrayCall> &trayCalls() const = 0;
};

ScriptedDrives &scriptedDrives();

// -------------------------------------------------------- message box ----

struct MessageBoxCall {
    HWND owner = nullptr;
    std::string text;     // CP932
    std::string caption;  // CP932
    UINT type = 0;
};

class MessageBoxRecorder {
public:
    virtual ~MessageBoxRecorder() = default;
    virtual void reset() = 0;
    virtual const std::vector<MessageBoxCall> &calls() const = 0;
    // The answer of every later box (default: IDOK for MB_OK boxes, IDNO for
    // MB_YESNO boxes, IDCANCEL for MB_OKCANCEL).
    virtual void setAnswer(int answer) = 0;
};

MessageBoxRecorder &messageBoxRecorder();

// ------------------------------------------------------------- module ----

// GetModuleFileNameA answers as if the executable were this host path
// (absolute); "" restores the real answer. Lets a test put the settings
// file, which lives next to the executable, in a folder of its own.
void setModulePath(const std::string &hostPath);

}  // namespace hp::testing
