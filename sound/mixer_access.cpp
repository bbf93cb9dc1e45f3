// Mixer access by position: names of devices, lines and controls into
// fixed-stride slots, and one control's value spread over or averaged from
// all of its channels and items. Each operation opens the mixer it needs
// and closes it again before it returns.
#include "sound/sound_device.h"

#include <stdint.h>
#include <stdlib.h>
#include <string.h>

#include "sound/error_box.h"

namespace {

constexpr char roomText[] = "関数呼び出し時のメモリ領域が足りません";
constexpr char controlTypeText[] = "コントロールの設定。コントロールタイプ取得失敗";
constexpr char allocationText[] = "コントロールの設定。メモリの動的確保が出来ません";
// A control with this name holds one value for the whole line.
constexpr char muteControlName[] = "ミュート";

constexpr DWORD destinationLineQuery = MIXER_OBJECTF_HMIXER | MIXER_GETLINEINFOF_DESTINATION;
constexpr DWORD sourceLineQuery = MIXER_OBJECTF_HMIXER | MIXER_GETLINEINFOF_SOURCE;
constexpr DWORD allControlsQuery = MIXER_OBJECTF_HMIXER | MIXER_GETLINECONTROLSF_ALL;
constexpr DWORD getValueQuery = MIXER_OBJECTF_HMIXER | MIXER_GETCONTROLDETAILSF_VALUE;
constexpr DWORD setValueQuery = MIXER_OBJECTF_HMIXER | MIXER_SETCONTROLDETAILSF_VALUE;

// A value array beyond this many entries is refused as an allocation
// failure; no mixer has controls of that size.
constexpr uint64_t maxValueEntries = 1u << 20;

enum class DetailKind { None, Boolean, Signed, Unsigned };

DetailKind detailKindOf(DWORD controlType)
{
    switch (controlType) {
    case MIXERCONTROL_CONTROLTYPE_BOOLEANMETER:
    case MIXERCONTROL_CONTROLTYPE_BOOLEAN:
    case MIXERCONTROL_CONTROLTYPE_ONOFF:
    case MIXERCONTROL_CONTROLTYPE_MUTE:
    case MIXERCONTROL_CONTROLTYPE_MONO:
    case MIXERCONTROL_CONTROLTYPE_LOUDNESS:
    case MIXERCONTROL_CONTROLTYPE_STEREOENH:
    case MIXERCONTROL_CONTROLTYPE_BUTTON:
    case MIXERCONTROL_CONTROLTYPE_SINGLESELECT:
    case MIXERCONTROL_CONTROLTYPE_MUX:
    case MIXERCONTROL_CONTROLTYPE_MULTIPLESELECT:
    case MIXERCONTROL_CONTROLTYPE_MIXER:
        return DetailKind::Boolean;
    case MIXERCONTROL_CONTROLTYPE_SIGNEDMETER:
    case MIXERCONTROL_CONTROLTYPE_PEAKMETER:
    case MIXERCONTROL_CONTROLTYPE_SIGNED:
    case MIXERCONTROL_CONTROLTYPE_DECIBELS:
    case MIXERCONTROL_CONTROLTYPE_SLIDER:
    case MIXERCONTROL_CONTROLTYPE_PAN:
    case MIXERCONTROL_CONTROLTYPE_QSOUNDPAN:
        return DetailKind::Signed;
    case MIXERCONTROL_CONTROLTYPE_UNSIGNEDMETER:
    case MIXERCONTROL_CONTROLTYPE_UNSIGNED:
    case MIXERCONTROL_CONTROLTYPE_PERCENT:
    case MIXERCONTROL_CONTROLTYPE_FADER:
    case MIXERCONTROL_CONTROLTYPE_VOLUME:
    case MIXERCONTROL_CONTROLTYPE_BASS:
    case MIXERCONTROL_CONTROLTYPE_TREBLE:
    case MIXERCONTROL_CONTROLTYPE_EQUALIZER:
    case MIXERCONTROL_CONTROLTYPE_MICROTIME:
    case MIXERCONTROL_CONTROLTYPE_MILLITIME:
        return DetailKind::Unsigned;
    default:
        return DetailKind::None;
    }
}

// One mixer handle for the duration of an operation. The platform's answer
// is not examined: a device that fails to open leaves a null handle, which
// every later call refuses.
class OpenMixer {
public:
    explicit OpenMixer(int device)
    {
        if (mixerOpen(&handle_, static_cast<UINT>(device), 0, 0, 0) != MMSYSERR_NOERROR) {
            handle_ = nullptr;
        }
    }
    ~OpenMixer()
    {
        if (handle_) {
            mixerClose(handle_);
        }
    }
    OpenMixer(const OpenMixer &) = delete;
    OpenMixer &operator=(const OpenMixer &) = delete;

