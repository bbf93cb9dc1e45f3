// A playing source, as the MCI drivers see it: a decoded file or a stretch
// of an audio CD going to the machine's audio output, with its own gain.
//
// The MCI drivers (waveaudio, sequencer, mpegvideo, cdaudio) are written
// against this interface only; the GStreamer engine (platform/host/) and the
// test twin (platform/testing/scripted_audio.h) implement it. No host type
// appears here.
//
// Threading: an engine and its streams are used from the thread that calls
// mciSendCommandA. The end handler of a stream runs on a thread of the
// engine's own; it must not call back into the stream.
#pragma once

#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "platform/win32.h"

namespace hp::winmm {

// The lines of Hollyphone's output mixer: every stream plays on one of them
// and follows its volume (output_mixer.h).
enum class AudioLine { Wave, Synth, CdAudio };
constexpr int audioLineCount = 3;

// Short name of a line for the sound server's stream list: "Wave", "MIDI",
// "CD".
const char *audioLineLabel(AudioLine line);

// Stream time. Files count from their start; a CD counts from the start of
// the disc's first audio track.
using AudioTime = std::chrono::microseconds;

struct AudioSource {
    enum class Kind {
        File,      // any file the engine's decoders recognise (MP3, WAV, ...)
        MidiFile,  // a Standard MIDI File, through the software synthesiser
        CdDisc     // the audio tracks of the disc in a drive, as one stream
    };
    Kind kind = Kind::File;
    AudioLine line = AudioLine::Wave;
    std::string hostPath;  // File, MidiFile: the host path of the file
    std::string cdDevice;  // CdDisc: the host device, e.g. "/dev/sr0"
};

// Linear amplitude factors, 0.0 (silent) to 1.0 (as decoded).
struct StereoGain {
    double left = 1.0;
    double right = 1.0;
};

enum class PlaybackState { Stopped, Playing, Paused };

// How a play came to its end (AudioStream::setEndHandler).
enum class PlayEnd { Reached, Failed };

class AudioStream {
public:
    // Stops the sound and releases every host resource before returning.
    virtual ~AudioStream() = default;

    // Length of the whole source. Asked again at every status query: the
    // engine may refine an estimate while it plays.
    virtual AudioTime length() = 0;

    // Current position; kept while stopped or paused.
    virtual AudioTime position() = 0;

    virtual PlaybackState state() = 0;

    // Starts playing and returns at once. from: where to start (none: the
    // current position); to: where to end (none: the end of the source).
    // After the end has been reached, playing without from ends again at
    // once. After a play failed, the source and the output are readied
    // again first (bounded wait), so a sound server that went away and came
    // back is heard again. False when the engine refused (a position it
    // cannot reach) or the output or source cannot be had again.
    virtual bool play(std::optional<AudioTime> from, std::optional<AudioTime> to) = 0;

    // Stops the sound and keeps the position. With Wait::UntilSilent it
    // returns only once the output has been told to stop (bounded).
    enum class Wait { No, UntilSilent };
    virtual void stop(Wait wait) = 0;

    // Stops (if playing) and moves to `to`; the next play without from
    // starts there (after a failed play too).
    virtual bool seek(AudioTime to) = 0;

    // Pauses (keeps the position) and resumes where it paused.
    virtual void pause() = 0;
    virtual void resume() = 0;

    // Takes effect on the sound at once.
    virtual void setGain(StereoGain gain) = 0;

    // Called once each time a play ends by itself: it reached its end (the
    // end of the source, or the `to` of the play), or it failed on the way
    // (the output went away, the source could not be read on); a failed
    // play stands where it failed. Not called when stopped, paused or
    // destroyed first. Runs on an engine thread.
    virtual void setEndHandler(std::function<void(PlayEnd end)> handler) = 0;
};

class AudioEngine {
public:
    virtual ~AudioEngine() = default;

    // Opens a source and readies it (bounded wait): on success the stream
    // is stopped at 0 with its length known and the given gain set, and 0
    // is returned. Otherwise an MCIERR_* code and nothing is held:
    //   MCIERR_FILE_NOT_FOUND        the file does not exist or is a folder
    //   MCIERR_INVALID_FILE          no decoder takes it (or no soundfont)
    //   MCIERR_DEVICE_NOT_READY      the drive holds no audio disc
    //   MCIERR_WAVE_OUTPUTSUNSUITABLE no audio output can be had
    virtual MCIERROR open(const AudioSource &source, StereoGain gain,
                          std::unique_ptr<AudioStream> &stream) = 0;

    // Whether an audio output can be had now (asked by a device opened
    // without a file).
    virtual bool outputAvailable() = 0;

    // Streams alive now, to find leaks.
    virtual int liveStreamCount() = 0;
};

// An engine for a machine without sound: no output, every open refused
// with MCIERR_WAVE_OUTPUTSUNSUITABLE.
std::shared_ptr<AudioEngine> makeSilentAudioEngine();

}  // namespace hp::winmm
