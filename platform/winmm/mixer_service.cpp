#include "platform/winmm/mixer_service.h"

#include "platform/null_backends.h"
#include "platform/wiring.h"

namespace hp::winmm {
namespace {

constexpr DWORD objectKindMask = 0x70000000u;

}  // namespace

MixerService &MixerService::instance()
{
    static MixerService *service = new MixerService;
    if (!service->backend_) {
        service->backend_ = wiring::makeMixerBackend();
        if (!service->backend_)
            service->backend_ = null::makeMixerBackend();
    }
    return *service;
}

std::recursive_mutex &MixerService::lock()
{
    static std::recursive_mutex *mutex = new std::recursive_mutex;
    return *mutex;
}

void MixerService::installBackend(std::unique_ptr<MixerBackend> backend)
{
    backend_ = backend ? std::move(backend) : null::makeMixerBackend();
}

MMRESULT MixerService::resolveObject(HMIXEROBJ object, DWORD flags, UINT &device)
{
    const auto value = reinterpret_cast<UINT_PTR>(object);
    const bool isHandle = (flags & MIXER_OBJECTF_HANDLE) != 0;
    switch (flags & objectKindMask) {
    case MIXER_OBJECTF_MIXER:
        if (isHandle) {
            const std::optional<UINT> opened = handles_.deviceOf(value);
            if (!opened)
                return MMSYSERR_INVALHANDLE;
            device = *opened;
            return MMSYSERR_NOERROR;
        }
        if (value >= backend().deviceCount())
            return MMSYSERR_BADDEVICEID;
        device = static_cast<UINT>(value);
        return MMSYSERR_NOERROR;
    case MIXER_OBJECTF_WAVEOUT:
    case MIXER_OBJECTF_WAVEIN:
    case MIXER_OBJECTF_MIDIOUT:
    case MIXER_OBJECTF_MIDIIN:
    case MIXER_OBJECTF_AUX:
        return isHandle ? MMSYSERR_INVALHANDLE : MMSYSERR_BADDEVICEID;
    default:
        return MMSYSERR_INVALFLAG;
    }
}

MMRESULT MixerService::describe(UINT device, std::unique_ptr<MixerTopology> &topology)
{
    MixerDeviceInfo info;
    if (device >= backend().deviceCount() || !backend().describe(device, info))
        return MMSYSERR_NODRIVER;
    topology = std::make_unique<MixerTopology>(std::move(info));
    return MMSYSERR_NOERROR;
}

}  // namespace hp::winmm