    HMIXEROBJ object() const { return reinterpret_cast<HMIXEROBJ>(handle_); }

private:
    HMIXER handle_ = nullptr;
};

// Memory from malloc/calloc, freed when the owner goes.
template <typename T>
class HeapArray {
public:
    explicit HeapArray(size_t count)
        : items_(static_cast<T *>(calloc(count == 0 ? 1 : count, sizeof(T))))
    {
    }
    ~HeapArray() { free(items_); }
    HeapArray(const HeapArray &) = delete;
    HeapArray &operator=(const HeapArray &) = delete;

    bool allocated() const { return items_ != nullptr; }
    T *get() const { return items_; }
    T &operator[](size_t index) const { return items_[index]; }

private:
    T *items_;
};

size_t boundedLength(const char *text, size_t fieldSize)
{
    size_t length = 0;
    while (length < fieldSize && text[length] != '\0') {
        ++length;
    }
    return length;
}

// The caller's name slots: name i goes to buffer + i * stride.
class NameSlots {
public:
    NameSlots(char *buffer, int slots, int stride)
        : buffer_(buffer), slots_(buffer ? slots : 0), stride_(stride)
    {
    }

    bool holds(DWORD count) const { return slots_ >= 0 && count <= static_cast<DWORD>(slots_); }

    // The platform's name fields are fixed arrays; a name that fills its
    // field without a terminator ends there.
    bool store(DWORD index, const char *name, size_t fieldSize)
    {
        size_t length = boundedLength(name, fieldSize);
        if (stride_ < 1 || length + 1 > static_cast<size_t>(stride_)) {
            return false;
        }
        char *slot = buffer_ + static_cast<size_t>(index) * static_cast<size_t>(stride_);
        memcpy(slot, name, length);
        slot[length] = '\0';
        return true;
    }

private:
    char *buffer_;
    int slots_;
    int stride_;
};

MIXERLINEA destinationLine(HMIXEROBJ mixer, int destination)
{
    MIXERLINEA line = {};
    line.cbStruct = sizeof line;
    line.dwDestination = static_cast<DWORD>(destination);
    mixerGetLineInfoA(mixer, &line, destinationLineQuery);
    return line;
}

MIXERLINEA sourceLine(HMIXEROBJ mixer, int destination, int source)
{
    MIXERLINEA line = {};
    line.cbStruct = sizeof line;
    line.dwDestination = static_cast<DWORD>(destination);
    line.dwSource = static_cast<DWORD>(source);
    mixerGetLineInfoA(mixer, &line, sourceLineQuery);
    return line;
}

void fetchControls(HMIXEROBJ mixer, const MIXERLINEA &line, MIXERCONTROLA *controls)
{
    MIXERLINECONTROLSA request = {};
    request.cbStruct = sizeof request;
    request.dwLineID = line.dwLineID;
    request.cControls = line.cControls;
    request.cbmxctrl = sizeof(MIXERCONTROLA);
    request.pamxctrl = controls;
    mixerGetLineControlsA(mixer, &request, allControlsQuery);
}

void reportNoRoom(HWND window) { showLibraryError(window, roomText); }

// What the value array of one control looks like.
struct ControlShape {
    DWORD controlId = 0;
    DetailKind kind = DetailKind::None;
    DWORD channels = 0;
    DWORD items = 0;

