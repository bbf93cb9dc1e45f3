// GStreamer pipelines behind AudioStream.
//
// Supports: any file decodebin takes (MP3 with or without ID3 tags, CBR and
// VBR, WAV, Ogg, FLAC, ...), Standard MIDI Files through midiparse and our
// FluidSynth element with a given soundfont (gst_fluid_synth.h), the audio
// tracks of a CD through libcdio (whole disc as one stream), accurate
// seeks, a segment end,
// pause and resume, live per-channel gain, named streams on PulseAudio
// and PipeWire ("Hollyphone Wave", "Hollyphone MIDI", "Hollyphone CD").
// Does not support: video (a video stream of a file is left unlinked),
// rates other than 1, looping, recording.
#include "platform/host/gst_audio_stream.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "platform/host/gst_fluid_synth.h"

namespace hp::host {
namespace {

using winmm::AudioTime;

constexpr std::chrono::milliseconds stopWait{2000};

gint64 toNanoseconds(AudioTime time)
{
    return std::chrono::duration_cast<std::chrono::nanoseconds>(time).count();
}

AudioTime fromNanoseconds(gint64 nanoseconds)
{
    return std::chrono::duration_cast<AudioTime>(std::chrono::nanoseconds(nanoseconds));
}

bool hasProperty(GstElement *element, const char *name)
{
    return g_object_class_find_property(G_OBJECT_GET_CLASS(element), name) != nullptr;
}

std::string streamNameOf(winmm::AudioLine line)
{
    return std::string("Hollyphone ") + winmm::audioLineLabel(line);
}

// Names the stream as the sound server lists it.
void nameSinkStream(GstElement *sink, winmm::AudioLine line)
{
    const std::string streamName = streamNameOf(line);
    if (hasProperty(sink, "client-name"))
        g_object_set(sink, "client-name", "Hollyphone", nullptr);
    if (hasProperty(sink, "stream-properties")) {
        GstStructureHandle properties(gst_structure_new(
            "props", "media.name", G_TYPE_STRING, streamName.c_str(), "media.role", G_TYPE_STRING,
            "music", "application.name", G_TYPE_STRING, "Hollyphone", nullptr));
        g_object_set(sink, "stream-properties", properties.get(), nullptr);
    }
}

// The sound server names a stream after the title and artist tags that
// reach the sink: the source's own tags are dropped, and a tag injector
// gives the stream its name as its title.
GstPadProbeReturn dropTags(GstPad *, GstPadProbeInfo *info, gpointer)
{
    GstEvent *event = GST_PAD_PROBE_INFO_EVENT(info);
    return GST_EVENT_TYPE(event) == GST_EVENT_TAG ? GST_PAD_PROBE_DROP : GST_PAD_PROBE_OK;
}

bool isAudioPad(GstPad *pad)
{
    GstCapsHandle caps(gst_pad_get_current_caps(pad));
    if (!caps)
        caps.reset(gst_pad_query_caps(pad, nullptr));
    if (!caps || gst_caps_is_empty(caps.get()))
        return false;
    const GstStructure *structure = gst_caps_get_structure(caps.get(), 0);
    return g_str_has_prefix(gst_structure_get_name(structure), "audio/");
}

// The tag demuxer's template calls its audio pad a sometimes pad; one that
// is not there yet at the build is linked when it comes.
void linkToParser(GstElement *, GstPad *pad, gpointer parser)
{
    GstPadHandle sink(gst_element_get_static_pad(static_cast<GstElement *>(parser), "sink"));
    if (sink && !gst_pad_is_linked(sink.get()))
        gst_pad_link(pad, sink.get());
}

}  // namespace

GstAudioStream::GstAudioStream(const GstAudioOptions &options,
                               std::shared_ptr<std::atomic<int>> liveCount)
    : options_(options), liveCount_(std::move(liveCount))
{
    ++*liveCount_;
}

GstAudioStream::~GstAudioStream()
{
    {
        std::lock_guard<std::mutex> lock(mutex_);
        armed_ = false;
        endHandler_ = nullptr;
    }
    if (pipeline_) {
        // Synchronous: the streaming threads are gone when it returns.
        gst_element_set_state(pipeline_.get(), GST_STATE_NULL);
        GstBusHandle bus(gst_element_get_bus(pipeline_.get()));
        gst_bus_set_sync_handler(bus.get(), nullptr, nullptr, nullptr);
    }
    --*liveCount_;
}

MCIERROR GstAudioStream::open(const winmm::AudioSource &source, winmm::StereoGain gain,
                              AudioTime knownLength, const GstAudioOptions &options,
                              const std::shared_ptr<std::atomic<int>> &liveCount,
                              std::unique_ptr<winmm::AudioStream> &stream)
{
    std::unique_ptr<GstAudioStream> created(new GstAudioStream(options, liveCount));
    created->fixedLength_ = knownLength;
    created->pipeline_.reset(gst_pipeline_new(nullptr));
    if (!created->pipeline_)
        return MCIERR_OUT_OF_MEMORY;
    gst_object_ref_sink(created->pipeline_.get());
    // The position is the running time: it must follow the wall clock from
    // the first play, and the sound server's stream clock does not (it runs
    // while the stream waits prerolled, then stands until playing catches
    // up).
    GstClock *systemClock = gst_system_clock_obtain();
    gst_pipeline_use_clock(GST_PIPELINE(created->pipeline_.get()), systemClock);
    gst_object_unref(systemClock);
    GstBusHandle bus(gst_element_get_bus(created->pipeline_.get()));
    gst_bus_set_sync_handler(bus.get(), &GstAudioStream::onBusMessage, created.get(), nullptr);

    GstElement *outputHead = nullptr;
    if (!created->buildOutput(source.line, outputHead))
        return MCIERR_WAVE_OUTPUTSUNSUITABLE;

    bool built = false;
    switch (source.kind) {
    case winmm::AudioSource::Kind::File:
        // A known length means the engine found MPEG audio frames.
        built = (knownLength.count() > 0 && created->buildMpegAudio(source.hostPath)) ||
                created->buildFile(source.hostPath);
        break;
    case winmm::AudioSource::Kind::MidiFile:
        built = created->buildMidi(source.hostPath);
        break;
    case winmm::AudioSource::Kind::CdDisc:
        built = created->buildCd(source.cdDevice);
        break;
    }
    if (!built)
        return source.kind == winmm::AudioSource::Kind::CdDisc ? MCIERR_DEVICE_NOT_READY
                                                               : MCIERR_INVALID_FILE;

    created->setGain(gain);
    if (MCIERROR error = created->preroll()) {
        if (error == MCIERR_INVALID_FILE && source.kind == winmm::AudioSource::Kind::CdDisc)
            return MCIERR_DEVICE_NOT_READY;
        return error;
    }
    stream = std::move(created);
    return 0;
}

bool GstAudioStream::buildOutput(winmm::AudioLine line, GstElement *&outputHead)
{
    convert_ = makeGstElement("audioconvert");
    GstElementHandle resample = makeGstElement("audioresample");
    volume_ = makeGstElement("volume");
    panorama_ = makeGstElement("audiopanorama");
    sink_ = makeGstElement(options_.sinkFactory.c_str());
    if (!convert_ || !resample || !volume_ || !panorama_ || !sink_)
        return false;

    gst_util_set_object_arg(G_OBJECT(panorama_.get()), "method", "simple");
    nameSinkStream(sink_.get(), line);
    // The sound server paces the stream itself. With clock sync, a stream
    // that waited prerolled before its first play would start that much
    // later: PulseAudio's stream clock runs from the moment the stream is
    // created, and the first samples are placed by it.
    g_object_set(sink_.get(), "sync", FALSE, nullptr);
    // Half a second of sound in the server, topped up every 100 ms: the
    // sink's default 10 ms period costs twice the CPU of the whole decode.
    // Nothing waits on the depth: stop flushes it, and the level and mute
    // act on the server's stream volume, which covers what is queued.
    if (hasProperty(sink_.get(), "latency-time") && hasProperty(sink_.get(), "buffer-time"))
        g_object_set(sink_.get(), "latency-time", gint64{50000}, "buffer-time", gint64{500000},
                     nullptr);
    sinkCarriesVolume_ = hasProperty(sink_.get(), "volume");

    // Optional: without it the stream keeps the sink's default name.
    GstElementHandle namer = makeGstElement("taginject");
    GstElement *beforeSink = panorama_.get();
    if (namer) {
        const std::string tags = "title=\"" + streamNameOf(line) + "\"";
        g_object_set(namer.get(), "tags", tags.c_str(), nullptr);
        beforeSink = namer.get();
    }
    GstPadHandle tagsIn(gst_element_get_static_pad(beforeSink == panorama_.get() ? sink_.get()
                                                                                 : beforeSink,
                                                   "sink"));
    if (tagsIn)
        gst_pad_add_probe(tagsIn.get(), GST_PAD_PROBE_TYPE_EVENT_DOWNSTREAM, &dropTags, nullptr,
                          nullptr);

    GstBin *bin = GST_BIN(pipeline_.get());
    for (GstElement *element :
         {convert_.get(), resample.get(), volume_.get(), panorama_.get(), sink_.get()})
        gst_bin_add(bin, element);
    if (!gst_element_link_many(convert_.get(), resample.get(), volume_.get(), panorama_.get(),
                               nullptr))
        return false;
    if (namer) {
        gst_bin_add(bin, namer.get());
        if (!gst_element_link(panorama_.get(), namer.get()))
            return false;
    }
    if (!gst_element_link(beforeSink, sink_.get()))
        return false;
    outputHead = convert_.get();
    return true;
}

bool GstAudioStream::buildFile(const std::string &hostPath)
{
    GstElementHandle source = makeGstElement("filesrc");
    GstElementHandle decoder = makeGstElement("decodebin");
    if (!source || !decoder)
        return false;
    g_object_set(source.get(), "location", hostPath.c_str(), nullptr);
    dynamicAudio_ = true;
    g_signal_connect(decoder.get(), "pad-added", G_CALLBACK(&GstAudioStream::onPadAdded), this);
    g_signal_connect(decoder.get(), "no-more-pads", G_CALLBACK(&GstAudioStream::onNoMorePads),
                     this);
    gst_bin_add_many(GST_BIN(pipeline_.get()), source.get(), decoder.get(), nullptr);
    return gst_element_link(source.get(), decoder.get());
}

// The chain decodebin builds for an MPEG audio file, made directly:
// decodebin's plugin brings the video library and the type finders with it
// (some 2.6 MB of a playing player's memory). False, with nothing added,
// when an element is not installed.
bool GstAudioStream::buildMpegAudio(const std::string &hostPath)
{
    GstElementHandle source = makeGstElement("filesrc");
    GstElementHandle tags = makeGstElement("id3demux");
    GstElementHandle parser = makeGstElement("mpegaudioparse");
    GstElementHandle decoder = makeGstElement("mpg123audiodec");
    if (!source || !tags || !parser || !decoder)
        return false;
    g_object_set(source.get(), "location", hostPath.c_str(), nullptr);
    gst_bin_add_many(GST_BIN(pipeline_.get()), source.get(), tags.get(), parser.get(),
                     decoder.get(), nullptr);
    if (!gst_element_link(tags.get(), parser.get()))
        g_signal_connect(tags.get(), "pad-added", G_CALLBACK(&linkToParser), parser.get());
    audioLinked_ = gst_element_link(source.get(), tags.get()) &&
                   gst_element_link_many(parser.get(), decoder.get(), convert_.get(), nullptr);
    return audioLinked_;
}

bool GstAudioStream::buildMidi(const std::string &hostPath)
{
    GstElementHandle source = makeGstElement("filesrc");
    GstElementHandle parser = makeGstElement("midiparse");
    GstElementHandle synthesiser = makeFluidSynthElement(options_.soundFontPath, hostPath);
    if (!source || !parser || !synthesiser)
        return false;
    g_object_set(source.get(), "location", hostPath.c_str(), nullptr);
    gst_bin_add_many(GST_BIN(pipeline_.get()), source.get(), parser.get(), synthesiser.get(),
                     nullptr);
    audioLinked_ = gst_element_link_many(source.get(), parser.get(), synthesiser.get(),
                                         convert_.get(), nullptr);
    return audioLinked_;
}

bool GstAudioStream::buildCd(const std::string &device)
{
    GstElementHandle source = makeGstElement("cdiocddasrc");
    if (!source)
        source = makeGstElement("cdparanoiasrc");
    if (!source)
        return false;
    g_object_set(source.get(), "device", device.c_str(), nullptr);
    gst_util_set_object_arg(G_OBJECT(source.get()), "mode", "continuous");
    gst_bin_add(GST_BIN(pipeline_.get()), source.get());
    audioLinked_ = gst_element_link(source.get(), convert_.get());
    return audioLinked_;
}

MCIERROR GstAudioStream::preroll()
{
    const GstStateChangeReturn change = gst_element_set_state(pipeline_.get(), GST_STATE_PAUSED);
    std::unique_lock<std::mutex> lock(mutex_);
    if (change == GST_STATE_CHANGE_FAILURE && failure_ == Failure::None)
        failure_ = Failure::Source;
    if (change == GST_STATE_CHANGE_SUCCESS || change == GST_STATE_CHANGE_NO_PREROLL)
        prerolled_ = true;
    const bool settled = changed_.wait_for(lock, options_.prerollTimeout, [this] {
        return prerolled_ || failure_ != Failure::None;
    });
    if (failure_ == Failure::Output)
        return MCIERR_WAVE_OUTPUTSUNSUITABLE;
    if (!settled || failure_ == Failure::Source || !audioLinked_)
        return MCIERR_INVALID_FILE;
    lock.unlock();
    length();
    return 0;
}

// The decoder drops its pads on the way down and adds them again on the
// way up, so a dynamic audio pad is linked anew.
bool GstAudioStream::restartAfterFailure()
{
    gst_element_set_state(pipeline_.get(), GST_STATE_NULL);
    {
        std::lock_guard<std::mutex> lock(mutex_);
        failure_ = Failure::None;
        prerolled_ = false;
        ended_ = false;
        if (dynamicAudio_)
            audioLinked_ = false;
    }
    return preroll() == 0;
}

void GstAudioStream::onPadAdded(GstElement *, GstPad *pad, gpointer data)
{
    auto *self = static_cast<GstAudioStream *>(data);
    if (!isAudioPad(pad))
        return;
    std::lock_guard<std::mutex> lock(self->mutex_);
    if (self->audioLinked_)
        return;
    GstPadHandle sinkPad(gst_element_get_static_pad(self->convert_.get(), "sink"));
    if (gst_pad_link(pad, sinkPad.get()) == GST_PAD_LINK_OK)
        self->audioLinked_ = true;
}

void GstAudioStream::onNoMorePads(GstElement *, gpointer data)
{
    auto *self = static_cast<GstAudioStream *>(data);
    bool linked;
    {
        std::lock_guard<std::mutex> lock(self->mutex_);
        linked = self->audioLinked_;
    }
    if (!linked)
        self->noteFailure(Failure::Source);
}

GstBusSyncReply GstAudioStream::onBusMessage(GstBus *, GstMessage *message, gpointer data)
{
    auto *self = static_cast<GstAudioStream *>(data);
    switch (GST_MESSAGE_TYPE(message)) {
    case GST_MESSAGE_ERROR: {
        // The sink, or an object of its own such as its ring buffer.
        GstObject *origin = GST_MESSAGE_SRC(message);
        const bool fromSink = origin == GST_OBJECT(self->sink_.get()) ||
                              gst_object_has_as_ancestor(origin, GST_OBJECT(self->sink_.get()));
        self->noteFailure(fromSink ? Failure::Output : Failure::Source);
        break;
    }
    case GST_MESSAGE_EOS:
        self->noteEnd();
        break;
    case GST_MESSAGE_ASYNC_DONE: {
        std::lock_guard<std::mutex> lock(self->mutex_);
        self->prerolled_ = true;
        self->changed_.notify_all();
        break;
    }
    default:
        break;
    }
    // A sync handler that drops a message owns it.
    gst_message_unref(message);
    return GST_BUS_DROP;
}

void GstAudioStream::noteFailure(Failure failure)
{
    // The pipeline's clock runs on behind a failed output: the play stands
    // where the failure found it.
    const GstClockTime running = gst_element_get_current_running_time(pipeline_.get());
    std::function<void(winmm::PlayEnd)> handler;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        if (failure_ == Failure::None)
            failure_ = failure;
        if (prerolled_ && armed_) {
            // A failure while playing ends the play; it has not reached its
            // end, so the next play goes on from here.
            armed_ = false;
            if (GST_CLOCK_TIME_IS_VALID(running))
                failedAt_ = segmentStart_ + fromNanoseconds(static_cast<gint64>(running));
            handler = endHandler_;
        }
        changed_.notify_all();
    }
    if (handler)
        handler(winmm::PlayEnd::Failed);
}

