#include "platform/winmm/mixer_topology.h"

namespace hp::winmm {
namespace {

constexpr DWORD destinationIdBase = 0xFFFF0000u;
constexpr DWORD maximumPositions = 0xFFFFu;

}  // namespace

MixerTopology::MixerTopology(MixerDeviceInfo info) : info_(std::move(info))
{
    // Positions beyond what an identifier can carry are not addressable.
    if (info_.destinations.size() > maximumPositions)
        info_.destinations.resize(maximumPositions);
    DWORD nextControlId = 0;
    for (DWORD d = 0; d < info_.destinations.size(); ++d) {
        MixerDestinationInfo &destination = info_.destinations[d];
        if (destination.sources.size() > maximumPositions)
            destination.sources.resize(maximumPositions);

        MixerLineRef destinationLine;
        destinationLine.destination = d;
        destinationLine.lineId = destinationIdBase + d;
        destinationLine.connections = static_cast<DWORD>(destination.sources.size());
        destinationLine.line = &destination.line;
        lines_.push_back(destinationLine);
        firstControlIds_.push_back(nextControlId);
        nextControlId += static_cast<DWORD>(destination.line.controls.size());

        for (DWORD s = 0; s < destination.sources.size(); ++s) {
            MixerLineRef sourceLine;
            sourceLine.destination = d;
            sourceLine.source = s;
            sourceLine.lineId = (d << 16) + s;
            sourceLine.line = &destination.sources[s];
            lines_.push_back(sourceLine);
            firstControlIds_.push_back(nextControlId);
            nextControlId += static_cast<DWORD>(destination.sources[s].controls.size());
        }
    }
}

std::optional<MixerLineRef> MixerTopology::destination(DWORD destination) const
{
    if (destination >= destinationCount())
        return std::nullopt;
    return lineById(destinationIdBase + destination);
}

std::optional<MixerLineRef> MixerTopology::source(DWORD destination, DWORD source) const
{
    if (destination >= destinationCount() ||
        source >= info_.destinations[destination].sources.size())
        return std::nullopt;
    return lineById((destination << 16) + source);
}

std::optional<MixerLineRef> MixerTopology::lineById(DWORD lineId) const
{
    for (const MixerLineRef &line : lines_) {
        if (line.lineId == lineId)
            return line;
    }
    return std::nullopt;
}

std::optional<MixerLineRef> MixerTopology::lineByComponentType(DWORD componentType) const
{
    for (const bool wantSource : {false, true}) {
        for (const MixerLineRef &line : lines_) {
            if (line.isSource() == wantSource && line.line->componentType == componentType)
                return line;
        }
    }
    return std::nullopt;
}

std::optional<MixerLineRef> MixerTopology::lineByTargetType(DWORD targetType) const
{
    for (const bool wantSource : {false, true}) {
        for (const MixerLineRef &line : lines_) {
            if (line.isSource() == wantSource && line.line->targetType == targetType)
                return line;
        }
    }
    return std::nullopt;
}

DWORD MixerTopology::firstControlId(const MixerLineRef &line) const
{
    for (size_t i = 0; i < lines_.size(); ++i) {
        if (lines_[i].lineId == line.lineId)
            return firstControlIds_[i];
    }
    return 0;
}

std::optional<MixerControlRef> MixerTopology::controlById(DWORD controlId) const
{
    for (size_t i = 0; i < lines_.size(); ++i) {
        const DWORD first = firstControlIds_[i];
        const DWORD count = static_cast<DWORD>(lines_[i].line->controls.size());
        if (controlId >= first && controlId - first < count)
            return control(lines_[i], controlId - first);
    }
    return std::nullopt;
}

std::optional<MixerControlRef> MixerTopology::controlOfType(const MixerLineRef &line,
                                                            DWORD type) const
{
    for (DWORD index = 0; index < line.line->controls.size(); ++index) {
        if (line.line->controls[index].type == type)
            return control(line, index);
    }
    return std::nullopt;
}

MixerControlRef MixerTopology::control(const MixerLineRef &line, DWORD index) const
{
    MixerControlRef reference;
    reference.line = line;
    reference.index = index;
    reference.controlId = firstControlId(line) + index;
    reference.control = &line.line->controls[index];
    return reference;
}

MixerControlAddress MixerTopology::address(UINT device, const MixerControlRef &control) const
{
    MixerControlAddress address;
    address.device = device;
    address.destination = control.line.destination;
    address.source = control.line.source;
    address.control = control.index;
    return address;
}

}  // namespace hp::winmm
