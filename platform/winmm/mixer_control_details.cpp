// mixerGetControlDetailsA and mixerSetControlDetails: control values in the
// caller's paDetails array.
//
// Shape of the array: cChannels entries per item, items one after another
// (one item unless the control is MULTIPLE), each entry cbDetails bytes
// apart. cChannels is the line's channel count, or 1 for "all channels as
// one": a set with 1 writes the value to every channel, a get with 1 reads
// the first channel. A UNIFORM control holds one value for all channels
// whatever cChannels says. A MULTIPLE control must be asked for with its
// cMultipleItems; any other control ignores the field. Nothing is written
// past cChannels x items entries of the caller's array.
#include <cstring>
#include <mutex>
#include <vector>

#include "platform/win32.h"
#include "platform/kernel32/cp932_text.h"
#include "platform/winmm/mixer_service.h"

namespace hp::winmm {
namespace {

using Guard = std::lock_guard<std::recursive_mutex>;

constexpr DWORD objectFlagsMask = 0xF0000000u;
constexpr DWORD valueBytes = sizeof(MIXERCONTROLDETAILS_UNSIGNED);

struct ValueShape {
    DWORD lineChannels = 1;       // values per item in the backend
    DWORD requestedChannels = 1;  // entries per item in the caller's array
    DWORD items = 1;              // rows in both
    bool uniform = false;
};

bool isMultiple(const MixerControlInfo &control)
{
    return (control.flags & MIXERCONTROL_CONTROLF_MULTIPLE) != 0;
}

MMRESULT shapeOf(const MixerControlRef &control, const MIXERCONTROLDETAILS &details,
                 ValueShape &shape)
{
    shape.lineChannels = control.line.line->channels == 0 ? 1 : control.line.line->channels;
    shape.uniform = (control.control->flags & MIXERCONTROL_CONTROLF_UNIFORM) != 0;
    if (details.cChannels != 1 && details.cChannels != shape.lineChannels)
        return MMSYSERR_INVALPARAM;
    shape.requestedChannels = details.cChannels;
    if (isMultiple(*control.control)) {
        if (details.cMultipleItems != control.control->multipleItems ||
            control.control->multipleItems == 0)
            return MMSYSERR_INVALPARAM;
        shape.items = control.control->multipleItems;
    }
    return MMSYSERR_NOERROR;
}

BYTE *entryAt(const MIXERCONTROLDETAILS &details, const ValueShape &shape, DWORD item,
              DWORD channel)
{
    const size_t index = static_cast<size_t>(item) * shape.requestedChannels + channel;
    return static_cast<BYTE *>(details.paDetails) + index * details.cbDetails;
}

// The control a details record names, with the record's own checks done.
MMRESULT findControl(HMIXEROBJ mixer, const MIXERCONTROLDETAILS *details, DWORD flags,
                     DWORD queryMask, UINT &device, std::unique_ptr<MixerTopology> &topology,
                     MixerControlRef &control)
{
    if (!details || details->cbStruct < sizeof(MIXERCONTROLDETAILS) || !details->paDetails)
        return MMSYSERR_INVALPARAM;
    if (flags & ~(objectFlagsMask | queryMask))
        return MMSYSERR_INVALFLAG;
    MixerService &service = MixerService::instance();
    if (const MMRESULT error = service.resolveObject(mixer, flags, device))
        return error;
    if (const MMRESULT error = service.describe(device, topology))
        return error;
    const std::optional<MixerControlRef> found = topology->controlById(details->dwControlID);
    if (!found)
        return MIXERR_INVALCONTROL;
    control = *found;
    return MMSYSERR_NOERROR;
}

MMRESULT readValues(UINT device, const MixerTopology &topology, const MixerControlRef &control,
                    const ValueShape &shape, std::vector<LONG> &values)
{
    const MMRESULT result =
        MixerService::instance().backend().getValues(topology.address(device, control), values);
    if (result != MMSYSERR_NOERROR)
        return result;
    if (values.size() != static_cast<size_t>(shape.lineChannels) * shape.items)
        return MMSYSERR_ERROR;
    return MMSYSERR_NOERROR;
}

MMRESULT getValueDetails(UINT device, const MixerTopology &topology,
                         const MixerControlRef &control, MIXERCONTROLDETAILS &details)
{
    if (control.control->type == MIXERCONTROL_CONTROLTYPE_CUSTOM)
        return MMSYSERR_NOTSUPPORTED;
    if (details.cbDetails < valueBytes)
        return MMSYSERR_INVALPARAM;
    ValueShape shape;
    if (const MMRESULT error = shapeOf(control, details, shape))
        return error;
    std::vector<LONG> values;
    if (const MMRESULT error = readValues(device, topology, control, shape, values))
        return error;

    const bool firstChannelOnly = shape.uniform || shape.requestedChannels == 1;
    for (DWORD item = 0; item < shape.items; ++item) {
        for (DWORD channel = 0; channel < shape.requestedChannels; ++channel) {
            const LONG value = values[item * shape.lineChannels + (firstChannelOnly ? 0 : channel)];
            std::memcpy(entryAt(details, shape, item, channel), &value, valueBytes);
        }
    }
    return MMSYSERR_NOERROR;
}

// Item names of a list control on a destination line: its sources, as the
// platform lists the inputs of a MUX or MIXER control.
MMRESULT getListTextDetails(const MixerTopology &topology, const MixerControlRef &control,
                            MIXERCONTROLDETAILS &details)
{
    if (!isMultiple(*control.control))
        return MMSYSERR_INVALPARAM;
    if (details.cbDetails < sizeof(MIXERCONTROLDETAILS_LISTTEXTA))
        return MMSYSERR_INVALPARAM;
    ValueShape shape;
    if (const MMRESULT error = shapeOf(control, details, shape))
        return error;
    if (control.line.isSource() || control.line.connections != shape.items)
        return MMSYSERR_NOTSUPPORTED;

    for (DWORD item = 0; item < shape.items; ++item) {
        const std::optional<MixerLineRef> source =
            topology.source(control.line.destination, item);
        MIXERCONTROLDETAILS_LISTTEXTA text{};
        text.dwParam1 = source->lineId;
        text.dwParam2 = source->line->componentType;
        kernel32::copyCp932Field(text.szName, sizeof(text.szName), source->line->name);
        for (DWORD channel = 0; channel < shape.requestedChannels; ++channel)
            std::memcpy(entryAt(details, shape, item, channel), &text, sizeof(text));
    }
    return MMSYSERR_NOERROR;
}

MMRESULT setValueDetails(UINT device, const MixerTopology &topology,
                         const MixerControlRef &control, const MIXERCONTROLDETAILS &details)
{
    if (control.control->type == MIXERCONTROL_CONTROLTYPE_CUSTOM)
        return MMSYSERR_NOTSUPPORTED;
    if (details.cbDetails < valueBytes)
        return MMSYSERR_INVALPARAM;
    ValueShape shape;
    if (const MMRESULT error = shapeOf(control, details, shape))
        return error;

    const bool isBoolean =
        (control.control->type & MIXERCONTROL_CT_UNITS_MASK) == MIXERCONTROL_CT_UNITS_BOOLEAN;
    const bool oneValuePerItem = shape.uniform || shape.requestedChannels == 1;
    std::vector<LONG> values(static_cast<size_t>(shape.lineChannels) * shape.items);
    for (DWORD item = 0; item < shape.items; ++item) {
        for (DWORD channel = 0; channel < shape.lineChannels; ++channel) {
            LONG value = 0;
            std::memcpy(&value, entryAt(details, shape, item, oneValuePerItem ? 0 : channel),
                        valueBytes);
            values[item * shape.lineChannels + channel] = isBoolean ? (value != 0) : value;
        }
    }
    return MixerService::instance().backend().setValues(topology.address(device, control),
                                                        values);
}

}  // namespace
}  // namespace hp::winmm

