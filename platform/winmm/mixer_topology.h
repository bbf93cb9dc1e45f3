// One mixer device as the mixer functions address it: lines and controls by
// the identifiers the platform's records carry, over the positions a
// MixerBackend describes.
//
// Line identifiers: destination d is 0xFFFF0000 + d; source s of
// destination d is (d << 16) + s. Control identifiers number the controls
// of the whole device from 0, line after line in the order destination 0,
// its sources, destination 1, its sources, ... Both stay the same for as
// long as the device's layout does.
#pragma once

#include <optional>
#include <vector>

#include "platform/winmm/mixer_backend.h"

namespace hp::winmm {

struct MixerLineRef {
    DWORD destination = 0;
    DWORD source = MixerControlAddress::noSource;  // noSource: the destination line
    DWORD lineId = 0;
    DWORD connections = 0;  // sources of a destination; 0 for a source
    const MixerLineInfo *line = nullptr;

    bool isSource() const { return source != MixerControlAddress::noSource; }
};

struct MixerControlRef {
    MixerLineRef line;
    DWORD index = 0;  // position among the line's controls
    DWORD controlId = 0;
    const MixerControlInfo *control = nullptr;
};

class MixerTopology {
public:
    explicit MixerTopology(MixerDeviceInfo info);
    MixerTopology(const MixerTopology &) = delete;
    MixerTopology &operator=(const MixerTopology &) = delete;

    const MixerDeviceInfo &device() const { return info_; }
    DWORD destinationCount() const { return static_cast<DWORD>(info_.destinations.size()); }

    std::optional<MixerLineRef> destination(DWORD destination) const;
    std::optional<MixerLineRef> source(DWORD destination, DWORD source) const;
    std::optional<MixerLineRef> lineById(DWORD lineId) const;
    // First line, destinations before sources, of that component or target type.
    std::optional<MixerLineRef> lineByComponentType(DWORD componentType) const;
    std::optional<MixerLineRef> lineByTargetType(DWORD targetType) const;

    // Identifier of the line's first control.
    DWORD firstControlId(const MixerLineRef &line) const;
    std::optional<MixerControlRef> controlById(DWORD controlId) const;
    std::optional<MixerControlRef> controlOfType(const MixerLineRef &line, DWORD type) const;
    MixerControlRef control(const MixerLineRef &line, DWORD index) const;

    MixerControlAddress address(UINT device, const MixerControlRef &control) const;

private:
    MixerDeviceInfo info_;
    std::vector<MixerLineRef> lines_;     // in identifier order
    std::vector<DWORD> firstControlIds_;  // parallel to lines_
};

}  // namespace hp::winmm
