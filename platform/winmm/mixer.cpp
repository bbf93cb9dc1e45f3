// The mixer functions: devices, handles, lines and controls.
//
// Argument checks come in the platform's order: the record and its size
// (MMSYSERR_INVALPARAM), the flags (MMSYSERR_INVALFLAG), the mixer object
// (MMSYSERR_BADDEVICEID, MMSYSERR_INVALHANDLE), then the line or control the
// record names (MIXERR_INVALLINE, MIXERR_INVALCONTROL).
#include <algorithm>
#include <cstring>
#include <mutex>

#include "platform/win32.h"
#include "platform/kernel32/cp932_text.h"
#include "platform/winmm/mixer_backend.h"
#include "platform/winmm/mixer_service.h"

namespace hp::winmm {
namespace {

constexpr DWORD objectFlagsMask = 0xF0000000u;

using Guard = std::lock_guard<std::recursive_mutex>;

// The device that mixerGetDevCapsA means: an index, or else an open handle.
MMRESULT deviceOfCapsArgument(MixerService &service, UINT_PTR argument, UINT &device)
{
    if (argument < service.backend().deviceCount()) {
        device = static_cast<UINT>(argument);
        return MMSYSERR_NOERROR;
    }
    const std::optional<UINT> opened = service.handles().deviceOf(argument);
    if (!opened)
        return MMSYSERR_BADDEVICEID;
    device = *opened;
    return MMSYSERR_NOERROR;
}

MMRESULT checkOpenCallback(DWORD flags)
{
    switch (flags & CALLBACK_TYPEMASK) {
    case CALLBACK_NULL:
    case CALLBACK_WINDOW:
    case CALLBACK_THREAD:
    case CALLBACK_EVENT:
        // No change notifications are sent, so any of these is content.
        return MMSYSERR_NOERROR;
    default:
        // Mixers take no callback function.
        return MMSYSERR_INVALFLAG;
    }
}

void fillLine(const MixerTopology &topology, const MixerLineRef &reference, MIXERLINEA &record)
{
    const MixerLineInfo &line = *reference.line;
    record.dwDestination = reference.destination;
    record.dwSource = reference.source;
    record.dwLineID = reference.lineId;
    record.fdwLine = MIXERLINE_LINEF_ACTIVE | (reference.isSource() ? MIXERLINE_LINEF_SOURCE : 0);
    record.dwUser = 0;
    record.dwComponentType = line.componentType;
    record.cChannels = line.channels;
    record.cConnections = reference.connections;
    record.cControls = static_cast<DWORD>(line.controls.size());
    kernel32::copyCp932Field(record.szShortName, sizeof(record.szShortName), line.shortName);
    kernel32::copyCp932Field(record.szName, sizeof(record.szName), line.name);
    record.Target.dwType = line.targetType;
    record.Target.dwDeviceID = 0;
    record.Target.wMid = topology.device().manufacturerId;
    record.Target.wPid = topology.device().productId;
    record.Target.vDriverVersion = topology.device().driverVersion;
    kernel32::copyCp932Field(record.Target.szPname, sizeof(record.Target.szPname),
                   line.targetType == MIXERLINE_TARGETTYPE_UNDEFINED ? std::string()
                                                                     : topology.device().name);
}

void fillControl(const MixerControlRef &reference, MIXERCONTROLA &record)
{
    const MixerControlInfo &control = *reference.control;
    std::memset(&record, 0, sizeof(record));
    record.cbStruct = sizeof(MIXERCONTROLA);
    record.dwControlID = reference.controlId;
    record.dwControlType = control.type;
    record.fdwControl = control.flags;
    record.cMultipleItems = control.multipleItems;
    kernel32::copyCp932Field(record.szShortName, sizeof(record.szShortName), control.shortName);
    kernel32::copyCp932Field(record.szName, sizeof(record.szName), control.name);
    record.Bounds.lMinimum = control.minimum;
    record.Bounds.lMaximum = control.maximum;
    record.Metrics.cSteps = control.steps;
}

// Entry i of the caller's control array, whose stride is cbmxctrl.
MIXERCONTROLA &controlEntry(const MIXERLINECONTROLSA &record, DWORD index)
{
    auto *base = reinterpret_cast<BYTE *>(record.pamxctrl);
    return *reinterpret_cast<MIXERCONTROLA *>(base + static_cast<size_t>(index) * record.cbmxctrl);
}

}  // namespace

MixerBackend &mixerBackend()
{
    Guard guard(MixerService::lock());
    return MixerService::instance().backend();
}

void installMixerBackend(std::unique_ptr<MixerBackend> backend)
{
    Guard guard(MixerService::lock());
    MixerService::instance().installBackend(std::move(backend));
}

UINT openMixerHandleCount()
{
    Guard guard(MixerService::lock());
    return MixerService::instance().handles().count();
}

}  // namespace hp::winmm

