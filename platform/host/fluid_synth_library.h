// FluidSynth, opened the first time a MIDI file is played rather than at
// start-up: the library brings some sixty libraries of its own (audio
// drivers, file codecs, a shell), which a player that never plays MIDI
// should neither load nor hold.
#pragma once

#include <fluidsynth.h>

namespace hp::host {

// The entry points the synthesiser element uses, with FluidSynth's own
// signatures.
struct FluidSynthLibrary {
    decltype(&::new_fluid_settings) newSettings;
    decltype(&::delete_fluid_settings) deleteSettings;
    decltype(&::fluid_settings_setint) setInt;
    decltype(&::fluid_settings_setnum) setNumber;
    decltype(&::new_fluid_synth) newSynth;
    decltype(&::delete_fluid_synth) deleteSynth;
    decltype(&::fluid_synth_sfload) loadSoundFont;
    decltype(&::new_fluid_defsfloader) newDefaultLoader;
    decltype(&::fluid_sfloader_set_callbacks) setLoaderCallbacks;
    decltype(&::fluid_synth_add_sfloader) addLoader;
    decltype(&::fluid_synth_write_float) writeFloat;
    decltype(&::fluid_synth_noteon) noteOn;
    decltype(&::fluid_synth_noteoff) noteOff;
    decltype(&::fluid_synth_cc) controlChange;
    decltype(&::fluid_synth_program_change) programChange;
    decltype(&::fluid_synth_channel_pressure) channelPressure;
    decltype(&::fluid_synth_pitch_bend) pitchBend;
    decltype(&::fluid_synth_pitch_wheel_sens) pitchWheelSensitivity;
    decltype(&::fluid_synth_sysex) sysex;
    decltype(&::fluid_synth_all_sounds_off) allSoundsOff;
};

// The library, opened on the first call; null when it is not installed or
// lacks one of the entry points (then MIDI files do not open).
const FluidSynthLibrary *fluidSynthLibrary();

}  // namespace hp::host
