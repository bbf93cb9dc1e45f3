// The contract between mciSendCommandA and the MCI device drivers.
//
// mciSendCommandA is a dispatcher and nothing more: it resolves the device
// type of an MCI_OPEN (explicit type, or the element's extension as the
// platform's "MCI Extensions" table maps it), hands the open to the driver of
// that type, keeps the table of device identifiers, and routes every later
// command to the device. It includes no host library. Each device type is a
// driver of its own, with one dispatch function per open device.
//
// Threading: every call comes from the thread that calls mciSendCommandA.
// A device may post MM_MCINOTIFY from any thread (PostMessageA is
// thread-safe).
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "platform/win32.h"

namespace hp::winmm {

// What the dispatcher resolved from an MCI_OPEN.
struct MciOpenRequest {
    MCIDEVICEID deviceId = 0;   // the identifier this device will get
    std::string deviceType;     // canonical lower-case type, e.g. "sequencer"
    bool hasElement = false;
    std::string element;        // CP932, exactly as given
    DWORD flags = 0;            // the caller's flags
    DWORD_PTR callback = 0;     // the caller's dwCallback (a window handle)
    DWORD_PTR params = 0;       // the caller's MCI_OPEN_PARMSA, or the larger record of
                                // the type (its extra fields follow lpstrAlias)
};

// One open device.
class MciDevice {
public:
    virtual ~MciDevice() = default;

    // Every command after MCI_OPEN, MCI_CLOSE included: a switch over the
    // command, guard clauses first, MCIERR_* codes out. params is the
    // caller's record and may be 0; a command that needs one answers
    // MCIERR_NULL_PARAMETER_BLOCK. Unsupported commands answer
    // MCIERR_UNSUPPORTED_FUNCTION. After MCI_CLOSE the dispatcher destroys
    // the device whatever it answered; the destructor releases every host
    // resource.
    virtual MCIERROR dispatch(UINT message, DWORD flags, DWORD_PTR params) = 0;
};

// One device type.
class MciDriver {
public:
    virtual ~MciDriver() = default;

    // Canonical lower-case type name: "waveaudio", "sequencer", "mpegvideo",
    // "cdaudio".
    virtual const char *deviceType() const = 0;

    // Opens a device. On success stores it in device and returns 0; on
    // failure returns an MCIERR_* code and holds nothing. The dispatcher
    // writes wDeviceID itself.
    virtual MCIERROR open(const MciOpenRequest &request, std::unique_ptr<MciDevice> &device) = 0;
};

// The drivers in force. Installed on first use from the executable's wiring
// (platform/wiring.h); tests may install their own. Installing closes every
// open device first.
void installMciDrivers(std::vector<std::unique_ptr<MciDriver>> drivers);

// Number of devices open now (what MCI_SYSINFO with MCI_SYSINFO_OPEN and
// MCI_SYSINFO_QUANTITY reports for all types).
UINT openMciDeviceCount();

// Device type that the platform picks for a file by its extension
// ("mp3" -> "mpegvideo", "mid" -> "sequencer", "wav" -> "waveaudio",
// "cda" -> "cdaudio"); "" when the extension is unknown.
std::string deviceTypeForElement(const std::string &element);

// Posts MM_MCINOTIFY(status, device) to the callback window when there is
// one. Safe from any thread.
void postMciNotify(DWORD_PTR callback, WORD status, MCIDEVICEID device);

}  // namespace hp::winmm
