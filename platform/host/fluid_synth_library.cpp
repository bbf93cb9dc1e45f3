#include "platform/host/fluid_synth_library.h"

#include <dlfcn.h>

#include <mutex>

namespace hp::host {
namespace {

// The file name of the library the header belongs to: FluidSynth 2 keeps
// soname 3.
static_assert(FLUIDSYNTH_VERSION_MAJOR == 2, "the soname below is FluidSynth 2's");
constexpr const char *libraryName = "libfluidsynth.so.3";

template <typename Function>
bool find(void *library, const char *name, Function &function)
{
    function = reinterpret_cast<Function>(dlsym(library, name));
    return function != nullptr;
}

bool load(FluidSynthLibrary &entry)
{
    // Kept open for the rest of the process: synthesisers may be made again
    // at any time.
    void *library = dlopen(libraryName, RTLD_NOW | RTLD_LOCAL);
    if (!library)
        return false;
    return find(library, "new_fluid_settings", entry.newSettings) &&
           find(library, "delete_fluid_settings", entry.deleteSettings) &&
           find(library, "fluid_settings_setint", entry.setInt) &&
           find(library, "fluid_settings_setnum", entry.setNumber) &&
           find(library, "new_fluid_synth", entry.newSynth) &&
           find(library, "delete_fluid_synth", entry.deleteSynth) &&
           find(library, "fluid_synth_sfload", entry.loadSoundFont) &&
           find(library, "new_fluid_defsfloader", entry.newDefaultLoader) &&
           find(library, "fluid_sfloader_set_callbacks", entry.setLoaderCallbacks) &&
           find(library, "fluid_synth_add_sfloader", entry.addLoader) &&
           find(library, "fluid_synth_write_float", entry.writeFloat) &&
           find(library, "fluid_synth_noteon", entry.noteOn) &&
           find(library, "fluid_synth_noteoff", entry.noteOff) &&
           find(library, "fluid_synth_cc", entry.controlChange) &&
           find(library, "fluid_synth_program_change", entry.programChange) &&
           find(library, "fluid_synth_channel_pressure", entry.channelPressure) &&
           find(library, "fluid_synth_pitch_bend", entry.pitchBend) &&
           find(library, "fluid_synth_pitch_wheel_sens", entry.pitchWheelSensitivity) &&
           find(library, "fluid_synth_sysex", entry.sysex) &&
           find(library, "fluid_synth_all_sounds_off", entry.allSoundsOff);
}

}  // namespace

const FluidSynthLibrary *fluidSynthLibrary()
{
    static FluidSynthLibrary entry{};
    static bool loaded = false;
    static std::once_flag once;
    std::call_once(once, [] { loaded = load(entry); });
    return loaded ? &entry : nullptr;
}

}  // namespace hp::host