    uint64_t entryCount() const { return uint64_t{channels} * (uint64_t{items} + 1); }
};

// Finds the control at a position of a source line and works out its shape.
// Shows the matching message and answers false when the control has no
// value kind (or does not exist) or its records cannot be allocated.
bool describeControl(HWND window, HMIXEROBJ mixer, int destination, int source, int control,
                     ControlShape &shape)
{
    MIXERLINEA line = sourceLine(mixer, destination, source);
    if (control < 0 || static_cast<DWORD>(control) >= line.cControls) {
        showLibraryError(window, controlTypeText);
        return false;
    }
    HeapArray<MIXERCONTROLA> controls(line.cControls);
    if (!controls.allocated()) {
        showLibraryError(window, allocationText);
        return false;
    }
    fetchControls(mixer, line, controls.get());
    const MIXERCONTROLA &found = controls[static_cast<size_t>(control)];
    shape.kind = detailKindOf(found.dwControlType);
    if (shape.kind == DetailKind::None) {
        showLibraryError(window, controlTypeText);
        return false;
    }
    char name[sizeof found.szName + 1] = {};
    memcpy(name, found.szName, sizeof found.szName);
    // Both flag tests compare the whole flag word.
    if (found.fdwControl == MIXERCONTROL_CONTROLF_UNIFORM || lstrcmpA(name, muteControlName) == 0) {
        shape.channels = 1;
    } else {
        shape.channels = line.cChannels;
    }
    shape.items = found.fdwControl == MIXERCONTROL_CONTROLF_MULTIPLE ? found.cMultipleItems : 0;
    shape.controlId = found.dwControlID;
    return true;
}

MIXERCONTROLDETAILS detailsFor(const ControlShape &shape, LONG *values)
{
    MIXERCONTROLDETAILS details = {};
    details.cbStruct = sizeof details;
    details.dwControlID = shape.controlId;
    details.cChannels = shape.channels;
    details.cMultipleItems = shape.items;
    details.cbDetails = sizeof(LONG);
    details.paDetails = values;
    return details;
}

// The average of the entries the mixer fills: with N items the array has a
// spare row of channels that stays 0, so the total is divided by channels x
// items. Sums are taken wide so that large values do not wrap.
DWORD averageOf(const ControlShape &shape, const LONG *values, size_t count)
{
    uint64_t divisor = 1;
    if (shape.channels != 0 && shape.items != 0) {
        divisor = uint64_t{shape.channels} * shape.items;
    } else if (shape.items != 0) {
        divisor = shape.items;
    } else if (shape.channels != 0) {
        divisor = shape.channels;
    }
    if (shape.kind == DetailKind::Signed) {
        int64_t total = 0;
        for (size_t i = 0; i < count; ++i) {
            total += values[i];
        }
        return static_cast<DWORD>(static_cast<LONG>(total / static_cast<int64_t>(divisor)));
    }
    uint64_t total = 0;
    for (size_t i = 0; i < count; ++i) {
        if (shape.kind == DetailKind::Boolean) {
            total += values[i] == 1 ? 1 : 0;
        } else {
            total += static_cast<DWORD>(values[i]);
        }
    }
    return static_cast<DWORD>(total / divisor);
}

// Opens the mixer, describes the control and gives use(mixer, shape,
// values, count) the control's cleared value array; answers 1 after it.
// Shows the matching message and answers 0 when the control cannot be
// described or its array cannot be had.
template <typename UseValues>
int withControlValues(HWND window, int device, int destination, int source, int control,
                      UseValues use)
{
    OpenMixer mixer(device);
    ControlShape shape;
    if (!describeControl(window, mixer.object(), destination, source, control, shape)) {
        return 0;
    }
    uint64_t count = shape.entryCount();
    HeapArray<LONG> values(count <= maxValueEntries ? static_cast<size_t>(count) : 0);
    if (count > maxValueEntries || !values.allocated()) {
        showLibraryError(window, allocationText);
        return 0;
    }
    use(mixer.object(), shape, values.get(), static_cast<size_t>(count));
    return 1;
}

}  // namespace

