#include "platform/winmm/mixer_handles.h"

namespace hp::winmm {

HMIXER MixerHandleTable::open(UINT device)
{
    if (devices_.size() >= handleSpan)
        return nullptr;
    UINT_PTR value = next_;
    while (devices_.count(value) != 0)
        value = value + 1 < firstHandle + handleSpan ? value + 1 : firstHandle;
    next_ = value + 1 < firstHandle + handleSpan ? value + 1 : firstHandle;
    devices_[value] = device;
    return reinterpret_cast<HMIXER>(value);
}

bool MixerHandleTable::close(HMIXER handle)
{
    return devices_.erase(reinterpret_cast<UINT_PTR>(handle)) != 0;
}

std::optional<UINT> MixerHandleTable::deviceOf(UINT_PTR handle) const
{
    const auto found = devices_.find(handle);
    if (found == devices_.end())
        return std::nullopt;
    return found->second;
}

}  // namespace hp::winmm
