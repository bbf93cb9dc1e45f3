#include "platform/testing/recording_mci.h"

#include <map>
#include <utility>

#include "platform/testing/twins.h"

namespace hp::testing {
namespace {

constexpr DWORD anyFlags = ~0u;

class RecordingState final : public RecordingMci {
public:
    static RecordingState &instance()
    {
        // Outlives every device the dispatcher keeps until the process ends.
        static RecordingState *state = new RecordingState;
        return *state;
    }

    void reset() override
    {
        calls_.clear();
        openResults_.clear();
        results_.clear();
        statuses_.clear();
    }

    const std::vector<MciCall> &calls() const override { return calls_; }

    void setOpenResult(const std::string &deviceType, MCIERROR result) override
    {
        openResults_[deviceType] = result;
    }

    void setResult(UINT command, DWORD flags, MCIERROR result) override
    {
        results_[{command, flags}] = result;
    }

    void setStatus(DWORD item, DWORD track, DWORD_PTR value) override
    {
        statuses_[{item, track}] = value;
    }

    // The open script of the type, else that of all types, else what
    // setResult says of MCI_OPEN with these flags.
    MCIERROR openResult(const std::string &deviceType, DWORD flags) const
    {
        if (const auto found = openResults_.find(deviceType); found != openResults_.end())
            return found->second;
        if (const auto found = openResults_.find(""); found != openResults_.end())
            return found->second;
        return result(MCI_OPEN, flags);
    }

    MCIERROR result(UINT command, DWORD flags) const
    {
        if (const auto found = results_.find({command, flags}); found != results_.end())
            return found->second;
        if (const auto found = results_.find({command, anyFlags}); found != results_.end())
            return found->second;
        return 0;
    }

    const DWORD_PTR *status(DWORD item, DWORD track) const
    {
        const auto found = statuses_.find({item, track});
        return found == statuses_.end() ? nullptr : &found->second;
    }

    void record(MciCall call) { calls_.push_back(std::move(call)); }

private:
    RecordingState() = default;

    std::vector<MciCall> calls_;
    std::map<std::string, MCIERROR> openResults_;
    std::map<std::pair<UINT, DWORD>, MCIERROR> results_;
    std::map<std::pair<DWORD, DWORD>, DWORD_PTR> statuses_;
};

// The fields of the caller's record that the command has, as they are now.
void copyRecordFields(UINT command, DWORD_PTR params, MciCall &call)
{
    call.hasRecord = params != 0;
    if (!params)
        return;
    switch (command) {
    case MCI_PLAY: {
        const auto &record = *reinterpret_cast<const MCI_PLAY_PARMS *>(params);
        call.from = record.dwFrom;
        call.to = record.dwTo;
        break;
    }
    case MCI_SEEK:
        call.to = reinterpret_cast<const MCI_SEEK_PARMS *>(params)->dwTo;
        break;
    case MCI_SET:
        call.timeFormat = reinterpret_cast<const MCI_SET_PARMS *>(params)->dwTimeFormat;
        break;
    case MCI_STATUS: {
        const auto &record = *reinterpret_cast<const MCI_STATUS_PARMS *>(params);
        call.item = record.dwItem;
        call.track = record.dwTrack;
        break;
    }
    default:
        break;
    }
}

class RecordingDevice final : public winmm::MciDevice {
public:
    RecordingDevice(MCIDEVICEID id, std::string deviceType)
        : id_(id), deviceType_(std::move(deviceType))
    {
    }

    MCIERROR dispatch(UINT message, DWORD flags, DWORD_PTR params) override
    {
        RecordingState &state = RecordingState::instance();
        MciCall call;
        call.device = id_;
        call.deviceType = deviceType_;
        call.command = message;
        call.flags = flags;
        copyRecordFields(message, params, call);
        state.record(call);

        MCIERROR answer = state.result(message, flags);
        if (answer == 0 && message == MCI_STATUS)
            answer = answerStatus(state, flags, params);
        if (answer == 0 && (flags & MCI_NOTIFY) && params) {
            const auto callback = reinterpret_cast<const MCI_GENERIC_PARMS *>(params)->dwCallback;
            winmm::postMciNotify(callback, MCI_NOTIFY_SUCCESSFUL, id_);
        }
        return answer;
    }

private:
    static MCIERROR answerStatus(const RecordingState &state, DWORD flags, DWORD_PTR params)
    {
        if (!params)
            return MCIERR_NULL_PARAMETER_BLOCK;
        if (!(flags & MCI_STATUS_ITEM))
            return MCIERR_MISSING_PARAMETER;
        auto &record = *reinterpret_cast<MCI_STATUS_PARMS *>(params);
        const DWORD track = (flags & MCI_TRACK) ? record.dwTrack : 0;
        const DWORD_PTR *value = state.status(record.dwItem, track);
        if (!value)
            return MCIERR_UNSUPPORTED_FUNCTION;
        record.dwReturn = *value;
        return 0;
    }

    MCIDEVICEID id_;
    std::string deviceType_;
};

class RecordingDriver final : public winmm::MciDriver {
public:
    explicit RecordingDriver(const char *deviceType) : deviceType_(deviceType) {}

    const char *deviceType() const override { return deviceType_; }

    MCIERROR open(const winmm::MciOpenRequest &request,
                  std::unique_ptr<winmm::MciDevice> &device) override
    {
        RecordingState &state = RecordingState::instance();
        MciCall call;
        call.device = request.deviceId;
        call.deviceType = deviceType_;
        call.command = MCI_OPEN;
        call.flags = request.flags;
        call.hasRecord = request.params != 0;
        if (request.flags & MCI_OPEN_TYPE) {
            const auto &record = *reinterpret_cast<const MCI_OPEN_PARMSA *>(request.params);
            if ((request.flags & MCI_OPEN_TYPE_ID) || !record.lpstrDeviceType)
                call.openType = request.deviceType;
            else
                call.openType = record.lpstrDeviceType;
        }
        if (request.hasElement)
            call.openElement = request.element;
        state.record(call);

        const MCIERROR answer = state.openResult(deviceType_, request.flags);
        if (answer != 0)
            return answer;
        device = std::make_unique<RecordingDevice>(request.deviceId, deviceType_);
        if (request.flags & MCI_NOTIFY)
            winmm::postMciNotify(request.callback, MCI_NOTIFY_SUCCESSFUL, request.deviceId);
        return 0;
    }

private:
    const char *deviceType_;
};

}  // namespace

std::vector<std::unique_ptr<winmm::MciDriver>> makeRecordingMciDrivers()
{
    std::vector<std::unique_ptr<winmm::MciDriver>> drivers;
    for (const char *type : {"waveaudio", "sequencer", "mpegvideo", "cdaudio"})
        drivers.push_back(std::make_unique<RecordingDriver>(type));
    return drivers;
}

RecordingMci &recordingMci()
{
    // Asking the dispatcher anything installs the wiring's drivers.
    static_cast<void>(winmm::openMciDeviceCount());
    return RecordingState::instance();
}

}  // namespace hp::testing
