#include "platform/host/pulse_output_probe.h"

#include <pulse/pulseaudio.h>

#include <memory>

namespace hp::host {
namespace {

struct MainloopFree {
    void operator()(pa_mainloop *mainloop) const { pa_mainloop_free(mainloop); }
};
struct ContextRelease {
    void operator()(pa_context *context) const
    {
        pa_context_disconnect(context);
        pa_context_unref(context);
    }
};

}  // namespace

bool pulseServerReachable(std::chrono::milliseconds wait)
{
    const std::unique_ptr<pa_mainloop, MainloopFree> mainloop(pa_mainloop_new());
    if (!mainloop)
        return false;
    const std::unique_ptr<pa_context, ContextRelease> context(
        pa_context_new(pa_mainloop_get_api(mainloop.get()), "Hollyphone"));
    if (!context)
        return false;
    if (pa_context_connect(context.get(), nullptr, PA_CONTEXT_NOFLAGS, nullptr) < 0)
        return false;
    const auto deadline = std::chrono::steady_clock::now() + wait;
    for (;;) {
        const pa_context_state_t state = pa_context_get_state(context.get());
        if (state == PA_CONTEXT_READY)
            return true;
        if (!PA_CONTEXT_IS_GOOD(state))
            return false;
        const auto left = std::chrono::duration_cast<std::chrono::microseconds>(
            deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0)
            return false;
        if (pa_mainloop_prepare(mainloop.get(), static_cast<int>(left.count())) < 0 ||
            pa_mainloop_poll(mainloop.get()) < 0 || pa_mainloop_dispatch(mainloop.get()) < 0)
            return false;
    }
}

}  // namespace hp::host