using hp::winmm::Guard;
using hp::winmm::MixerLineRef;
using hp::winmm::MixerService;
using hp::winmm::MixerTopology;

UINT WINAPI mixerGetNumDevs(void)
{
    Guard guard(MixerService::lock());
    return MixerService::instance().backend().deviceCount();
}

MMRESULT WINAPI mixerGetDevCapsA(UINT_PTR device, LPMIXERCAPSA caps, UINT size)
{
    if (!caps)
        return MMSYSERR_INVALPARAM;
    Guard guard(MixerService::lock());
    MixerService &service = MixerService::instance();
    UINT index = 0;
    if (const MMRESULT error = hp::winmm::deviceOfCapsArgument(service, device, index))
        return error;
    if (size == 0)
        return MMSYSERR_NOERROR;
    std::unique_ptr<MixerTopology> topology;
    if (service.describe(index, topology) != MMSYSERR_NOERROR)
        return MMSYSERR_BADDEVICEID;

    MIXERCAPSA filled{};
    filled.wMid = topology->device().manufacturerId;
    filled.wPid = topology->device().productId;
    filled.vDriverVersion = topology->device().driverVersion;
    hp::kernel32::copyCp932Field(filled.szPname, sizeof(filled.szPname), topology->device().name);
    filled.fdwSupport = 0;
    filled.cDestinations = topology->destinationCount();
    std::memcpy(caps, &filled, std::min<size_t>(size, sizeof(filled)));
    return MMSYSERR_NOERROR;
}

MMRESULT WINAPI mixerOpen(LPHMIXER mixer, UINT device, DWORD_PTR callback, DWORD_PTR instance,
                          DWORD flags)
{
    static_cast<void>(callback);
    static_cast<void>(instance);
    if (!mixer)
        return MMSYSERR_INVALPARAM;
    if (const MMRESULT error = hp::winmm::checkOpenCallback(flags))
        return error;
    if (flags & ~(hp::winmm::objectFlagsMask | CALLBACK_TYPEMASK))
        return MMSYSERR_INVALFLAG;
    Guard guard(MixerService::lock());
    MixerService &service = MixerService::instance();
    UINT index = 0;
    const auto object = reinterpret_cast<HMIXEROBJ>(static_cast<UINT_PTR>(device));
    if (const MMRESULT error = service.resolveObject(object, flags, index))
        return error;
    const HMIXER opened = service.handles().open(index);
    if (!opened)
        return MMSYSERR_NOMEM;
    *mixer = opened;
    return MMSYSERR_NOERROR;
}

MMRESULT WINAPI mixerClose(HMIXER mixer)
{
    Guard guard(MixerService::lock());
    return MixerService::instance().handles().close(mixer) ? MMSYSERR_NOERROR
                                                            : MMSYSERR_INVALHANDLE;
}

