// MCI drivers for files: "waveaudio", "sequencer", "mpegvideo".
//
// Supports: MCI_OPEN by element (any file the engine decodes; a Standard
// MIDI File plays through the synthesiser on the "SW Synth" line, whatever
// type opened it; everything else on the "Wave" line) and by type alone
// (succeeds when an audio output can be had); MCI_CLOSE; MCI_PLAY with
// MCI_FROM, MCI_TO, MCI_NOTIFY and MCI_WAIT; MCI_STOP; MCI_PAUSE;
// MCI_RESUME; MCI_SEEK (MCI_SEEK_TO_START, MCI_SEEK_TO_END, MCI_TO);
// MCI_SET with MCI_SET_TIME_FORMAT (milliseconds); MCI_STATUS items
// LENGTH (also with MCI_TRACK 1), POSITION (also with MCI_STATUS_START),
// NUMBER_OF_TRACKS, CURRENT_TRACK, MODE, MEDIA_PRESENT, READY,
// TIME_FORMAT; notifications as the platform queues them. A device whose
// output fails while it plays (the sound server goes away) stops where it
// was and notifies MCI_NOTIFY_FAILURE; its next play tries the output
// again and answers MCIERR_HARDWARE while there is none.
// Does not support: time formats other than milliseconds (bytes, samples,
// SMPTE, song pointer, frames), MCI_SET_AUDIO, recording, saving,
// MCI_GETDEVCAPS, MCI_INFO, windows of the video device.
#include "platform/winmm/mci_stream_driver.h"

#include <chrono>
#include <cstring>
#include <thread>

#include "platform/kernel32/path_model.h"
#include "platform/winmm/now_playing.h"
#include "platform/winmm/mci_notification.h"
#include "platform/winmm/output_mixer.h"

