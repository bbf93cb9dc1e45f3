#include "platform/host/gst_fluid_synth.h"

#include <gst/audio/audio.h>

#include <array>
#include <memory>
#include <optional>

#include "platform/host/fluid_synth_library.h"
#include "platform/host/peak_limiter.h"
#include "platform/host/sound_font_subset.h"

namespace hp::host {
namespace {

constexpr int sampleRate = 44100;
constexpr int bytesPerFrame = 2 * sizeof(float);
constexpr int midiChannels = 16;
// FluidSynth's master gain. Its usual 0.2 leaves General MIDI files some
// 30 dB below a typical MP3; this brings piano chords to about -16 dBFS
// RMS, and the limiter takes the peaks of the loudest chords.
constexpr double synthGain = 1.8;
constexpr float limiterCeiling = 0.89f;  // -1 dBFS
constexpr double limiterReleaseSeconds = 0.25;

// What one element holds besides its pads: the synthesiser and where the
// stream stands.
class Synthesiser {
public:
    Synthesiser(std::string soundFontPath, std::string midiPath)
        : library_(fluidSynthLibrary()), soundFontPath_(std::move(soundFontPath)),
          midiPath_(std::move(midiPath)),
          limiter_(limiterCeiling, limiterReleaseSeconds, sampleRate)
    {
    }

    ~Synthesiser()
    {
        if (synth_)
            library_->deleteSynth(synth_);
        if (settings_)
            library_->deleteSettings(settings_);
    }

    Synthesiser(const Synthesiser &) = delete;
    Synthesiser &operator=(const Synthesiser &) = delete;

    // Makes the synthesiser and loads the SoundFont, once.
    bool open()
    {
        if (synth_)
            return true;
        if (!library_)
            return false;
        settings_ = library_->newSettings();
        if (!settings_)
            return false;
        library_->setNumber(settings_, "synth.sample-rate", sampleRate);
        library_->setNumber(settings_, "synth.gain", synthGain);
        library_->setInt(settings_, "synth.polyphony", 256);
        library_->setInt(settings_, "synth.reverb.active", 1);
        library_->setInt(settings_, "synth.chorus.active", 1);
        library_->setInt(settings_, "synth.dynamic-sample-loading", 1);
        // Pinning the samples in memory needs a privilege a player lacks.
        library_->setInt(settings_, "synth.lock-memory", 0);
        synth_ = library_->newSynth(settings_);
        if (!synth_)
            return false;
        // Without choosing the channels' instruments: each is loaded when a
        // channel first needs it.
        if (loadSubset())
            return true;
        return library_->loadSoundFont(synth_, soundFontPath_.c_str(), 0) != FLUID_FAILED;
    }

    void startStream()
    {
        lastPts_ = GST_CLOCK_TIME_NONE;
        lastSample_ = 0;
        discont_ = true;
        limiter_.reset();
    }

    // The channels as at the start of a file, as a MIDI system reset leaves
    // them, but without choosing an instrument for any.
    void resetChannels()
    {
        library_->allSoundsOff(synth_, -1);
        for (int channel = 0; channel < midiChannels; ++channel) {
            library_->controlChange(synth_, channel, 121, 0);  // reset all controllers
            for (const auto &[controller, value] : channelDefaults)
                library_->controlChange(synth_, channel, controller, value);
            library_->pitchWheelSensitivity(synth_, channel, 2);
            instrumentChosen_[channel] = false;
        }
        startStream();
    }

    void noteDiscont() { discont_ = true; }

    // Renders up to the event's time, then applies the event.
    GstFlowReturn take(GstPad *source, GstBuffer *event)
    {
        GstFlowReturn result = GST_FLOW_OK;
        const GstClockTime pts = GST_BUFFER_PTS(event);
        if (GST_BUFFER_IS_DISCONT(event))
            discont_ = true;
        if (GST_CLOCK_TIME_IS_VALID(pts)) {
            const guint64 sample = gst_util_uint64_scale_int(pts, sampleRate, GST_SECOND);
            if (!GST_CLOCK_TIME_IS_VALID(lastPts_)) {
                lastPts_ = pts;
                lastSample_ = sample;
            } else if (lastPts_ < pts) {
                result = render(source, pts, sample);
            }
        }
        if (result == GST_FLOW_OK)
            apply(event);
        return result;
    }

private:
    // The part of the SoundFont the file can sound, through a loader of its
    // own ahead of FluidSynth's (which still loads whole files).
    bool loadSubset()
    {
        const std::optional<MidiNeeds> needs = readMidiNeeds(midiPath_);
        if (!needs)
            return false;
        std::shared_ptr<const SoundFontSubset> subset =
            SoundFontSubset::make(soundFontPath_, *needs);
        if (!subset)
            return false;
        fluid_sfloader_t *loader = library_->newDefaultLoader(settings_);
        if (!loader)
            return false;
        readSubsetsThrough(*library_, loader);
        library_->addLoader(synth_, loader);
        subsetName_ = std::make_unique<SubsetFileName>(std::move(subset));
        return library_->loadSoundFont(synth_, subsetName_->get().c_str(), 0) != FLUID_FAILED;
    }

