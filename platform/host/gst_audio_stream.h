// One source playing through a GStreamer pipeline:
//
//   MPEG audio file: filesrc ! id3demux ! mpegaudioparse ! mpg123audiodec
//          ! <output> (what decodebin would build for it)
//   other file: filesrc ! decodebin ! <output>
//   MIDI:  filesrc ! midiparse ! our FluidSynth element ! <output>
//   CD:    cdiocddasrc (whole disc as one stream) ! <output>
//   <output> = audioconvert ! audioresample ! volume ! audiopanorama
//              ! taginject (the stream's name) ! sink
//
// The gain is the volume element (the louder channel) with the panorama
// element attenuating the other channel. The sink does not sync to a clock
// (the sound server paces it) and the pipeline runs on the system clock;
// the position is the running time since the last seek. The bus is served
// synchronously on the posting thread (there is no main loop on the
// caller's thread); nothing is left queued on it.
//
// A failure while playing (the sound server goes away, the source cannot be
// read on) ends the play where it stands; the pipeline is left as it is
// until the next play, which takes it down to NULL and prerolls it again:
// the sink connects to the server anew.
#pragma once

// Our Win32 declarations first: GLib defines TRUE and FALSE only when they
// are not defined yet.
#include "platform/host/gst_audio_engine.h"

#include <gst/gst.h>

#include <atomic>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <string>

#include "platform/host/gst_handles.h"

namespace hp::host {

class GstAudioStream final : public winmm::AudioStream {
public:
    // Builds, prerolls and returns a stream, or an MCIERR_* code. A known
    // length (non-zero) is reported instead of the pipeline's estimate.
    static MCIERROR open(const winmm::AudioSource &source, winmm::StereoGain gain,
                         winmm::AudioTime knownLength, const GstAudioOptions &options,
                         const std::shared_ptr<std::atomic<int>> &liveCount,
                         std::unique_ptr<winmm::AudioStream> &stream);

    ~GstAudioStream() override;

    winmm::AudioTime length() override;
    winmm::AudioTime position() override;
    winmm::PlaybackState state() override;
    bool play(std::optional<winmm::AudioTime> from, std::optional<winmm::AudioTime> to) override;
    void stop(Wait wait) override;
    bool seek(winmm::AudioTime to) override;
    void pause() override;
    void resume() override;
    void setGain(winmm::StereoGain gain) override;
    void setEndHandler(std::function<void(winmm::PlayEnd)> handler) override;

private:
    enum class Failure { None, Source, Output };

    GstAudioStream(const GstAudioOptions &options, std::shared_ptr<std::atomic<int>> liveCount);

    bool buildFile(const std::string &hostPath);
    bool buildMpegAudio(const std::string &hostPath);
    bool buildMidi(const std::string &hostPath);
    bool buildCd(const std::string &device);
    bool buildOutput(winmm::AudioLine line, GstElement *&outputHead);
    MCIERROR preroll();
    bool restartAfterFailure();
    bool seekSegment(winmm::AudioTime from, std::optional<winmm::AudioTime> to);

    static GstBusSyncReply onBusMessage(GstBus *bus, GstMessage *message, gpointer self);
    static void onPadAdded(GstElement *decoder, GstPad *pad, gpointer self);
    static void onNoMorePads(GstElement *decoder, gpointer self);
    void noteFailure(Failure failure);
    void noteEnd();

    const GstAudioOptions options_;
    const std::shared_ptr<std::atomic<int>> liveCount_;
    GstElementHandle pipeline_;
    GstElementHandle convert_;  // head of the output chain
    GstElementHandle volume_;      // the level, when the sink has no stream volume
    bool sinkCarriesVolume_ = false;
    GstElementHandle panorama_;
    GstElementHandle sink_;

    std::mutex mutex_;
    std::condition_variable changed_;
    bool prerolled_ = false;
    Failure failure_ = Failure::None;
    bool audioLinked_ = false;
    bool dynamicAudio_ = false;  // the decoder's audio pad comes at each preroll
    bool armed_ = false;   // a play is running and its end is to be reported
    bool ended_ = false;   // the last play reached its end
    bool paused_ = false;
    std::function<void(winmm::PlayEnd)> endHandler_;
    std::optional<winmm::AudioTime> playEnd_;  // the `to` of the last play
    winmm::AudioTime segmentStart_{0};  // where the last seek placed the stream
    std::optional<winmm::AudioTime> failedAt_;  // where a failed play stopped
    winmm::AudioTime lastPosition_{0};
    winmm::AudioTime knownLength_{0};
    winmm::AudioTime fixedLength_{0};
};

}  // namespace hp::host