namespace hp::winmm {
namespace {

using std::chrono::duration_cast;
using std::chrono::milliseconds;

constexpr auto waitPollInterval = milliseconds(10);

DWORD toMilliseconds(AudioTime time)
{
    return static_cast<DWORD>(duration_cast<milliseconds>(time).count());
}

AudioTime fromMilliseconds(DWORD value)
{
    return duration_cast<AudioTime>(milliseconds(value));
}

// "MThd" at the start, or a RIFF file of form "RMID". Read through the
// file functions, which refuse what is no file (a pipe would make a plain
// open wait for a writer).
bool holdsMidi(const std::string &element)
{
    HANDLE file = CreateFileA(element.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    char header[12] = {};
    DWORD read = 0;
    const BOOL readable = ReadFile(file, header, sizeof header, &read, nullptr);
    CloseHandle(file);
    if (!readable)
        return false;
    if (read >= 4 && std::memcmp(header, "MThd", 4) == 0)
        return true;
    return read == sizeof header && std::memcmp(header, "RIFF", 4) == 0 &&
           std::memcmp(header + 8, "RMID", 4) == 0;
}

class StreamDevice final : public MciDevice {
public:
    StreamDevice(MCIDEVICEID id, std::unique_ptr<AudioStream> stream, AudioLine line,
                 std::string hostPath)
        : id_(id), hostPath_(std::move(hostPath)), stream_(std::move(stream)),
          notification_(std::make_shared<MciNotification>(id))
    {
        if (!stream_)
            return;
        attachment_ = OutputLines::instance().attach(line, *stream_);
        stream_->setEndHandler([notification = notification_, id](PlayEnd end) {
            NowPlaying::instance().stopped(id);
            notification->playEnded(end);
        });
    }

    ~StreamDevice() override
    {
        NowPlaying::instance().stopped(id_);
        notification_->finish(MCI_NOTIFY_ABORTED);
        attachment_ = OutputLines::Attachment();
    }

    MCIERROR dispatch(UINT message, DWORD flags, DWORD_PTR params) override
    {
        switch (message) {
        case MCI_CLOSE:
            return close(flags, reinterpret_cast<MCI_GENERIC_PARMS *>(params));
        case MCI_PLAY:
            return play(flags, reinterpret_cast<MCI_PLAY_PARMS *>(params));
        case MCI_STOP:
            return stop(flags, reinterpret_cast<MCI_GENERIC_PARMS *>(params));
        case MCI_PAUSE:
            return pause(flags, reinterpret_cast<MCI_GENERIC_PARMS *>(params));
        case MCI_RESUME:
            return resume(flags, reinterpret_cast<MCI_GENERIC_PARMS *>(params));
        case MCI_SEEK:
            return seek(flags, reinterpret_cast<MCI_SEEK_PARMS *>(params));
        case MCI_SET:
            return set(flags, reinterpret_cast<MCI_SET_PARMS *>(params));
        case MCI_STATUS:
            return status(flags, reinterpret_cast<MCI_STATUS_PARMS *>(params));
        default:
            return MCIERR_UNSUPPORTED_FUNCTION;
        }
    }

private:
    MCIERROR close(DWORD flags, const MCI_GENERIC_PARMS *params)
    {
        if (stream_)
            stream_->stop(AudioStream::Wait::UntilSilent);
        NowPlaying::instance().stopped(id_);
        notification_->finish(MCI_NOTIFY_ABORTED);
        notification_->completed(flags, notifyCallbackOf(flags, params));
        return 0;
    }

    MCIERROR play(DWORD flags, const MCI_PLAY_PARMS *params)
    {
        if (!params && (flags & (MCI_FROM | MCI_TO | MCI_NOTIFY)))
            return MCIERR_NULL_PARAMETER_BLOCK;
        if (!stream_)
            return MCIERR_NONAPPLICABLE_FUNCTION;
        const DWORD length = toMilliseconds(stream_->length());
        std::optional<AudioTime> from;
        std::optional<AudioTime> to;
        if (flags & MCI_FROM) {
            if (params->dwFrom > length)
                return MCIERR_OUTOFRANGE;
            from = fromMilliseconds(params->dwFrom);
        }
        if (flags & MCI_TO) {
            if (params->dwTo > length)
                return MCIERR_OUTOFRANGE;
            to = fromMilliseconds(params->dwTo);
        }
        const AudioTime start = from ? *from : stream_->position();
        if (to && *to < start)
            return MCIERR_OUTOFRANGE;

        notification_->hold((flags & MCI_NOTIFY) ? params->dwCallback : 0);
        if (!stream_->play(from, to)) {
            notification_->finish(MCI_NOTIFY_FAILURE);
            return MCIERR_HARDWARE;
        }
        NowPlaying::instance().started(id_, hostPath_, titleOfFile(hostPath_), length,
                                       toMilliseconds(start));
        if (flags & MCI_WAIT) {
            while (stream_->state() == PlaybackState::Playing)
                std::this_thread::sleep_for(waitPollInterval);
        }
        return 0;
    }

    MCIERROR stop(DWORD flags, const MCI_GENERIC_PARMS *params)
    {
        if (stream_)
            stream_->stop((flags & MCI_WAIT) ? AudioStream::Wait::UntilSilent
                                             : AudioStream::Wait::No);
        NowPlaying::instance().stopped(id_);
        notification_->finish(MCI_NOTIFY_ABORTED);
        notification_->completed(flags, notifyCallbackOf(flags, params));
        return 0;
    }

    MCIERROR pause(DWORD flags, const MCI_GENERIC_PARMS *params)
    {
        if (!stream_)
            return MCIERR_NONAPPLICABLE_FUNCTION;
        stream_->pause();
        NowPlaying::instance().stopped(id_);
        notification_->completed(flags, notifyCallbackOf(flags, params));
        return 0;
    }

    MCIERROR resume(DWORD flags, const MCI_GENERIC_PARMS *params)
    {
        if (!stream_)
            return MCIERR_NONAPPLICABLE_FUNCTION;
        stream_->resume();
        if (stream_->state() == PlaybackState::Playing)
            NowPlaying::instance().started(id_, hostPath_, titleOfFile(hostPath_),
                                           toMilliseconds(stream_->length()),
                                           toMilliseconds(stream_->position()));
        notification_->completed(flags, notifyCallbackOf(flags, params));
        return 0;
    }

    MCIERROR seek(DWORD flags, const MCI_SEEK_PARMS *params)
    {
        if (!params)
            return MCIERR_NULL_PARAMETER_BLOCK;
        if (!stream_)
            return MCIERR_NONAPPLICABLE_FUNCTION;
        const DWORD where = flags & (MCI_SEEK_TO_START | MCI_SEEK_TO_END | MCI_TO);
        if (!where)
            return MCIERR_MISSING_PARAMETER;
        if (where & (where - 1))
            return MCIERR_FLAGS_NOT_COMPATIBLE;
        const AudioTime length = stream_->length();
        AudioTime target{0};
        if (where == MCI_SEEK_TO_END)
            target = length;
        else if (where == MCI_TO) {
            if (fromMilliseconds(params->dwTo) > length)
                return MCIERR_OUTOFRANGE;
            target = fromMilliseconds(params->dwTo);
        }
        notification_->finish(MCI_NOTIFY_ABORTED);
        if (!stream_->seek(target))
            return MCIERR_HARDWARE;
        notification_->completed(flags, params->dwCallback);
        return 0;
    }

    MCIERROR set(DWORD flags, const MCI_SET_PARMS *params)
    {
        if (!params)
            return MCIERR_NULL_PARAMETER_BLOCK;
        if (flags & (MCI_SET_DOOR_OPEN | MCI_SET_DOOR_CLOSED))
            return MCIERR_UNSUPPORTED_FUNCTION;
        if (flags & MCI_SET_TIME_FORMAT) {
            if (params->dwTimeFormat != MCI_FORMAT_MILLISECONDS)
                return MCIERR_BAD_TIME_FORMAT;
        }
        if (flags & MCI_SET_AUDIO)
            return MCIERR_UNSUPPORTED_FUNCTION;
        notification_->completed(flags, params->dwCallback);
        return 0;
    }

    MCIERROR status(DWORD flags, MCI_STATUS_PARMS *params)
    {
        if (!params)
            return MCIERR_NULL_PARAMETER_BLOCK;
        if (!(flags & MCI_STATUS_ITEM))
            return MCIERR_MISSING_PARAMETER;
        if ((flags & MCI_TRACK) && params->dwTrack != 1)
            return MCIERR_OUTOFRANGE;
        switch (params->dwItem) {
        case MCI_STATUS_LENGTH:
            params->dwReturn = stream_ ? toMilliseconds(stream_->length()) : 0;
            break;
        case MCI_STATUS_POSITION:
            params->dwReturn = stream_ && !(flags & (MCI_STATUS_START | MCI_TRACK))
                                   ? toMilliseconds(stream_->position())
                                   : 0;
            break;
        case MCI_STATUS_NUMBER_OF_TRACKS:
        case MCI_STATUS_CURRENT_TRACK:
            params->dwReturn = 1;
            break;
        case MCI_STATUS_MODE:
            params->dwReturn = modeValue();
            break;
        case MCI_STATUS_MEDIA_PRESENT:
        case MCI_STATUS_READY:
            params->dwReturn = TRUE;
            break;
        case MCI_STATUS_TIME_FORMAT:
            params->dwReturn = MCI_FORMAT_MILLISECONDS;
            break;
        default:
            return MCIERR_UNSUPPORTED_FUNCTION;
        }
        notification_->completed(flags, params->dwCallback);
        return 0;
    }

    DWORD modeValue()
    {
        if (!stream_)
            return MCI_MODE_STOP;
        switch (stream_->state()) {
        case PlaybackState::Playing:
            return MCI_MODE_PLAY;
        case PlaybackState::Paused:
            return MCI_MODE_PAUSE;
        case PlaybackState::Stopped:
            break;
        }
        return MCI_MODE_STOP;
    }

    const MCIDEVICEID id_;
    const std::string hostPath_;  // "" for a device without a file
    std::unique_ptr<AudioStream> stream_;
    std::shared_ptr<MciNotification> notification_;
    OutputLines::Attachment attachment_;
};

// One driver per device type; they differ in the name and in what a file
// is taken for.
class StreamDriver final : public MciDriver {
public:
    enum class Kind { WaveAudio, Sequencer, MpegVideo };

    StreamDriver(Kind kind, std::shared_ptr<AudioEngine> engine)
        : kind_(kind), engine_(std::move(engine))
    {
    }

    const char *deviceType() const override
    {
        switch (kind_) {
        case Kind::WaveAudio:
            return "waveaudio";
        case Kind::Sequencer:
            return "sequencer";
        case Kind::MpegVideo:
            return "mpegvideo";
        }
        return "waveaudio";
    }

    MCIERROR open(const MciOpenRequest &request, std::unique_ptr<MciDevice> &device) override
    {
        if (request.flags & MCI_OPEN_ELEMENT_ID)
            return MCIERR_FLAGS_NOT_COMPATIBLE;
        if (!request.hasElement || request.element.empty()) {
            if (!engine_->outputAvailable())
                return MCIERR_WAVE_OUTPUTSUNSUITABLE;
            device = std::make_unique<StreamDevice>(request.deviceId, nullptr, AudioLine::Wave, "");
            notifyOpened(request);
            return 0;
        }

        kernel32::ResolvedPath resolved;
        if (kernel32::resolvePath(request.element.c_str(), resolved) != ERROR_SUCCESS)
            return MCIERR_FILE_NOT_FOUND;
        if (resolved.kind != kernel32::ResolvedPath::Kind::HostFile)
            return MCIERR_INVALID_FILE;

        AudioSource source;
        source.hostPath = resolved.hostPath;
        if (kind_ == Kind::Sequencer || holdsMidi(request.element)) {
            source.kind = AudioSource::Kind::MidiFile;
            source.line = AudioLine::Synth;
        }
        std::unique_ptr<AudioStream> stream;
        const MCIERROR error =
            engine_->open(source, OutputLines::instance().gain(source.line), stream);
        if (error)
            return error;
        device = std::make_unique<StreamDevice>(request.deviceId, std::move(stream), source.line,
                                                source.hostPath);
        notifyOpened(request);
        return 0;
    }

private:
    static void notifyOpened(const MciOpenRequest &request)
    {
        MciNotification(request.deviceId).completed(request.flags, request.callback);
    }

    const Kind kind_;
    const std::shared_ptr<AudioEngine> engine_;
};

}  // namespace

std::vector<std::unique_ptr<MciDriver>> makeStreamMciDrivers(
    const std::shared_ptr<AudioEngine> &engine)
{
    std::vector<std::unique_ptr<MciDriver>> drivers;
    for (auto kind : {StreamDriver::Kind::WaveAudio, StreamDriver::Kind::Sequencer,
                      StreamDriver::Kind::MpegVideo})
        drivers.push_back(std::make_unique<StreamDriver>(kind, engine));
    return drivers;
}

}  // namespace hp::winmm
