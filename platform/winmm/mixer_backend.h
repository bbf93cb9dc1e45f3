// The contract between the mixer functions of winmm and the mixers behind
// them.
//
// The mixer functions (platform/winmm/mixer.cpp) own the Win32 semantics:
// handles, line and control identifiers, record sizes, flags and error
// codes. A backend only describes devices, lines and controls by position
// and reads and writes control values.
//
// Values: a control of a line with C channels and (for a MULTIPLE control)
// N items holds C x max(N, 1) values, item-major as the platform lays out
// paDetails (all channels of item 0, then item 1, ...). Boolean values are
// 0 or 1; signed and unsigned values use the control's bounds.
//
// Backends: Hollyphone's own output mixer plus the ALSA cards on Linux, and
// a scripted topology for tests (platform/testing/scripted_mixer.h).
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "platform/win32.h"

namespace hp::winmm {

struct MixerControlInfo {
    DWORD type = MIXERCONTROL_CONTROLTYPE_VOLUME;  // MIXERCONTROL_CONTROLTYPE_*
    DWORD flags = 0;                               // fdwControl as reported
    DWORD multipleItems = 0;                       // cMultipleItems as reported
    std::string name;                              // CP932, at most 63 bytes
    std::string shortName;                         // CP932, at most 15 bytes
    LONG minimum = 0;
    LONG maximum = 65535;
    DWORD steps = 0;
};

struct MixerLineInfo {
    std::string name;       // CP932, at most 63 bytes
    std::string shortName;  // CP932, at most 15 bytes
    DWORD componentType = 0;
    DWORD channels = 2;
    DWORD targetType = MIXERLINE_TARGETTYPE_UNDEFINED;
    std::vector<MixerControlInfo> controls;
};

struct MixerDestinationInfo {
    MixerLineInfo line;
    std::vector<MixerLineInfo> sources;
};

struct MixerDeviceInfo {
    std::string name;  // CP932, at most 31 bytes (szPname)
    WORD manufacturerId = 0;
    WORD productId = 0;
    MMVERSION driverVersion = 0;
    std::vector<MixerDestinationInfo> destinations;
};

// Addresses one control: source == noSource addresses the destination line.
struct MixerControlAddress {
    static constexpr DWORD noSource = 0xFFFFFFFFu;
    UINT device = 0;
    DWORD destination = 0;
    DWORD source = noSource;
    DWORD control = 0;
};

// All calls come from the thread that calls the mixer functions.
class MixerBackend {
public:
    virtual ~MixerBackend() = default;

    // Number of devices now. Asked by every mixer function, so a card that
    // comes or goes shows at the next call.
    virtual UINT deviceCount() = 0;

    // Topology of one device; false when the index is out of range.
    virtual bool describe(UINT device, MixerDeviceInfo &info) = 0;

    // Current values, laid out as described above. MMSYSERR_NOERROR, or a
    // MIXERR_* / MMSYSERR_* code.
    virtual MMRESULT getValues(const MixerControlAddress &address, std::vector<LONG> &values) = 0;

    // New values, same layout; backends clamp them to the control's bounds.
    virtual MMRESULT setValues(const MixerControlAddress &address, const std::vector<LONG> &values) = 0;
};

// The backend in force. Installed on first use from the executable's wiring
// (platform/wiring.h); tests may install their own.
MixerBackend &mixerBackend();
void installMixerBackend(std::unique_ptr<MixerBackend> backend);

// Number of mixer handles open now (mixerOpen without mixerClose).
UINT openMixerHandleCount();

}  // namespace hp::winmm
