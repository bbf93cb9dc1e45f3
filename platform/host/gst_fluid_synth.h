// A GStreamer element of our own that plays the MIDI events of midiparse
// (caps audio/x-midi-event, one event a buffer, a tick every 10 ms) on
// FluidSynth, as interleaved stereo 32-bit float at 44100 Hz.
//
// Unlike a synthesiser that reads the whole SoundFont into memory, it loads
// the part of the bank the file can sound (sound_font_subset.h), and of
// that the samples of an instrument when a channel first needs it: at a
// program change, or at the first note of a channel that never had one. The
// General MIDI bank itself is FluidSynth's as ever (chorus and reverb on,
// 256 voices). The output is made as loud as decoded files usually are, and a
// peak limiter keeps the loudest chords below full scale.
//
// A flush (a seek: midiparse plays the file again from its start, and what
// falls before the new segment is dropped downstream) silences every voice
// and brings the channels back to their state at the start of a file.
#pragma once

// Our Win32 declarations first: GLib defines TRUE and FALSE only when they
// are not defined yet.
#include "platform/win32.h"

#include <string>

#include "platform/host/gst_handles.h"

namespace hp::host {

// The element for one MIDI file, with the SoundFont it loads on its way to
// READY (a failure there fails the state change); empty when FluidSynth is
// not installed. A file that cannot be scanned gets the whole SoundFont.
GstElementHandle makeFluidSynthElement(const std::string &soundFontPath,
                                       const std::string &midiPath);

}  // namespace hp::host