int SoundDevice::listMixerDevices(HWND window, int *countOut, char *buffer, int slots, int stride)
{
    int count = 0;
    if (!countOut) {
        countOut = &count;
    }
    *countOut = 0;
    UINT devices = mixerGetNumDevs();
    *countOut = static_cast<int>(devices);
    NameSlots names(buffer, slots, stride);
    if (!names.holds(devices)) {
        reportNoRoom(window);
        return 0;
    }
    for (UINT device = 0; device < devices; ++device) {
        MIXERCAPSA caps = {};
        mixerGetDevCapsA(device, &caps, sizeof caps);
        if (!names.store(device, caps.szPname, sizeof caps.szPname)) {
            reportNoRoom(window);
            return 0;
        }
    }
    return 1;
}

int SoundDevice::listDestinationLines(HWND window, int device, int *countOut, char *buffer,
                                      int slots, int stride)
{
    MIXERCAPSA caps = {};
    mixerGetDevCapsA(static_cast<UINT>(device), &caps, sizeof caps);
    if (countOut) {
        *countOut = static_cast<int>(caps.cDestinations);
    }
    NameSlots names(buffer, slots, stride);
    if (!names.holds(caps.cDestinations)) {
        reportNoRoom(window);
        return 0;
    }
    OpenMixer mixer(device);
    for (DWORD destination = 0; destination < caps.cDestinations; ++destination) {
        MIXERLINEA line = destinationLine(mixer.object(), static_cast<int>(destination));
        if (!names.store(destination, line.szName, sizeof line.szName)) {
            reportNoRoom(window);
            return 0;
        }
    }
    return 1;
}

int SoundDevice::listSourceLines(HWND window, int device, int destination, int *countOut,
                                 char *buffer, int slots, int stride)
{
    OpenMixer mixer(device);
    MIXERLINEA target = destinationLine(mixer.object(), destination);
    if (countOut) {
        *countOut = static_cast<int>(target.cConnections);
    }
    NameSlots names(buffer, slots, stride);
    if (!names.holds(target.cConnections)) {
        reportNoRoom(window);
        return 0;
    }
    for (DWORD source = 0; source < target.cConnections; ++source) {
        MIXERLINEA line = sourceLine(mixer.object(), destination, static_cast<int>(source));
        if (!names.store(source, line.szName, sizeof line.szName)) {
            reportNoRoom(window);
            return 0;
        }
    }
    return 1;
}

int SoundDevice::listLineControls(HWND window, int device, int destination, int source,
                                  int *countOut, char *buffer, int slots, int stride)
{
    OpenMixer mixer(device);
    MIXERLINEA line = sourceLine(mixer.object(), destination, source);
    if (countOut) {
        *countOut = static_cast<int>(line.cControls);
    }
    NameSlots names(buffer, slots, stride);
    if (!names.holds(line.cControls)) {
        reportNoRoom(window);
        return 0;
    }
    HeapArray<MIXERCONTROLA> controls(line.cControls);
    if (!controls.allocated()) {
        return 0;
    }
    fetchControls(mixer.object(), line, controls.get());
    for (DWORD control = 0; control < line.cControls; ++control) {
        if (!names.store(control, controls[control].szName, sizeof controls[control].szName)) {
            reportNoRoom(window);
            return 0;
        }
    }
    return 1;
}

int SoundDevice::setControlValue(HWND window, int device, int destination, int source,
                                 int control, DWORD value)
{
    return withControlValues(
        window, device, destination, source, control,
        [value](HMIXEROBJ mixer, const ControlShape &shape, LONG *values, size_t count) {
            // The same 32-bit value in every entry, whatever the control's kind.
            for (size_t i = 0; i < count; ++i) {
                values[i] = static_cast<LONG>(value);
            }
            MIXERCONTROLDETAILS details = detailsFor(shape, values);
            mixerSetControlDetails(mixer, &details, setValueQuery);
        });
}

int SoundDevice::getControlValue(HWND window, int device, int destination, int source,
                                 int control, DWORD *valueOut)
{
    return withControlValues(
        window, device, destination, source, control,
        [valueOut](HMIXEROBJ mixer, const ControlShape &shape, LONG *values, size_t count) {
            // A failed read leaves the cleared array, which averages to 0.
            MIXERCONTROLDETAILS details = detailsFor(shape, values);
            mixerGetControlDetailsA(mixer, &details, getValueQuery);
            DWORD average = averageOf(shape, values, count);
            if (valueOut) {
                *valueOut = average;
            }
        });
}
