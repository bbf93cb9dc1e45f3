// MCI driver for audio CDs: "cdaudio".
//
// Supports: MCI_OPEN of the first CD drive (no element) or of the drive
// named by the element's first letter ("D:", "D:\", "d:\Track03.cda" all
// open drive D:, as on the platform); time formats MSF (the default),
// TMSF and milliseconds; MCI_PLAY with MCI_FROM and MCI_TO (a position
// past the last track, such as TMSF(last track + 1), is refused with
// MCIERR_OUTOFRANGE; data tracks are skipped); MCI_STOP, MCI_PAUSE,
// MCI_RESUME, MCI_SEEK; MCI_SET with MCI_SET_DOOR_OPEN and
// MCI_SET_DOOR_CLOSED (no record needed) and MCI_SET_TIME_FORMAT;
// MCI_STATUS items LENGTH (disc, or a track with MCI_TRACK; reported in
// MSF when the format is TMSF; the last track one frame short, as the
// platform reports it), POSITION (current, MCI_STATUS_START, MCI_TRACK),
// NUMBER_OF_TRACKS, CURRENT_TRACK, MODE, MEDIA_PRESENT, READY,
// TIME_FORMAT, MCI_CDA_STATUS_TYPE_TRACK.
// Does not support: MCI_INFO, MCI_GETDEVCAPS, MCI_SET_AUDIO, tracks of a
// disc that changed under a playing stream (the stream is rebuilt at the
// next play).
//
// No host code here: discs and trays come from the drive table, sound from
// the AudioEngine, which plays the whole disc as one stream whose time 0 is
// the start of the first audio track (a mixed-mode disc's leading data
// track is not part of it).
#include "platform/winmm/mci_cd_driver.h"

#include <cctype>
#include <chrono>
#include <thread>

#include "platform/kernel32/drive_table.h"
#include "platform/winmm/mci_notification.h"
#include "platform/winmm/now_playing.h"
#include "platform/winmm/output_mixer.h"

