#include "platform/testing/message_box_recorder.h"

#include <mutex>

#include "platform/testing/twins.h"

namespace hp::testing {
namespace {

// Records every box and answers it at once: with the scripted answer, or
// else the way a user dismissing the box would (IDOK, IDNO, IDCANCEL).
class RecordingMessageBox final : public user32::MessageBoxBackend, public MessageBoxRecorder {
public:
    int show(HWND owner, const std::string &text, const std::string &caption, UINT type) override
    {
        std::lock_guard<std::mutex> lock(mutex_);
        calls_.push_back(MessageBoxCall{owner, text, caption, type});
        if (scriptedAnswer_ != 0)
            return scriptedAnswer_;
        switch (type & MB_TYPEMASK) {
        case MB_YESNO:
            return IDNO;
        case MB_OKCANCEL:
            return IDCANCEL;
        default:
            return IDOK;
        }
    }

    void reset() override
    {
        std::lock_guard<std::mutex> lock(mutex_);
        calls_.clear();
        scriptedAnswer_ = 0;
    }

    const std::vector<MessageBoxCall> &calls() const override { return calls_; }

    void setAnswer(int answer) override
    {
        std::lock_guard<std::mutex> lock(mutex_);
        scriptedAnswer_ = answer;
    }

private:
    std::mutex mutex_;
    std::vector<MessageBoxCall> calls_;
    int scriptedAnswer_ = 0;
};

}  // namespace

std::unique_ptr<user32::MessageBoxBackend> makeMessageBoxRecorder()
{
    return std::make_unique<RecordingMessageBox>();
}

MessageBoxRecorder &messageBoxRecorder()
{
    auto *twin = dynamic_cast<RecordingMessageBox *>(&user32::messageBoxBackend());
    if (!twin) {
        auto fresh = std::make_unique<RecordingMessageBox>();
        twin = fresh.get();
        user32::installMessageBoxBackend(std::move(fresh));
    }
    return *twin;
}

}  // namespace hp::testing