MMRESULT WINAPI mixerGetControlDetailsA(HMIXEROBJ mixer, LPMIXERCONTROLDETAILS details,
                                        DWORD flags)
{
    using namespace hp::winmm;
    Guard guard(MixerService::lock());
    UINT device = 0;
    std::unique_ptr<MixerTopology> topology;
    MixerControlRef control;
    if (const MMRESULT error = findControl(mixer, details, flags,
                                           MIXER_GETCONTROLDETAILSF_QUERYMASK, device, topology,
                                           control))
        return error;
    switch (flags & MIXER_GETCONTROLDETAILSF_QUERYMASK) {
    case MIXER_GETCONTROLDETAILSF_VALUE:
        return getValueDetails(device, *topology, control, *details);
    case MIXER_GETCONTROLDETAILSF_LISTTEXT:
        return getListTextDetails(*topology, control, *details);
    default:
        return MMSYSERR_INVALFLAG;
    }
}

MMRESULT WINAPI mixerSetControlDetails(HMIXEROBJ mixer, LPMIXERCONTROLDETAILS details, DWORD flags)
{
    using namespace hp::winmm;
    if ((flags & MIXER_SETCONTROLDETAILSF_QUERYMASK) == MIXER_SETCONTROLDETAILSF_CUSTOM)
        return MMSYSERR_NOTSUPPORTED;
    Guard guard(MixerService::lock());
    UINT device = 0;
    std::unique_ptr<MixerTopology> topology;
    MixerControlRef control;
    if (const MMRESULT error = findControl(mixer, details, flags,
                                           MIXER_SETCONTROLDETAILSF_QUERYMASK, device, topology,
                                           control))
        return error;
    if ((flags & MIXER_SETCONTROLDETAILSF_QUERYMASK) != MIXER_SETCONTROLDETAILSF_VALUE)
        return MMSYSERR_INVALFLAG;
    return setValueDetails(device, *topology, control, *details);
}