namespace hp::winmm {
namespace {

using kernel32::CdDisc;
using kernel32::CdTrack;

constexpr DWORD framesPerSecond = kernel32::cdFramesPerSecond;
constexpr DWORD framesPerMinute = 60 * framesPerSecond;
constexpr auto waitPollInterval = std::chrono::milliseconds(10);

AudioTime timeOfFrames(DWORD frames)
{
    return AudioTime(static_cast<int64_t>(frames) * 1000000 / framesPerSecond);
}

DWORD framesOfTime(AudioTime time)
{
    return static_cast<DWORD>((time.count() * framesPerSecond + 500000) / 1000000);
}

// ------------------------------------------------------- disc arithmetic

const CdTrack *findTrack(const CdDisc &disc, DWORD number)
{
    for (const CdTrack &track : disc.tracks) {
        if (static_cast<DWORD>(track.number) == number)
            return &track;
    }
    return nullptr;
}

DWORD firstFrame(const CdDisc &disc) { return disc.tracks.front().startFrame; }

// The frame at the stream's time 0.
DWORD streamOrigin(const CdDisc &disc)
{
    for (const CdTrack &track : disc.tracks) {
        if (track.audio)
            return track.startFrame;
    }
    return firstFrame(disc);
}

// Index in disc.tracks of the track holding the frame (the last one that
// starts at or before it).
size_t trackIndexAt(const CdDisc &disc, DWORD frame)
{
    size_t index = 0;
    for (size_t i = 0; i < disc.tracks.size(); ++i) {
        if (disc.tracks[i].startFrame <= frame)
            index = i;
    }
    return index;
}

DWORD trackEndFrame(const CdDisc &disc, size_t index)
{
    return index + 1 < disc.tracks.size() ? disc.tracks[index + 1].startFrame : disc.leadOutFrame;
}

// An MCI time in the given format as an absolute frame; false when it
// names no place on the disc (a track that does not exist).
bool frameOfTime(const CdDisc &disc, DWORD format, DWORD value, DWORD &frame)
{
    switch (format) {
    case MCI_FORMAT_MILLISECONDS:
        frame = static_cast<DWORD>((static_cast<uint64_t>(value) * framesPerSecond + 500) / 1000);
        return true;
    case MCI_FORMAT_MSF:
        frame = MCI_MSF_MINUTE(value) * framesPerMinute + MCI_MSF_SECOND(value) * framesPerSecond +
                MCI_MSF_FRAME(value);
        return true;
    default: {
        const CdTrack *track = findTrack(disc, MCI_TMSF_TRACK(value));
        if (!track)
            return false;
        frame = track->startFrame + MCI_TMSF_MINUTE(value) * framesPerMinute +
                MCI_TMSF_SECOND(value) * framesPerSecond + MCI_TMSF_FRAME(value);
        return true;
    }
    }
}

// An absolute frame (or a frame count, for MSF lengths) in a format.
DWORD timeOfFrame(const CdDisc &disc, DWORD format, DWORD frame)
{
    switch (format) {
    case MCI_FORMAT_MILLISECONDS:
        return static_cast<DWORD>(static_cast<uint64_t>(frame) * 1000 / framesPerSecond);
    case MCI_FORMAT_MSF:
        return MCI_MAKE_MSF(frame / framesPerMinute, (frame % framesPerMinute) / framesPerSecond,
                            frame % framesPerSecond);
    default: {
        if (disc.tracks.empty() || frame < firstFrame(disc) || frame > disc.leadOutFrame)
            return 0;
        const CdTrack &track = disc.tracks[trackIndexAt(disc, frame)];
        const DWORD into = frame - track.startFrame;
        return MCI_MAKE_TMSF(track.number, into / framesPerMinute,
                             (into % framesPerMinute) / framesPerSecond, into % framesPerSecond);
    }
    }
}

// Moves a frame inside a data track to the start of the next audio track;
// the lead-out itself is not a place to play from.
MCIERROR skipDataTracks(const CdDisc &disc, DWORD &frame)
{
    if (frame < firstFrame(disc) || frame >= disc.leadOutFrame)
        return MCIERR_OUTOFRANGE;
    size_t index = trackIndexAt(disc, frame);
    while (index < disc.tracks.size() && !disc.tracks[index].audio)
        ++index;
    const DWORD next = index < disc.tracks.size() ? disc.tracks[index].startFrame
                                                  : disc.leadOutFrame;
    if (next > frame)
        frame = next;
    if (frame == disc.leadOutFrame)
        --frame;
    return 0;
}

bool sameDisc(const CdDisc &a, const CdDisc &b)
{
    if (a.leadOutFrame != b.leadOutFrame || a.tracks.size() != b.tracks.size())
        return false;
    for (size_t i = 0; i < a.tracks.size(); ++i) {
        if (a.tracks[i].startFrame != b.tracks[i].startFrame)
            return false;
    }
    return true;
}

// ------------------------------------------------------------ the device

class CdDevice final : public MciDevice {
public:
    CdDevice(MCIDEVICEID id, int drive, std::shared_ptr<AudioEngine> engine)
        : id_(id), drive_(drive), engine_(std::move(engine)),
          notification_(std::make_shared<MciNotification>(id))
    {
    }