void GstAudioStream::noteEnd()
{
    std::function<void(winmm::PlayEnd)> handler;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        ended_ = true;
        if (!armed_)
            return;
        armed_ = false;
        handler = endHandler_;
    }
    if (handler)
        handler(winmm::PlayEnd::Reached);
}

AudioTime GstAudioStream::length()
{
    if (fixedLength_.count() > 0)
        return fixedLength_;
    gint64 duration = 0;
    if (gst_element_query_duration(pipeline_.get(), GST_FORMAT_TIME, &duration) && duration > 0)
        knownLength_ = fromNanoseconds(duration);
    return knownLength_;
}

AudioTime GstAudioStream::position()
{
    // At its end a play stands exactly where it was to end: the decoder
    // may stop a little short of the length (it drops the encoder's
    // padding), and the platform reports the length there.
    std::optional<std::optional<AudioTime>> endedAt;
    bool playing;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        if (ended_ && failure_ == Failure::None)
            endedAt = playEnd_;
        if (failedAt_) {
            lastPosition_ = *failedAt_;
            failedAt_.reset();
        }
        playing = armed_ && !ended_ && !paused_;
    }
    if (endedAt) {
        lastPosition_ = endedAt->has_value() ? **endedAt : length();
        return lastPosition_;
    }
    // Without clock sync the sink's own position runs ahead by what the
    // output holds; the pipeline's running time since the last seek is what
    // has been played. It means nothing while not playing: the position
    // then stays where the last stop, pause or seek left it.
    if (playing) {
        const GstClockTime running = gst_element_get_current_running_time(pipeline_.get());
        if (GST_CLOCK_TIME_IS_VALID(running))
            lastPosition_ = segmentStart_ + fromNanoseconds(static_cast<gint64>(running));
    }
    const AudioTime total = length();
    if (total.count() > 0 && lastPosition_ > total)
        lastPosition_ = total;
    return lastPosition_;
}