MMRESULT WINAPI mixerGetLineInfoA(HMIXEROBJ mixer, LPMIXERLINEA line, DWORD flags)
{
    if (!line || line->cbStruct < sizeof(MIXERLINEA))
        return MMSYSERR_INVALPARAM;
    if (flags & ~(hp::winmm::objectFlagsMask | MIXER_GETLINEINFOF_QUERYMASK))
        return MMSYSERR_INVALFLAG;
    const DWORD query = flags & MIXER_GETLINEINFOF_QUERYMASK;
    if (query > MIXER_GETLINEINFOF_TARGETTYPE)
        return MMSYSERR_INVALFLAG;

    Guard guard(MixerService::lock());
    MixerService &service = MixerService::instance();
    UINT device = 0;
    if (const MMRESULT error = service.resolveObject(mixer, flags, device))
        return error;
    std::unique_ptr<MixerTopology> topology;
    if (const MMRESULT error = service.describe(device, topology))
        return error;

    std::optional<MixerLineRef> found;
    switch (query) {
    case MIXER_GETLINEINFOF_DESTINATION:
        found = topology->destination(line->dwDestination);
        break;
    case MIXER_GETLINEINFOF_SOURCE:
        found = topology->source(line->dwDestination, line->dwSource);
        break;
    case MIXER_GETLINEINFOF_LINEID:
        found = topology->lineById(line->dwLineID);
        break;
    case MIXER_GETLINEINFOF_COMPONENTTYPE:
        found = topology->lineByComponentType(line->dwComponentType);
        break;
    case MIXER_GETLINEINFOF_TARGETTYPE:
        found = topology->lineByTargetType(line->Target.dwType);
        break;
    }
    if (!found)
        return MIXERR_INVALLINE;
    hp::winmm::fillLine(*topology, *found, *line);
    return MMSYSERR_NOERROR;
}

MMRESULT WINAPI mixerGetLineControlsA(HMIXEROBJ mixer, LPMIXERLINECONTROLSA controls, DWORD flags)
{
    if (!controls || controls->cbStruct < sizeof(MIXERLINECONTROLSA) ||
        controls->cbmxctrl < sizeof(MIXERCONTROLA) || !controls->pamxctrl)
        return MMSYSERR_INVALPARAM;
    if (flags & ~(hp::winmm::objectFlagsMask | MIXER_GETLINECONTROLSF_QUERYMASK))
        return MMSYSERR_INVALFLAG;
    const DWORD query = flags & MIXER_GETLINECONTROLSF_QUERYMASK;
    if (query > MIXER_GETLINECONTROLSF_ONEBYTYPE)
        return MMSYSERR_INVALFLAG;

    Guard guard(MixerService::lock());
    MixerService &service = MixerService::instance();
    UINT device = 0;
    if (const MMRESULT error = service.resolveObject(mixer, flags, device))
        return error;
    std::unique_ptr<MixerTopology> topology;
    if (const MMRESULT error = service.describe(device, topology))
        return error;

    if (query == MIXER_GETLINECONTROLSF_ONEBYID) {
        if (controls->cControls != 1)
            return MMSYSERR_INVALPARAM;
        const std::optional<hp::winmm::MixerControlRef> found =
            topology->controlById(controls->dwControlID);
        if (!found)
            return MIXERR_INVALCONTROL;
        controls->dwLineID = found->line.lineId;
        hp::winmm::fillControl(*found, hp::winmm::controlEntry(*controls, 0));
        return MMSYSERR_NOERROR;
    }

    const std::optional<MixerLineRef> line = topology->lineById(controls->dwLineID);
    if (!line)
        return MIXERR_INVALLINE;
    if (query == MIXER_GETLINECONTROLSF_ONEBYTYPE) {
        // The platform takes the count as 1 here, whatever the record says.
        const std::optional<hp::winmm::MixerControlRef> found =
            topology->controlOfType(*line, controls->dwControlType);
        if (!found)
            return MIXERR_INVALCONTROL;
        hp::winmm::fillControl(*found, hp::winmm::controlEntry(*controls, 0));
        return MMSYSERR_NOERROR;
    }

    const auto count = static_cast<DWORD>(line->line->controls.size());
    if (controls->cControls != count)
        return MMSYSERR_INVALPARAM;
    for (DWORD index = 0; index < count; ++index)
        hp::winmm::fillControl(topology->control(*line, index),
                               hp::winmm::controlEntry(*controls, index));
    return MMSYSERR_NOERROR;
}