    static constexpr std::array<std::pair<int, int>, 9> channelDefaults{{
        {0, 0}, {32, 0},  // bank select
        {7, 100},         // volume
        {10, 64},         // pan
        {8, 64},          // balance
        {91, 0}, {92, 0}, {93, 0}, {94, 0},  // effect depths
    }};

    GstFlowReturn render(GstPad *source, GstClockTime pts, guint64 sample)
    {
        const guint64 frames = sample - lastSample_;
        const GstClockTime timestamp = lastPts_;
        const GstClockTime duration = pts - lastPts_;
        const guint64 offset = lastSample_;
        lastPts_ = pts;
        lastSample_ = sample;
        if (frames == 0)
            return GST_FLOW_OK;

        GstBuffer *buffer = gst_buffer_new_allocate(nullptr, frames * bytesPerFrame, nullptr);
        if (!buffer)
            return GST_FLOW_ERROR;
        GstMapInfo map;
        if (!gst_buffer_map(buffer, &map, GST_MAP_WRITE)) {
            gst_buffer_unref(buffer);
            return GST_FLOW_ERROR;
        }
        auto *samples = reinterpret_cast<float *>(map.data);
        library_->writeFloat(synth_, static_cast<int>(frames), samples, 0, 2, samples, 1, 2);
        limiter_.process(samples, frames);
        gst_buffer_unmap(buffer, &map);

        GST_BUFFER_PTS(buffer) = timestamp;
        GST_BUFFER_DTS(buffer) = timestamp;
        GST_BUFFER_DURATION(buffer) = duration;
        GST_BUFFER_OFFSET(buffer) = offset;
        GST_BUFFER_OFFSET_END(buffer) = offset + frames;
        if (discont_) {
            GST_BUFFER_FLAG_SET(buffer, GST_BUFFER_FLAG_DISCONT);
            discont_ = false;
        }
        return gst_pad_push(source, buffer);
    }

    // A channel that never had a program change plays program 0 (the drum
    // kit on channel 10), chosen at its first note.
    void chooseInstrumentOnce(int channel)
    {
        if (instrumentChosen_[channel])
            return;
        instrumentChosen_[channel] = true;
        library_->programChange(synth_, channel, 0);
    }

    void apply(GstBuffer *event)
    {
        GstMapInfo map;
        if (!gst_buffer_map(event, &map, GST_MAP_READ))
            return;
        if (map.size > 0)
            apply(map.data, map.size);
        gst_buffer_unmap(event, &map);
    }

    void apply(const guint8 *data, gsize size)
    {
        const guint8 status = data[0];
        if ((status & 0xF0) == 0xF0) {
            // 0xF0 and 0xF7 carry a system exclusive message; 0xF9 is
            // midiparse's tick, which only moves time on.
            if (status == 0xF0 || status == 0xF7)
                library_->sysex(synth_, reinterpret_cast<const char *>(data + 1),
                                static_cast<int>(size - 1), nullptr, nullptr, nullptr, 0);
            return;
        }
        const int channel = status & 0x0F;
        const int first = size > 1 ? data[1] & 0x7F : 0;
        const int second = size > 2 ? data[2] & 0x7F : 0;
        switch (status & 0xF0) {
        case 0x80:
            library_->noteOff(synth_, channel, first);
            break;
        case 0x90:
            chooseInstrumentOnce(channel);
            library_->noteOn(synth_, channel, first, second);
            break;
        case 0xB0:
            library_->controlChange(synth_, channel, first, second);
            break;
        case 0xC0:
            instrumentChosen_[channel] = true;
            library_->programChange(synth_, channel, first);
            break;
        case 0xD0:
            library_->channelPressure(synth_, channel, first);
            break;
        case 0xE0:
            library_->pitchBend(synth_, channel, (second << 7) | first);
            break;
        default:  // polyphonic key pressure: not played
            break;
        }
    }