winmm::PlaybackState GstAudioStream::state()
{
    std::lock_guard<std::mutex> lock(mutex_);
    if (paused_)
        return winmm::PlaybackState::Paused;
    if (armed_ && !ended_)
        return winmm::PlaybackState::Playing;
    return winmm::PlaybackState::Stopped;
}

bool GstAudioStream::seekSegment(AudioTime from, std::optional<AudioTime> to)
{
    const gint64 stop = to ? toNanoseconds(*to) : static_cast<gint64>(GST_CLOCK_TIME_NONE);
    const auto flags = static_cast<GstSeekFlags>(GST_SEEK_FLAG_FLUSH | GST_SEEK_FLAG_ACCURATE);
    if (!gst_element_seek(pipeline_.get(), 1.0, GST_FORMAT_TIME, flags, GST_SEEK_TYPE_SET,
                          toNanoseconds(from), GST_SEEK_TYPE_SET, stop))
        return false;
    std::lock_guard<std::mutex> lock(mutex_);
    lastPosition_ = from;
    segmentStart_ = from;
    return true;
}

bool GstAudioStream::play(std::optional<AudioTime> from, std::optional<AudioTime> to)
{
    bool endedBefore;
    bool failedBefore;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        armed_ = false;
        paused_ = false;
        endedBefore = ended_;
        failedBefore = failure_ != Failure::None;
    }
    if (failedBefore) {
        const AudioTime start = from ? *from : position();
        if (!restartAfterFailure())
            return false;
        from = start;
    } else if (endedBefore && !from) {
        // Already at the end: this play ends at once.
        std::function<void(winmm::PlayEnd)> handler;
        {
            std::lock_guard<std::mutex> lock(mutex_);
            handler = endHandler_;
        }
        if (handler)
            handler(winmm::PlayEnd::Reached);
        return true;
    }
    if (from || to) {
        const AudioTime start = from ? *from : position();
        if (!seekSegment(start, to))
            return false;
    }
    {
        std::lock_guard<std::mutex> lock(mutex_);
        armed_ = true;
        ended_ = false;
        playEnd_ = to;
    }
    if (gst_element_set_state(pipeline_.get(), GST_STATE_PLAYING) != GST_STATE_CHANGE_FAILURE)
        return true;
    std::lock_guard<std::mutex> lock(mutex_);
    armed_ = false;
    return false;
}