    ~CdDevice() override
    {
        NowPlaying::instance().stopped(id_);
        notification_->finish(MCI_NOTIFY_ABORTED);
        releaseStream();
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
    // The disc now, or MCIERR_DEVICE_NOT_READY.
    MCIERROR readDisc(CdDisc &disc)
    {
        if (!kernel32::driveTable().readDisc(drive_, disc) || disc.tracks.empty())
            return MCIERR_DEVICE_NOT_READY;
        return 0;
    }

    DWORD currentFrame(const CdDisc &disc)
    {
        if (stream_ && sameDisc(disc, streamDisc_))
            return streamOrigin(disc) + framesOfTime(stream_->position());
        return heldFrame_ ? heldFrame_ : firstFrame(disc);
    }

    MCIERROR ensureStream(const CdDisc &disc)
    {
        if (stream_ && sameDisc(disc, streamDisc_))
            return 0;
        releaseStream();
        AudioSource source;
        source.kind = AudioSource::Kind::CdDisc;
        source.line = AudioLine::CdAudio;
        source.cdDevice = kernel32::driveTable().deviceName(drive_);
        std::unique_ptr<AudioStream> stream;
        const MCIERROR error =
            engine_->open(source, OutputLines::instance().gain(AudioLine::CdAudio), stream);
        if (error)
            return error;
        stream_ = std::move(stream);
        streamDisc_ = disc;
        attachment_ = OutputLines::instance().attach(AudioLine::CdAudio, *stream_);
        stream_->setEndHandler([notification = notification_, id = id_](PlayEnd end) {
            NowPlaying::instance().stopped(id);
            notification->playEnded(end);
        });
        return 0;
    }

    // The desktop's media controls show the track that holds the start.
    void tellStarted(const CdDisc &disc, DWORD start)
    {
        const size_t index = trackIndexAt(disc, start);
        const DWORD first = disc.tracks[index].startFrame;
        const auto milliseconds = [](DWORD frames) { return uint64_t{frames} * 1000 / framesPerSecond; };
        NowPlaying::instance().started(id_, "", titleOfCdTrack(disc.tracks[index].number),
                                       milliseconds(trackEndFrame(disc, index) - first),
                                       milliseconds(start - first));
    }

    void releaseStream()
    {
        attachment_ = OutputLines::Attachment();
        stream_.reset();
    }

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
        if (!params)
            return MCIERR_NULL_PARAMETER_BLOCK;
        CdDisc disc;
        if (MCIERROR error = readDisc(disc))
            return error;

        DWORD start = 0;
        if (flags & MCI_FROM) {
            if (!frameOfTime(disc, timeFormat_, params->dwFrom, start))
                return MCIERR_OUTOFRANGE;
        } else {
            start = currentFrame(disc);
        }
        if (MCIERROR error = skipDataTracks(disc, start))
            return error;

        DWORD end = disc.leadOutFrame;
        if (flags & MCI_TO) {
            if (!frameOfTime(disc, timeFormat_, params->dwTo, end))
                return MCIERR_OUTOFRANGE;
            if (MCIERROR error = skipDataTracks(disc, end))
                return error;
        }
        if (end < start)
            return MCIERR_OUTOFRANGE;

        notification_->hold((flags & MCI_NOTIFY) ? params->dwCallback : 0);
        if (start == end) {
            notification_->finish(MCI_NOTIFY_SUCCESSFUL);
            return 0;
        }
        if (MCIERROR error = ensureStream(disc)) {
            notification_->finish(MCI_NOTIFY_FAILURE);
            return error;
        }
        const DWORD origin = streamOrigin(disc);
        if (!stream_->play(timeOfFrames(start - origin), timeOfFrames(end - origin))) {
            notification_->finish(MCI_NOTIFY_FAILURE);
            return MCIERR_HARDWARE;
        }
        heldFrame_ = 0;
        tellStarted(disc, start);
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
        if (stream_)
            stream_->pause();
        NowPlaying::instance().stopped(id_);
        notification_->completed(flags, notifyCallbackOf(flags, params));
        return 0;
    }

    MCIERROR resume(DWORD flags, const MCI_GENERIC_PARMS *params)
    {
        if (stream_)
            stream_->resume();
        notification_->completed(flags, notifyCallbackOf(flags, params));
        return 0;
    }

