// MCI_SYSINFO, which the dispatcher answers itself.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "platform/testing/recording_mci.h"
#include "platform/testing/twins.h"
#include "platform/win32.h"
#include "platform/winmm/mci_driver.h"

namespace {

constexpr DWORD sentinel = 0xA5A5A5A5u;

class WinmmMciSysinfo : public ::testing::Test {
protected:
    void SetUp() override
    {
        // Installed in this order: waveaudio, sequencer, mpegvideo, cdaudio.
        hp::winmm::installMciDrivers(hp::testing::makeRecordingMciDrivers());
        hp::testing::recordingMci().reset();
    }
    void TearDown() override { mciSendCommandA(MCI_ALL_DEVICE_ID, MCI_CLOSE, 0, 0); }

    static MCIDEVICEID open(DWORD flags, LPCSTR type, LPCSTR element, LPCSTR alias = nullptr)
    {
        MCI_OPEN_PARMSA record{};
        record.lpstrDeviceType = type;
        record.lpstrElementName = element;
        record.lpstrAlias = alias;
        EXPECT_EQ(0u, mciSendCommandA(0, MCI_OPEN, flags, reinterpret_cast<DWORD_PTR>(&record)));
        return record.wDeviceID;
    }

    // MCI_SYSINFO_QUANTITY, as the device and type ask.
    static MCIERROR quantity(MCIDEVICEID device, DWORD flags, UINT devType, DWORD &count)
    {
        count = sentinel;
        MCI_SYSINFO_PARMSA record{};
        record.lpstrReturn = reinterpret_cast<LPSTR>(&count);
        record.dwRetSize = sizeof(count);
        record.wDeviceType = devType;
        return mciSendCommandA(device, MCI_SYSINFO, MCI_SYSINFO_QUANTITY | flags,
                               reinterpret_cast<DWORD_PTR>(&record));
    }

