// The mixer handles that mixerOpen gives out.
//
// A handle names one device index until mixerClose. Values come from a
// counter, so a closed handle is not soon given again, and they never look
// like a small device index: a caller that mixes up MIXER_OBJECTF_MIXER and
// MIXER_OBJECTF_HMIXER gets MMSYSERR_INVALHANDLE or MMSYSERR_BADDEVICEID,
// never another device.
#pragma once

#include <map>
#include <optional>

#include "platform/win32.h"

namespace hp::winmm {

class MixerHandleTable {
public:
    // nullptr when every handle value is in use.
    HMIXER open(UINT device);
    // False when the handle is not open.
    bool close(HMIXER handle);
    std::optional<UINT> deviceOf(UINT_PTR handle) const;
    UINT count() const { return static_cast<UINT>(devices_.size()); }

private:
    static constexpr UINT_PTR firstHandle = 0x6D780001;  // "mx"
    static constexpr UINT_PTR handleSpan = 0x10000;

    UINT_PTR next_ = firstHandle;
    std::map<UINT_PTR, UINT> devices_;
};

}  // namespace hp::winmm