    MCIERROR seek(DWORD flags, const MCI_SEEK_PARMS *params)
    {
        if (!params)
            return MCIERR_NULL_PARAMETER_BLOCK;
        const DWORD where = flags & (MCI_SEEK_TO_START | MCI_SEEK_TO_END | MCI_TO);
        if (!where)
            return MCIERR_MISSING_PARAMETER;
        if (where & (where - 1))
            return MCIERR_FLAGS_NOT_COMPATIBLE;
        notification_->finish(MCI_NOTIFY_ABORTED);
        if (stream_)
            stream_->stop(AudioStream::Wait::UntilSilent);

        CdDisc disc;
        if (MCIERROR error = readDisc(disc))
            return error;
        DWORD target = 0;
        if (where == MCI_SEEK_TO_START) {
            target = firstFrame(disc);
        } else if (where == MCI_SEEK_TO_END) {
            target = disc.leadOutFrame - 1;
        } else if (!frameOfTime(disc, timeFormat_, params->dwTo, target)) {
            return MCIERR_OUTOFRANGE;
        }
        if (MCIERROR error = skipDataTracks(disc, target))
            return error;

        if (stream_ && sameDisc(disc, streamDisc_))
            stream_->seek(timeOfFrames(target - streamOrigin(disc)));
        else
            heldFrame_ = target;
        notification_->completed(flags, params->dwCallback);
        return 0;
    }

    MCIERROR set(DWORD flags, const MCI_SET_PARMS *params)
    {
        // The door commands need no record.
        if (flags & (MCI_SET_DOOR_OPEN | MCI_SET_DOOR_CLOSED)) {
            notification_->finish(MCI_NOTIFY_ABORTED);
            releaseStream();
            heldFrame_ = 0;
            kernel32::driveTable().setTray(drive_, (flags & MCI_SET_DOOR_OPEN) != 0);
        }
        if (!params) {
            if (flags & (MCI_SET_TIME_FORMAT | MCI_SET_AUDIO | MCI_NOTIFY))
                return MCIERR_NULL_PARAMETER_BLOCK;
            return 0;
        }
        if (flags & MCI_SET_TIME_FORMAT) {
            switch (params->dwTimeFormat) {
            case MCI_FORMAT_MILLISECONDS:
            case MCI_FORMAT_MSF:
            case MCI_FORMAT_TMSF:
                timeFormat_ = params->dwTimeFormat;
                break;
            default:
                return MCIERR_BAD_TIME_FORMAT;
            }
        }
        notification_->completed(flags, params->dwCallback);
        return 0;
    }

    MCIERROR status(DWORD flags, MCI_STATUS_PARMS *params)
    {
        if (!params)
            return MCIERR_NULL_PARAMETER_BLOCK;
        if (!(flags & MCI_STATUS_ITEM))
            return MCIERR_MISSING_PARAMETER;
        if (MCIERROR error = statusItem(flags, *params))
            return error;
        notification_->completed(flags, params->dwCallback);
        return 0;
    }

    MCIERROR statusItem(DWORD flags, MCI_STATUS_PARMS &params)
    {
        CdDisc disc;
        switch (params.dwItem) {
        case MCI_STATUS_MODE:
            params.dwReturn = modeValue();
            return 0;
        case MCI_STATUS_MEDIA_PRESENT:
        case MCI_STATUS_READY:
            params.dwReturn = readDisc(disc) == 0 ? TRUE : FALSE;
            return 0;
        case MCI_STATUS_TIME_FORMAT:
            params.dwReturn = timeFormat_;
            return 0;
        default:
            break;
        }

        if (MCIERROR error = readDisc(disc))
            return error;
        switch (params.dwItem) {
        case MCI_STATUS_LENGTH:
            return statusLength(flags, disc, params);
        case MCI_STATUS_POSITION:
            return statusPosition(flags, disc, params);
        case MCI_STATUS_NUMBER_OF_TRACKS:
            params.dwReturn = static_cast<DWORD>(disc.tracks.size());
            return 0;
        case MCI_STATUS_CURRENT_TRACK:
            params.dwReturn = disc.tracks[trackIndexAt(disc, currentFrame(disc))].number;
            return 0;
        case MCI_CDA_STATUS_TYPE_TRACK: {
            if (!(flags & MCI_TRACK))
                return MCIERR_MISSING_PARAMETER;
            const CdTrack *track = findTrack(disc, params.dwTrack);
            if (!track)
                return MCIERR_OUTOFRANGE;
            params.dwReturn = track->audio ? MCI_CDA_TRACK_AUDIO : MCI_CDA_TRACK_OTHER;
            return 0;
        }
        default:
            return MCIERR_UNSUPPORTED_FUNCTION;
        }
    }