    const FluidSynthLibrary *library_;
    const std::string soundFontPath_;
    const std::string midiPath_;
    // Outlives the synthesiser (destroyed after the body of the destructor):
    // FluidSynth reads samples from the subset for as long as it lives.
    std::unique_ptr<SubsetFileName> subsetName_;
    fluid_settings_t *settings_ = nullptr;
    fluid_synth_t *synth_ = nullptr;
    PeakLimiter limiter_;
    std::array<bool, midiChannels> instrumentChosen_{};
    GstClockTime lastPts_ = GST_CLOCK_TIME_NONE;
    guint64 lastSample_ = 0;
    bool discont_ = true;
};

// ------------------------------------------------------------ GObject ----

struct HpFluidSynth {
    GstElement parent;
    GstPad *sinkPad;
    GstPad *sourcePad;
    Synthesiser *synthesiser;
};

struct HpFluidSynthClass {
    GstElementClass parent;
};

GType hp_fluid_synth_get_type();
G_DEFINE_TYPE(HpFluidSynth, hp_fluid_synth, GST_TYPE_ELEMENT)

HpFluidSynth *asSynth(gpointer object) { return reinterpret_cast<HpFluidSynth *>(object); }

GstStaticPadTemplate sinkTemplate = GST_STATIC_PAD_TEMPLATE(
    "sink", GST_PAD_SINK, GST_PAD_ALWAYS, GST_STATIC_CAPS("audio/x-midi-event"));
GstStaticPadTemplate sourceTemplate = GST_STATIC_PAD_TEMPLATE(
    "src", GST_PAD_SRC, GST_PAD_ALWAYS,
    GST_STATIC_CAPS("audio/x-raw, format = (string) " GST_AUDIO_NE(F32)
                    ", rate = (int) 44100, channels = (int) 2, layout = (string) interleaved"));

gboolean onSinkEvent(GstPad *pad, GstObject *parent, GstEvent *event)
{
    HpFluidSynth *self = asSynth(parent);
    switch (GST_EVENT_TYPE(event)) {
    case GST_EVENT_CAPS: {
        // What comes out is always the same, whatever goes in.
        GstCapsHandle caps(gst_caps_new_simple("audio/x-raw", "format", G_TYPE_STRING,
                                               GST_AUDIO_NE(F32), "rate", G_TYPE_INT, sampleRate,
                                               "channels", G_TYPE_INT, 2, "layout",
                                               G_TYPE_STRING, "interleaved", nullptr));
        gst_event_unref(event);
        return gst_pad_push_event(self->sourcePad, gst_event_new_caps(caps.get()));
    }
    case GST_EVENT_FLUSH_STOP:
        self->synthesiser->resetChannels();
        break;
    case GST_EVENT_SEGMENT:
        self->synthesiser->noteDiscont();
        break;
    default:
        break;
    }
    return gst_pad_event_default(pad, parent, event);
}

GstFlowReturn onSinkBuffer(GstPad *, GstObject *parent, GstBuffer *buffer)
{
    HpFluidSynth *self = asSynth(parent);
    const GstFlowReturn result = self->synthesiser->take(self->sourcePad, buffer);
    gst_buffer_unref(buffer);
    return result;
}

GstStateChangeReturn onChangeState(GstElement *element, GstStateChange transition)
{
    HpFluidSynth *self = asSynth(element);
    if (transition == GST_STATE_CHANGE_NULL_TO_READY && !self->synthesiser->open()) {
        GST_ELEMENT_ERROR(element, RESOURCE, OPEN_READ, ("The SoundFont cannot be loaded."),
                          (nullptr));
        return GST_STATE_CHANGE_FAILURE;
    }
    if (transition == GST_STATE_CHANGE_READY_TO_PAUSED)
        self->synthesiser->startStream();
    return GST_ELEMENT_CLASS(hp_fluid_synth_parent_class)->change_state(element, transition);
}

void onFinalize(GObject *object)
{
    delete asSynth(object)->synthesiser;
    G_OBJECT_CLASS(hp_fluid_synth_parent_class)->finalize(object);
}

void hp_fluid_synth_class_init(HpFluidSynthClass *klass)
{
    G_OBJECT_CLASS(klass)->finalize = onFinalize;
    GstElementClass *elementClass = GST_ELEMENT_CLASS(klass);
    gst_element_class_add_static_pad_template(elementClass, &sinkTemplate);
    gst_element_class_add_static_pad_template(elementClass, &sourceTemplate);
    gst_element_class_set_static_metadata(elementClass, "Hollyphone MIDI synthesiser",
                                          "Codec/Decoder/Audio",
                                          "Plays MIDI events on FluidSynth", "Hollyphone");
    elementClass->change_state = onChangeState;
}

void hp_fluid_synth_init(HpFluidSynth *self)
{
    self->sinkPad = gst_pad_new_from_static_template(&sinkTemplate, "sink");
    gst_pad_set_event_function(self->sinkPad, onSinkEvent);
    gst_pad_set_chain_function(self->sinkPad, onSinkBuffer);
    gst_element_add_pad(GST_ELEMENT(self), self->sinkPad);
    self->sourcePad = gst_pad_new_from_static_template(&sourceTemplate, "src");
    gst_pad_use_fixed_caps(self->sourcePad);
    gst_element_add_pad(GST_ELEMENT(self), self->sourcePad);
    self->synthesiser = nullptr;
}

}  // namespace

GstElementHandle makeFluidSynthElement(const std::string &soundFontPath,
                                       const std::string &midiPath)
{
    if (!fluidSynthLibrary())
        return {};
    auto *element = static_cast<GstElement *>(g_object_new(hp_fluid_synth_get_type(), nullptr));
    if (!element)
        return {};
    gst_object_ref_sink(element);
    asSynth(element)->synthesiser = new Synthesiser(soundFontPath, midiPath);
    return GstElementHandle(element);
}

}  // namespace hp::host