void GstAudioStream::stop(Wait wait)
{
    position();
    {
        std::lock_guard<std::mutex> lock(mutex_);
        armed_ = false;
        paused_ = false;
        // A failed pipeline plays nothing; it is left for the next play to
        // ready again, with no wait on an output that is gone.
        if (failure_ != Failure::None)
            return;
    }
    gst_element_set_state(pipeline_.get(), GST_STATE_PAUSED);
    if (wait == Wait::UntilSilent) {
        gst_element_get_state(pipeline_.get(), nullptr, nullptr,
                              std::chrono::duration_cast<std::chrono::nanoseconds>(stopWait).count());
    }
}

bool GstAudioStream::seek(AudioTime to)
{
    {
        std::lock_guard<std::mutex> lock(mutex_);
        armed_ = false;
        paused_ = false;
        ended_ = false;
        if (failure_ != Failure::None) {
            // Kept for the next play, which readies the pipeline again.
            failedAt_ = to;
            return true;
        }
    }
    gst_element_set_state(pipeline_.get(), GST_STATE_PAUSED);
    return seekSegment(to, std::nullopt);
}

void GstAudioStream::pause()
{
    position();
    {
        std::lock_guard<std::mutex> lock(mutex_);
        if (!armed_ || ended_)
            return;
        paused_ = true;
    }
    gst_element_set_state(pipeline_.get(), GST_STATE_PAUSED);
}

