// What the mixer functions share: the backend in force, the open handles,
// and the way a mixer object (an index or a handle, per the MIXER_OBJECTF_*
// bits of the caller's flags) becomes a device.
//
// Lives until the process ends, like the MCI device table, so that no host
// mixer is torn down by static destruction.
#pragma once

#include <memory>
#include <mutex>

#include "platform/winmm/mixer_backend.h"
#include "platform/winmm/mixer_handles.h"
#include "platform/winmm/mixer_topology.h"

namespace hp::winmm {

class MixerService {
public:
    // With the wiring's backend installed on first use.
    static MixerService &instance();
    static std::recursive_mutex &lock();

    MixerBackend &backend() { return *backend_; }
    void installBackend(std::unique_ptr<MixerBackend> backend);
    MixerHandleTable &handles() { return handles_; }

    // The device that an object names. The object kinds are the high four
    // bits of flags; this layer has no wave, MIDI or auxiliary devices, so
    // their mixers cannot be reached through them.
    MMRESULT resolveObject(HMIXEROBJ object, DWORD flags, UINT &device);

    // The layout of a device now; MMSYSERR_NODRIVER when it has gone.
    MMRESULT describe(UINT device, std::unique_ptr<MixerTopology> &topology);

private:
    MixerService() = default;

    std::unique_ptr<MixerBackend> backend_;
    MixerHandleTable handles_;
};

}  // namespace hp::winmm