    static MCIERROR text(MCIDEVICEID device, DWORD flags, DWORD number, UINT devType,
                         std::string &answer, DWORD size = 64)
    {
        char buffer[64];
        std::memset(buffer, 'x', sizeof(buffer));
        buffer[sizeof(buffer) - 1] = '\0';
        MCI_SYSINFO_PARMSA record{};
        record.lpstrReturn = buffer;
        record.dwRetSize = size;
        record.dwNumber = number;
        record.wDeviceType = devType;
        const MCIERROR error = mciSendCommandA(device, MCI_SYSINFO, flags,
                                               reinterpret_cast<DWORD_PTR>(&record));
        answer = buffer;
        return error;
    }
};

TEST_F(WinmmMciSysinfo, QuantitiesCountOpenDevicesAndInstalledDrivers)
{
    DWORD count = 0;
    EXPECT_EQ(0u, quantity(MCI_ALL_DEVICE_ID, MCI_SYSINFO_OPEN, 0, count));
    EXPECT_EQ(0u, count);
    EXPECT_EQ(0u, quantity(MCI_ALL_DEVICE_ID, 0, 0, count));
    EXPECT_EQ(4u, count);

    open(MCI_OPEN_TYPE, "cdaudio", nullptr);
    open(MCI_OPEN_TYPE | MCI_OPEN_ELEMENT, "cdaudio", "E:\\");
    open(MCI_OPEN_ELEMENT, nullptr, "song.mp3");

    EXPECT_EQ(0u, quantity(MCI_ALL_DEVICE_ID, MCI_SYSINFO_OPEN | MCI_WAIT, 0, count));
    EXPECT_EQ(3u, count);
    EXPECT_EQ(hp::winmm::openMciDeviceCount(), count);
    // A device type instead of all devices (any identifier but "all").
    EXPECT_EQ(0u, quantity(0, MCI_SYSINFO_OPEN, MCI_DEVTYPE_CD_AUDIO, count));
    EXPECT_EQ(2u, count);
    EXPECT_EQ(0u, quantity(0, MCI_SYSINFO_OPEN, MCI_DEVTYPE_DIGITAL_VIDEO, count));
    EXPECT_EQ(1u, count);
    EXPECT_EQ(0u, quantity(0, MCI_SYSINFO_OPEN, MCI_DEVTYPE_SEQUENCER, count));
    EXPECT_EQ(0u, count);
    EXPECT_EQ(0u, quantity(0, 0, MCI_DEVTYPE_SEQUENCER, count));
    EXPECT_EQ(1u, count);
    EXPECT_EQ(0u, quantity(0, 0, MCI_DEVTYPE_VCR, count));
    EXPECT_EQ(0u, count);

    mciSendCommandA(1, MCI_CLOSE, 0, 0);
    EXPECT_EQ(0u, quantity(0xFFFF, MCI_SYSINFO_OPEN, 0, count));
    EXPECT_EQ(2u, count);

    // Neither a quantity nor a name.
    std::string answer;
    EXPECT_EQ(MCIERR_UNRECOGNIZED_KEYWORD, text(MCI_ALL_DEVICE_ID, MCI_SYSINFO_OPEN, 1, 0, answer));
    EXPECT_EQ(std::string(63, 'x'), answer);
}

TEST_F(WinmmMciSysinfo, NamesOfOpenDevicesAreTheirAliases)
{
    open(MCI_OPEN_TYPE, "CDAudio", nullptr);
    open(MCI_OPEN_ELEMENT, nullptr, "C:\\song.mp3");
    open(MCI_OPEN_TYPE | MCI_OPEN_ALIAS, "waveaudio", nullptr, "chime");

    std::string answer;
    EXPECT_EQ(0u, text(MCI_ALL_DEVICE_ID, MCI_SYSINFO_NAME | MCI_SYSINFO_OPEN, 1, 0, answer));
    EXPECT_EQ("CDAudio", answer);
    EXPECT_EQ(0u, text(MCI_ALL_DEVICE_ID, MCI_SYSINFO_NAME | MCI_SYSINFO_OPEN, 2, 0, answer));
    EXPECT_EQ("C:\\song.mp3", answer);
    EXPECT_EQ(0u, text(MCI_ALL_DEVICE_ID, MCI_SYSINFO_NAME | MCI_SYSINFO_OPEN, 3, 0, answer));
    EXPECT_EQ("chime", answer);
    EXPECT_EQ(0u, text(0, MCI_SYSINFO_NAME | MCI_SYSINFO_OPEN, 1, MCI_DEVTYPE_WAVEFORM_AUDIO,
                       answer));
    EXPECT_EQ("chime", answer);

    const std::string untouched(63, 'x');
    EXPECT_EQ(MCIERR_OUTOFRANGE,
              text(MCI_ALL_DEVICE_ID, MCI_SYSINFO_NAME | MCI_SYSINFO_OPEN, 4, 0, answer));
    EXPECT_EQ(untouched, answer);
    EXPECT_EQ(MCIERR_OUTOFRANGE,
              text(MCI_ALL_DEVICE_ID, MCI_SYSINFO_NAME | MCI_SYSINFO_OPEN, 0, 0, answer));
    // "chime" and its terminator need 6 bytes.
    EXPECT_EQ(MCIERR_PARAM_OVERFLOW,
              text(MCI_ALL_DEVICE_ID, MCI_SYSINFO_NAME | MCI_SYSINFO_OPEN, 3, 0, answer, 5));
    EXPECT_EQ(untouched, answer);
    EXPECT_EQ(0u, text(MCI_ALL_DEVICE_ID, MCI_SYSINFO_NAME | MCI_SYSINFO_OPEN, 3, 0, answer, 6));
    EXPECT_EQ("chime", answer);
}

TEST_F(WinmmMciSysinfo, InstalledNamesAndTheTypeOfAnOpenDevice)
{
    std::string answer;
    EXPECT_EQ(0u, text(MCI_ALL_DEVICE_ID, MCI_SYSINFO_NAME, 2, 0, answer));
    EXPECT_EQ("sequencer", answer);
    EXPECT_EQ(MCIERR_OUTOFRANGE, text(MCI_ALL_DEVICE_ID, MCI_SYSINFO_NAME, 5, 0, answer));
    EXPECT_EQ(0u, text(0, MCI_SYSINFO_NAME, 1, MCI_DEVTYPE_CD_AUDIO, answer));
    EXPECT_EQ("cdaudio", answer);
    EXPECT_EQ(MCIERR_OUTOFRANGE, text(0, MCI_SYSINFO_NAME, 2, MCI_DEVTYPE_CD_AUDIO, answer));

    const MCIDEVICEID file = open(MCI_OPEN_ELEMENT, nullptr, "tune.mid");
    EXPECT_EQ(0u, text(file, MCI_SYSINFO_INSTALLNAME, 0, 0, answer));
    EXPECT_EQ("sequencer", answer);
    EXPECT_EQ(MCIERR_CANNOT_USE_ALL, text(MCI_ALL_DEVICE_ID, MCI_SYSINFO_INSTALLNAME, 0, 0, answer));
    EXPECT_EQ(MCIERR_INVALID_DEVICE_NAME, text(file + 1, MCI_SYSINFO_INSTALLNAME, 0, 0, answer));
    EXPECT_TRUE(hp::testing::recordingMci().calls().size() == 1) << "sysinfo reaches no driver";
}

}  // namespace
