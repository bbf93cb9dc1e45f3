#include "platform/null_backends.h"

#include <cstdio>

#include "platform/host/charset.h"

namespace hp::null {
namespace {

class NoDrives final : public kernel32::DriveTable {
public:
    int driveCount() override { return 0; }
    std::string deviceName(int) override { return {}; }
    bool readDisc(int, kernel32::CdDisc &) override { return false; }
    std::string mountPoint(int) override { return {}; }
    bool setTray(int, bool) override { return false; }
};

class NoMixers final : public winmm::MixerBackend {
public:
    UINT deviceCount() override { return 0; }
    bool describe(UINT, winmm::MixerDeviceInfo &) override { return false; }
    MMRESULT getValues(const winmm::MixerControlAddress &, std::vector<LONG> &) override
    {
        return MMSYSERR_BADDEVICEID;
    }
    MMRESULT setValues(const winmm::MixerControlAddress &, const std::vector<LONG> &) override
    {
        return MMSYSERR_BADDEVICEID;
    }
};

// Takes the box's default button: the first one, as Enter would.
class StandardErrorMessageBox final : public user32::MessageBoxBackend {
public:
    int show(HWND, const std::string &text, const std::string &caption, UINT type) override
    {
        std::fprintf(stderr, "[%s] %s\n", host::utf8FromCp932(caption).c_str(),
                     host::utf8FromCp932(text).c_str());
        switch (type & MB_TYPEMASK) {
        case MB_YESNO:
            return IDYES;
        default:
            return IDOK;
        }
    }
};

}  // namespace

std::unique_ptr<kernel32::DriveTable> makeDriveTable() { return std::make_unique<NoDrives>(); }
std::unique_ptr<winmm::MixerBackend> makeMixerBackend() { return std::make_unique<NoMixers>(); }
std::unique_ptr<user32::MessageBoxBackend> makeMessageBoxBackend()
{
    return std::make_unique<StandardErrorMessageBox>();
}

}  // namespace hp::null
