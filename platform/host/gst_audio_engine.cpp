// The GStreamer engine: starts GStreamer on first use, checks what a source
// needs before building its pipeline, and counts the streams alive.
//
// Supports: files and MIDI files by host path, CD discs by host device,
// an availability test of the audio output (the sink reaches READY).
// Does not support: choosing an output device (the sound server's default
// sink is used; PULSE_SINK selects another, as for any PulseAudio client).
//
// GStreamer starts at the first open. Whether an output can be had is asked
// of the sound server itself when the sink is pulsesink (the start-up's
// question), so a player that never plays never starts GStreamer.
#include "platform/host/gst_audio_engine.h"

#include <fcntl.h>
#include <sys/stat.h>

#include <cstdio>
#include <cstring>
#include <mutex>

#include "platform/host/gst_audio_stream.h"
#include "platform/host/mpeg_audio_length.h"
#include "platform/host/pulse_output_probe.h"
#include "platform/kernel32/unique_fd.h"

namespace hp::host {
namespace {

bool startGstreamer()
{
    static bool started = false;
    static std::once_flag once;
    std::call_once(once, [] {
        GError *rawError = nullptr;
        started = gst_init_check(nullptr, nullptr, &rawError);
        GErrorHandle error(rawError);
    });
    return started;
}

bool elementInstalled(const char *factory)
{
    GstElementFactory *found = gst_element_factory_find(factory);
    if (!found)
        return false;
    gst_object_unref(found);
    return true;
}

// A regular file that this process can read. Opened without waiting: a
// pipe in the place of a file would hold a plain open until a writer came.
MCIERROR checkReadableFile(const std::string &hostPath)
{
    if (hostPath.empty())
        return MCIERR_FILE_NOT_FOUND;
    const kernel32::UniqueFd file(open(hostPath.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
    struct stat status {};
    if (!file.valid() || fstat(file.get(), &status) != 0 || !S_ISREG(status.st_mode))
        return MCIERR_FILE_NOT_FOUND;
    return 0;
}

// A SoundFont 2 file: a RIFF chunk of form "sfbk".
bool isSoundFont(const std::string &hostPath)
{
    std::FILE *file = std::fopen(hostPath.c_str(), "rb");
    if (!file)
        return false;
    char header[12] = {};
    const bool complete = std::fread(header, 1, sizeof header, file) == sizeof header;
    std::fclose(file);
    return complete && std::memcmp(header, "RIFF", 4) == 0 &&
           std::memcmp(header + 8, "sfbk", 4) == 0;
}

class GstAudioEngine final : public winmm::AudioEngine {
public:
    explicit GstAudioEngine(const GstAudioOptions &options)
        : options_(options), liveCount_(std::make_shared<std::atomic<int>>(0))
    {
    }

    MCIERROR open(const winmm::AudioSource &source, winmm::StereoGain gain,
                  std::unique_ptr<winmm::AudioStream> &stream) override
    {
        // Without GStreamer's elements, as on a machine without sound.
        if (!available())
            return MCIERR_WAVE_OUTPUTSUNSUITABLE;
        if (source.kind != winmm::AudioSource::Kind::CdDisc) {
            if (MCIERROR error = checkReadableFile(source.hostPath))
                return error;
        }
        if (source.kind == winmm::AudioSource::Kind::MidiFile &&
            !isSoundFont(options_.soundFontPath))
            return MCIERR_INVALID_FILE;
        if (!startGstreamer())
            return MCIERR_WAVE_OUTPUTSUNSUITABLE;
        const winmm::AudioTime knownLength = source.kind == winmm::AudioSource::Kind::File
                                                 ? mpegAudioLength(source.hostPath)
                                                 : winmm::AudioTime{0};
        return GstAudioStream::open(source, gain, knownLength, options_, liveCount_, stream);
    }

    bool outputAvailable() override
    {
        if (options_.sinkFactory == "pulsesink")
            return pulseServerReachable();
        if (!available())
            return false;
        GstElementHandle sink = makeGstElement(options_.sinkFactory.c_str());
        if (!sink)
            return false;
        // Opening the device (connecting to the sound server) happens on
        // the way to READY.
        const bool opened =
            gst_element_set_state(sink.get(), GST_STATE_READY) == GST_STATE_CHANGE_SUCCESS;
        gst_element_set_state(sink.get(), GST_STATE_NULL);
        return opened;
    }

    int liveStreamCount() override { return liveCount_->load(); }

private:
    // Asked at the first open, not at start-up.
    bool available()
    {
        std::call_once(checked_, [this] { available_ = gstAudioAvailable(options_); });
        return available_;
    }

    std::once_flag checked_;
    bool available_ = false;
    const GstAudioOptions options_;
    const std::shared_ptr<std::atomic<int>> liveCount_;
};

}  // namespace

bool gstAudioAvailable(const GstAudioOptions &options)
{
    if (!startGstreamer())
        return false;
    for (const char *factory : {"filesrc", "decodebin", "audioconvert", "audioresample", "volume",
                                "audiopanorama"}) {
        if (!elementInstalled(factory))
            return false;
    }
    return elementInstalled(options.sinkFactory.c_str());
}

std::shared_ptr<winmm::AudioEngine> makeGstAudioEngine(const GstAudioOptions &options)
{
    return std::make_shared<GstAudioEngine>(options);
}

}  // namespace hp::host