    MCIERROR statusLength(DWORD flags, const CdDisc &disc, MCI_STATUS_PARMS &params)
    {
        DWORD frames;
        if (flags & MCI_TRACK) {
            const CdTrack *track = findTrack(disc, params.dwTrack);
            if (!track)
                return MCIERR_OUTOFRANGE;
            const size_t index = static_cast<size_t>(track - disc.tracks.data());
            frames = trackEndFrame(disc, index) - track->startFrame;
            // The platform reports the last track one frame short.
            if (index + 1 == disc.tracks.size())
                --frames;
        } else {
            frames = disc.leadOutFrame - firstFrame(disc) - 1;
        }
        // Lengths have no track: TMSF reports them in MSF.
        const DWORD format = timeFormat_ == MCI_FORMAT_TMSF ? MCI_FORMAT_MSF : timeFormat_;
        params.dwReturn = timeOfFrame(disc, format, frames);
        return 0;
    }

    MCIERROR statusPosition(DWORD flags, const CdDisc &disc, MCI_STATUS_PARMS &params)
    {
        DWORD frame;
        switch (flags & (MCI_STATUS_START | MCI_TRACK)) {
        case MCI_STATUS_START:
            frame = firstFrame(disc);
            break;
        case MCI_TRACK: {
            const CdTrack *track = findTrack(disc, params.dwTrack);
            if (!track)
                return MCIERR_OUTOFRANGE;
            frame = track->startFrame;
            break;
        }
        case 0:
            frame = currentFrame(disc);
            break;
        default:
            return MCIERR_FLAGS_NOT_COMPATIBLE;
        }
        params.dwReturn = timeOfFrame(disc, timeFormat_, frame);
        return 0;
    }

    DWORD modeValue()
    {
        CdDisc disc;
        if (readDisc(disc) != 0)
            return MCI_MODE_OPEN;
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
    const int drive_;
    const std::shared_ptr<AudioEngine> engine_;
    const std::shared_ptr<MciNotification> notification_;
    DWORD timeFormat_ = MCI_FORMAT_MSF;
    DWORD heldFrame_ = 0;  // position set while no stream plays (0: disc start)
    std::unique_ptr<AudioStream> stream_;
    CdDisc streamDisc_;
    OutputLines::Attachment attachment_;
};

class CdDriver final : public MciDriver {
public:
    explicit CdDriver(std::shared_ptr<AudioEngine> engine) : engine_(std::move(engine)) {}

    const char *deviceType() const override { return "cdaudio"; }

    MCIERROR open(const MciOpenRequest &request, std::unique_ptr<MciDevice> &device) override
    {
        if (request.flags & MCI_OPEN_ELEMENT_ID)
            return MCIERR_FLAGS_NOT_COMPATIBLE;
        int drive = 0;
        if (request.hasElement) {
            // Only the drive letter counts: "D:", "D:\" and "D:\Track03.cda"
            // all name drive D:.
            const unsigned char letter =
                request.element.empty() ? 0 : static_cast<unsigned char>(request.element[0]);
            if (!std::isalpha(letter))
                return MCIERR_INVALID_FILE;
            drive = kernel32::cdDriveIndex(static_cast<char>(std::toupper(letter)));
            if (drive < 0)
                return MCIERR_INVALID_FILE;
        } else if (kernel32::driveTable().driveCount() == 0) {
            return MCIERR_CANNOT_LOAD_DRIVER;
        }
        device = std::make_unique<CdDevice>(request.deviceId, drive, engine_);
        MciNotification(request.deviceId).completed(request.flags, request.callback);
        return 0;
    }

private:
    const std::shared_ptr<AudioEngine> engine_;
};

}  // namespace

std::unique_ptr<MciDriver> makeCdMciDriver(const std::shared_ptr<AudioEngine> &engine)
{
    return std::make_unique<CdDriver>(engine);
}

}  // namespace hp::winmm