void GstAudioStream::resume()
{
    {
        std::lock_guard<std::mutex> lock(mutex_);
        if (!paused_)
            return;
        paused_ = false;
    }
    gst_element_set_state(pipeline_.get(), GST_STATE_PLAYING);
}

void GstAudioStream::setGain(winmm::StereoGain gain)
{
    const double left = std::clamp(gain.left, 0.0, 1.0);
    const double right = std::clamp(gain.right, 0.0, 1.0);
    const double louder = std::max(left, right);
    // audiopanorama's simple method scales the left channel by 1 - p for
    // p > 0 and the right channel by 1 + p for p < 0.
    float panorama = 0.0f;
    if (louder > 0.0 && left != right)
        panorama = left > right ? static_cast<float>(right / left - 1.0)
                                : static_cast<float>(1.0 - left / right);
    // The level goes to the sound server's stream volume when the sink has
    // one, so that a change is heard at once, queued sound included; the
    // balance, rarely used, is shaped in the stream.
    g_object_set(sinkCarriesVolume_ ? sink_.get() : volume_.get(), "volume", louder, nullptr);
    g_object_set(panorama_.get(), "panorama", panorama, nullptr);
}

void GstAudioStream::setEndHandler(std::function<void(winmm::PlayEnd)> handler)
{
    std::lock_guard<std::mutex> lock(mutex_);
    endHandler_ = std::move(handler);
}

}  // namespace hp::host
