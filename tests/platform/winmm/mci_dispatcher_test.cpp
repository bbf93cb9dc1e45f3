// mciSendCommandA over the recording drivers of the headless wiring.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "platform/testing/recording_mci.h"
#include "platform/testing/twins.h"
#include "platform/win32.h"
#include "platform/winmm/mci_driver.h"

namespace {

using hp::testing::MciCall;
using hp::testing::recordingMci;

constexpr MCIDEVICEID sentinelId = 0xA5A5A5A5u;

struct OpenResult {
    MCIERROR error = 0;
    MCIDEVICEID id = sentinelId;
};

OpenResult openDevice(DWORD flags, LPCSTR type, LPCSTR element, LPCSTR alias = nullptr)
{
    MCI_OPEN_PARMSA record{};
    record.wDeviceID = sentinelId;
    record.lpstrDeviceType = type;
    record.lpstrElementName = element;
    record.lpstrAlias = alias;
    OpenResult result;
    result.error = mciSendCommandA(0, MCI_OPEN, flags, reinterpret_cast<DWORD_PTR>(&record));
    result.id = record.wDeviceID;
    return result;
}

OpenResult openType(LPCSTR type) { return openDevice(MCI_OPEN_TYPE, type, nullptr); }
OpenResult openElement(LPCSTR element) { return openDevice(MCI_OPEN_ELEMENT, nullptr, element); }

LPCSTR typeNumber(UINT devType)
{
    return reinterpret_cast<LPCSTR>(static_cast<DWORD_PTR>(devType));
}

class WinmmMciDispatcher : public ::testing::Test {
protected:
    void SetUp() override
    {
        hp::winmm::installMciDrivers(hp::testing::makeRecordingMciDrivers());
        recordingMci().reset();
    }
    void TearDown() override { mciSendCommandA(MCI_ALL_DEVICE_ID, MCI_CLOSE, 0, 0); }

    static const std::vector<MciCall> &calls() { return recordingMci().calls(); }
};

TEST_F(WinmmMciDispatcher, DeviceTypeComesFromTypeNameTypeNumberOrExtension)
{
    struct Case {
        const char *what;
        DWORD flags;
        LPCSTR type;
        LPCSTR element;
        const char *expectedType;
        const char *expectedElement;
    };
    const Case cases[] = {
        {"type name", MCI_OPEN_TYPE | MCI_OPEN_SHAREABLE, "waveaudio", nullptr, "waveaudio", ""},
        {"type name in any case", MCI_OPEN_TYPE, "CDAudio", nullptr, "cdaudio", ""},
        {"type with drive", MCI_OPEN_TYPE | MCI_OPEN_ELEMENT | MCI_OPEN_SHAREABLE, "cdaudio",
         "D:\\", "cdaudio", "D:\\"},
        {"type number", MCI_OPEN_TYPE | MCI_OPEN_TYPE_ID, typeNumber(MCI_DEVTYPE_SEQUENCER),
         nullptr, "sequencer", ""},
        {"mp3", MCI_OPEN_ELEMENT, nullptr, "C:\\Music\\[Artist] Song.mp3", "mpegvideo",
         "C:\\Music\\[Artist] Song.mp3"},
        {"cda", MCI_OPEN_ELEMENT, nullptr, "D:\\Track03.cda", "cdaudio", "D:\\Track03.cda"},
        {"folder of a double-byte name ending in 0x5C", MCI_OPEN_ELEMENT, nullptr,
         "C:\\\x83\x5C\\a.mp3", "mpegvideo", "C:\\\x83\x5C\\a.mp3"},
        {"the type wins over the extension", MCI_OPEN_TYPE | MCI_OPEN_ELEMENT, "waveaudio",
         "song.mp3", "waveaudio", "song.mp3"},
        {"type!element", MCI_OPEN_TYPE, "sequencer!song.dat", nullptr, "sequencer", "song.dat"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        recordingMci().reset();
        const OpenResult opened = openDevice(c.flags, c.type, c.element);
        ASSERT_EQ(0u, opened.error);
        ASSERT_EQ(1u, opened.id);
        ASSERT_EQ(1u, calls().size());
        const MciCall &call = calls()[0];
        EXPECT_EQ(MCI_OPEN, call.command);
        EXPECT_EQ(1u, call.device);
        EXPECT_EQ(c.expectedType, call.deviceType);
        if ((c.flags & MCI_OPEN_TYPE) && !(c.flags & MCI_OPEN_TYPE_ID)) {
            EXPECT_EQ(c.type, call.openType) << "the type as the caller wrote it";
        }
        EXPECT_EQ(c.expectedElement, call.openElement);
        const DWORD elementFlag = c.expectedElement[0] ? MCI_OPEN_ELEMENT : 0;
        EXPECT_EQ(c.flags | elementFlag, call.flags) << "the caller's flags are passed on";
        EXPECT_EQ(0u, mciSendCommandA(opened.id, MCI_CLOSE, 0, 0));
    }
}

TEST_F(WinmmMciDispatcher, RefusedOpensReachNoDriverAndLeaveTheRecordAlone)
{
    struct Case {
        const char *what;
        DWORD flags;
        LPCSTR type;
        LPCSTR element;
        LPCSTR alias;
        MCIERROR expected;
    };
    const Case cases[] = {
        {"neither type nor element", MCI_OPEN_SHAREABLE, "waveaudio", "a.wav", nullptr,
         MCIERR_INVALID_DEVICE_NAME},
        {"no type text", MCI_OPEN_TYPE, nullptr, nullptr, nullptr, MCIERR_NULL_PARAMETER_BLOCK},
        {"no element text", MCI_OPEN_ELEMENT, nullptr, nullptr, nullptr,
         MCIERR_NULL_PARAMETER_BLOCK},
        {"no alias text", MCI_OPEN_TYPE | MCI_OPEN_ALIAS, "waveaudio", nullptr, nullptr,
         MCIERR_NULL_PARAMETER_BLOCK},
        {"unknown extension", MCI_OPEN_ELEMENT, nullptr, "notes.txt", nullptr,
         MCIERR_EXTENSION_NOT_FOUND},
        {"no extension", MCI_OPEN_ELEMENT, nullptr, "C:\\music\\song", nullptr,
         MCIERR_EXTENSION_NOT_FOUND},
        {"dot only in a folder", MCI_OPEN_ELEMENT, nullptr, "C:\\a.mp3\\song", nullptr,
         MCIERR_EXTENSION_NOT_FOUND},
        {"type number out of range", MCI_OPEN_TYPE | MCI_OPEN_TYPE_ID, typeNumber(600), nullptr,
         nullptr, MCIERR_BAD_INTEGER},
        {"type without a driver", MCI_OPEN_TYPE, "vcr", nullptr, nullptr,
         MCIERR_DEVICE_NOT_INSTALLED},
        {"extension of a type without a driver", MCI_OPEN_ELEMENT, nullptr, "clip.avi", nullptr,
         MCIERR_DEVICE_NOT_INSTALLED},
        {"all", MCI_OPEN_TYPE, "all", nullptr, nullptr, MCIERR_CANNOT_USE_ALL},
        {"element by number", MCI_OPEN_ELEMENT | MCI_OPEN_ELEMENT_ID, nullptr, "a.wav", nullptr,
         MCIERR_UNRECOGNIZED_KEYWORD},
        {"element twice", MCI_OPEN_TYPE | MCI_OPEN_ELEMENT, "sequencer!a.mid", "b.mid", nullptr,
         MCIERR_UNRECOGNIZED_KEYWORD},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        const OpenResult opened = openDevice(c.flags, c.type, c.element, c.alias);
        EXPECT_EQ(c.expected, opened.error);
        EXPECT_EQ(sentinelId, opened.id);
    }
    EXPECT_EQ(MCIERR_NULL_PARAMETER_BLOCK, mciSendCommandA(0, MCI_OPEN, MCI_OPEN_TYPE, 0));
    EXPECT_TRUE(calls().empty());
    EXPECT_EQ(0u, hp::winmm::openMciDeviceCount());
}

TEST_F(WinmmMciDispatcher, AnOpenTheDriverRefusesHoldsNoIdentifier)
{
    recordingMci().setOpenResult("cdaudio", MCIERR_DEVICE_NOT_READY);
    const OpenResult refused = openDevice(MCI_OPEN_TYPE | MCI_OPEN_SHAREABLE, "cdaudio", nullptr);
    EXPECT_EQ(MCIERR_DEVICE_NOT_READY, refused.error);
    EXPECT_EQ(sentinelId, refused.id);
    ASSERT_EQ(1u, calls().size()) << "the open reached the driver";
    EXPECT_EQ(1u, calls()[0].device);
    EXPECT_EQ(0u, hp::winmm::openMciDeviceCount());

    // Other types still open, and the refused identifier is free.
    EXPECT_EQ(1u, openType("waveaudio").id);
    // A script for every type.
    recordingMci().setOpenResult("", MCIERR_HARDWARE);
    EXPECT_EQ(MCIERR_HARDWARE, openElement("a.mid").error);
    // Without open scripts, the command script of MCI_OPEN answers.
    recordingMci().reset();
    recordingMci().setResult(MCI_OPEN, MCI_OPEN_ELEMENT, MCIERR_FILE_NOT_FOUND);
    EXPECT_EQ(MCIERR_FILE_NOT_FOUND, openElement("b.mid").error);
    EXPECT_EQ(0u, openDevice(MCI_OPEN_ELEMENT | MCI_OPEN_SHAREABLE, nullptr, "b.mid").error);
}

TEST_F(WinmmMciDispatcher, IdentifiersAreTheLowestFree)
{
    EXPECT_EQ(1u, openType("waveaudio").id);
    EXPECT_EQ(2u, openType("sequencer").id);
    EXPECT_EQ(3u, openType("cdaudio").id);
    EXPECT_EQ(3u, hp::winmm::openMciDeviceCount());

    EXPECT_EQ(0u, mciSendCommandA(2, MCI_CLOSE, 0, 0));
    EXPECT_EQ(2u, openElement("song.mp3").id);
    EXPECT_EQ(4u, openElement("ding.wav").id);

    EXPECT_EQ(0u, mciSendCommandA(MCI_ALL_DEVICE_ID, MCI_CLOSE, MCI_WAIT, 0));
    EXPECT_EQ(0u, hp::winmm::openMciDeviceCount());
    EXPECT_EQ(1u, openType("cdaudio").id);
}

TEST_F(WinmmMciDispatcher, CommandsGoToTheirDeviceWithTheirRecords)
{
    const MCIDEVICEID file = openElement("song.mp3").id;
    const MCIDEVICEID cd = openDevice(MCI_OPEN_TYPE | MCI_OPEN_SHAREABLE, "cdaudio", nullptr).id;
    recordingMci().reset();

    MCI_SET_PARMS set{};
    set.dwTimeFormat = MCI_FORMAT_TMSF;
    EXPECT_EQ(0u, mciSendCommandA(cd, MCI_SET, MCI_SET_TIME_FORMAT,
                                  reinterpret_cast<DWORD_PTR>(&set)));
    MCI_PLAY_PARMS play{};
    play.dwFrom = MCI_MAKE_TMSF(3, 2, 5, 0);
    play.dwTo = MCI_MAKE_TMSF(4, 0, 0, 0);
    EXPECT_EQ(0u, mciSendCommandA(cd, MCI_PLAY, MCI_NOTIFY | MCI_FROM | MCI_TO,
                                  reinterpret_cast<DWORD_PTR>(&play)));
    EXPECT_EQ(0u, mciSendCommandA(file, MCI_STOP, MCI_WAIT, 0));
    MCI_SEEK_PARMS seek{};
    seek.dwTo = 125000;
    EXPECT_EQ(0u, mciSendCommandA(file, MCI_SEEK, MCI_TO, reinterpret_cast<DWORD_PTR>(&seek)));

    ASSERT_EQ(4u, calls().size());
    EXPECT_EQ(cd, calls()[0].device);
    EXPECT_EQ("cdaudio", calls()[0].deviceType);
    EXPECT_EQ(MCI_SET, calls()[0].command);
    EXPECT_EQ(MCI_FORMAT_TMSF, calls()[0].timeFormat);

    EXPECT_EQ(MCI_PLAY, calls()[1].command);
    EXPECT_EQ(DWORD(MCI_NOTIFY | MCI_FROM | MCI_TO), calls()[1].flags);
    EXPECT_EQ(MCI_MAKE_TMSF(3, 2, 5, 0), calls()[1].from);
    EXPECT_EQ(4u, calls()[1].to);

    EXPECT_EQ(file, calls()[2].device);
    EXPECT_EQ("mpegvideo", calls()[2].deviceType);
    EXPECT_EQ(MCI_STOP, calls()[2].command);
    EXPECT_EQ(DWORD(MCI_WAIT), calls()[2].flags);
    EXPECT_FALSE(calls()[2].hasRecord);

    EXPECT_EQ(MCI_SEEK, calls()[3].command);
    EXPECT_EQ(125000u, calls()[3].to);
}

// (Identifiers never given and "all" are covered by the conformance tests.)
TEST_F(WinmmMciDispatcher, AClosedIdentifierReachesNoDriver)
{
    const MCIDEVICEID closed = openType("waveaudio").id;
    EXPECT_EQ(0u, mciSendCommandA(closed, MCI_CLOSE, 0, 0));
    recordingMci().reset();
    EXPECT_EQ(MCIERR_INVALID_DEVICE_ID, mciSendCommandA(closed, MCI_STOP, MCI_WAIT, 0));
    EXPECT_EQ(MCIERR_INVALID_DEVICE_ID, mciSendCommandA(closed | 0x10000, MCI_STOP, 0, 0));
    EXPECT_EQ(MCIERR_CANNOT_USE_ALL, mciSendCommandA(0xFFFF, MCI_STOP, 0, 0));
    EXPECT_TRUE(calls().empty());
}

TEST_F(WinmmMciDispatcher, CloseRemovesTheDeviceWhateverItAnswers)
{
    const MCIDEVICEID id = openType("waveaudio").id;
    recordingMci().setResult(MCI_CLOSE, ~0u, MCIERR_HARDWARE);
    EXPECT_EQ(MCIERR_HARDWARE, mciSendCommandA(id, MCI_CLOSE, MCI_WAIT, 0));
    EXPECT_EQ(0u, hp::winmm::openMciDeviceCount());
    ASSERT_EQ(2u, calls().size());
    EXPECT_EQ(MCI_CLOSE, calls()[1].command);
    EXPECT_EQ(DWORD(MCI_WAIT), calls()[1].flags);
    EXPECT_EQ(MCIERR_INVALID_DEVICE_ID, mciSendCommandA(id, MCI_STOP, 0, 0));
}

TEST_F(WinmmMciDispatcher, CloseAllClosesNewestFirstAndAlwaysSucceeds)
{
    openType("waveaudio");
    openType("sequencer");
    openType("cdaudio");
    recordingMci().reset();
    recordingMci().setResult(MCI_CLOSE, ~0u, MCIERR_HARDWARE);

    EXPECT_EQ(0u, mciSendCommandA(MCI_ALL_DEVICE_ID, MCI_CLOSE, MCI_WAIT, 0));
    ASSERT_EQ(3u, calls().size());
    EXPECT_EQ(3u, calls()[0].device);
    EXPECT_EQ(2u, calls()[1].device);
    EXPECT_EQ(1u, calls()[2].device);
    EXPECT_EQ(0u, hp::winmm::openMciDeviceCount());
    EXPECT_EQ(0u, mciSendCommandA(MCI_ALL_DEVICE_ID, MCI_CLOSE, 0, 0));
}

TEST_F(WinmmMciDispatcher, AnAliasCannotBeOpenedTwice)
{
    ASSERT_EQ(0u, openDevice(MCI_OPEN_TYPE | MCI_OPEN_SHAREABLE, "waveaudio", nullptr).error);
    EXPECT_EQ(MCIERR_DEVICE_OPEN,
              openDevice(MCI_OPEN_TYPE | MCI_OPEN_SHAREABLE, "WaveAudio", nullptr).error);

    ASSERT_EQ(0u, openElement("C:\\Song.mp3").error);
    EXPECT_EQ(MCIERR_DEVICE_OPEN, openElement("c:\\song.MP3").error);
    EXPECT_EQ(MCIERR_DEVICE_OPEN,
              openDevice(MCI_OPEN_TYPE | MCI_OPEN_ELEMENT, "sequencer", "C:\\Song.mp3").error);

    // Named aliases open the same type again, but only once each.
    EXPECT_EQ(0u, openDevice(MCI_OPEN_TYPE | MCI_OPEN_ALIAS, "waveaudio", nullptr, "one").error);
    EXPECT_EQ(MCIERR_DUPLICATE_ALIAS,
              openDevice(MCI_OPEN_TYPE | MCI_OPEN_ALIAS, "cdaudio", nullptr, "ONE").error);
    EXPECT_EQ(MCIERR_DUPLICATE_ALIAS,
              openDevice(MCI_OPEN_TYPE | MCI_OPEN_ALIAS, "cdaudio", nullptr, "waveaudio").error);
    EXPECT_EQ(3u, hp::winmm::openMciDeviceCount());

    // Closing frees the alias.
    EXPECT_EQ(0u, mciSendCommandA(1, MCI_CLOSE, 0, 0));
    EXPECT_EQ(1u, openType("waveaudio").id);
}

TEST_F(WinmmMciDispatcher, StatusAnswersFromTheScriptPerItemAndTrack)
{
    const MCIDEVICEID cd = openType("cdaudio").id;
    recordingMci().setStatus(MCI_STATUS_POSITION, 0, MCI_MAKE_TMSF(2, 1, 30, 0));
    recordingMci().setStatus(MCI_STATUS_LENGTH, 3, MCI_MAKE_MSF(4, 33, 20));

    MCI_STATUS_PARMS status{};
    status.dwItem = MCI_STATUS_POSITION;
    status.dwReturn = 0xA5A5A5A5u;
    EXPECT_EQ(0u, mciSendCommandA(cd, MCI_STATUS, MCI_STATUS_ITEM,
                                  reinterpret_cast<DWORD_PTR>(&status)));
    EXPECT_EQ(MCI_MAKE_TMSF(2, 1, 30, 0), status.dwReturn);

    status.dwItem = MCI_STATUS_LENGTH;
    status.dwTrack = 3;
    status.dwReturn = 0xA5A5A5A5u;
    EXPECT_EQ(0u, mciSendCommandA(cd, MCI_STATUS, MCI_STATUS_ITEM | MCI_TRACK,
                                  reinterpret_cast<DWORD_PTR>(&status)));
    EXPECT_EQ(MCI_MAKE_MSF(4, 33, 20), status.dwReturn);
    EXPECT_EQ(3u, calls().back().track);
    EXPECT_EQ(DWORD(MCI_STATUS_LENGTH), calls().back().item);

    // The length of the whole disc was not scripted: without MCI_TRACK it is unknown.
    status.dwReturn = 0xA5A5A5A5u;
    EXPECT_EQ(MCIERR_UNSUPPORTED_FUNCTION,
              mciSendCommandA(cd, MCI_STATUS, MCI_STATUS_ITEM,
                              reinterpret_cast<DWORD_PTR>(&status)));
    EXPECT_EQ(0xA5A5A5A5u, status.dwReturn);

    EXPECT_EQ(MCIERR_MISSING_PARAMETER,
              mciSendCommandA(cd, MCI_STATUS, 0, reinterpret_cast<DWORD_PTR>(&status)));
    EXPECT_EQ(MCIERR_NULL_PARAMETER_BLOCK, mciSendCommandA(cd, MCI_STATUS, MCI_STATUS_ITEM, 0));

    recordingMci().setResult(MCI_STATUS, MCI_STATUS_ITEM, MCIERR_DEVICE_NOT_READY);
    status.dwItem = MCI_STATUS_POSITION;
    status.dwReturn = 0xA5A5A5A5u;
    EXPECT_EQ(MCIERR_DEVICE_NOT_READY,
              mciSendCommandA(cd, MCI_STATUS, MCI_STATUS_ITEM,
                              reinterpret_cast<DWORD_PTR>(&status)));
    EXPECT_EQ(0xA5A5A5A5u, status.dwReturn);
}

TEST_F(WinmmMciDispatcher, ScriptedResultsMatchCommandAndExactFlags)
{
    const MCIDEVICEID cd = openType("cdaudio").id;
    recordingMci().setResult(MCI_PLAY, MCI_NOTIFY | MCI_FROM | MCI_TO, MCIERR_OUTOFRANGE);

    MCI_PLAY_PARMS play{};
    play.dwFrom = MCI_MAKE_TMSF(12, 0, 0, 0);
    play.dwTo = MCI_MAKE_TMSF(13, 0, 0, 0);
    EXPECT_EQ(MCIERR_OUTOFRANGE, mciSendCommandA(cd, MCI_PLAY, MCI_NOTIFY | MCI_FROM | MCI_TO,
                                                 reinterpret_cast<DWORD_PTR>(&play)));
    EXPECT_EQ(0u, mciSendCommandA(cd, MCI_PLAY, MCI_NOTIFY | MCI_FROM,
                                  reinterpret_cast<DWORD_PTR>(&play)));
    EXPECT_EQ(0u, mciSendCommandA(cd, MCI_STOP, MCI_WAIT, 0));

    recordingMci().setResult(MCI_STOP, ~0u, MCIERR_NONAPPLICABLE_FUNCTION);
    EXPECT_EQ(MCIERR_NONAPPLICABLE_FUNCTION, mciSendCommandA(cd, MCI_STOP, MCI_WAIT, 0));
    EXPECT_EQ(MCIERR_NONAPPLICABLE_FUNCTION, mciSendCommandA(cd, MCI_STOP, 0, 0));
}

// A driver of our own, to see what the dispatcher hands over and how it
// treats what comes back.
struct ProbeState {
    hp::winmm::MciOpenRequest request;
    MCIERROR openAnswer = 0;
    bool giveNoDevice = false;
    DWORD commandAnswer = 0;
    int devicesAlive = 0;
    std::vector<UINT> commands;
};

class ProbeDevice final : public hp::winmm::MciDevice {
public:
    explicit ProbeDevice(ProbeState &state) : state_(state) { ++state_.devicesAlive; }
    ~ProbeDevice() override { --state_.devicesAlive; }
    MCIERROR dispatch(UINT message, DWORD, DWORD_PTR params) override
    {
        state_.commands.push_back(message);
        if (message == MCI_STATUS && params)
            reinterpret_cast<MCI_STATUS_PARMS *>(params)->dwReturn = 0x00BB0205;
        return state_.commandAnswer;
    }

private:
    ProbeState &state_;
};

class ProbeDriver final : public hp::winmm::MciDriver {
public:
    explicit ProbeDriver(ProbeState &state) : state_(state) {}
    const char *deviceType() const override { return "sequencer"; }
    MCIERROR open(const hp::winmm::MciOpenRequest &request,
                  std::unique_ptr<hp::winmm::MciDevice> &device) override
    {
        state_.request = request;
        if (state_.openAnswer == 0 && !state_.giveNoDevice)
            device = std::make_unique<ProbeDevice>(state_);
        return state_.openAnswer;
    }

private:
    ProbeState &state_;
};

class WinmmMciDriverContract : public ::testing::Test {
protected:
    void SetUp() override
    {
        std::vector<std::unique_ptr<hp::winmm::MciDriver>> drivers;
        drivers.push_back(std::make_unique<ProbeDriver>(state_));
        hp::winmm::installMciDrivers(std::move(drivers));
    }
    void TearDown() override { hp::winmm::installMciDrivers({}); }

    ProbeState state_;
};

TEST_F(WinmmMciDriverContract, TheOpenRequestCarriesTheCallersWords)
{
    MCI_OPEN_PARMSA record{};
    record.dwCallback = 0x1234;
    record.lpstrElementName = "C:\\\x83\x5C\\Tune.Mid";
    record.wDeviceID = sentinelId;
    const DWORD flags = MCI_OPEN_ELEMENT | MCI_NOTIFY | MCI_WAIT;
    ASSERT_EQ(0u, mciSendCommandA(0, MCI_OPEN, flags, reinterpret_cast<DWORD_PTR>(&record)));

    EXPECT_EQ(1u, record.wDeviceID);
    EXPECT_EQ(1u, state_.request.deviceId);
    EXPECT_EQ("sequencer", state_.request.deviceType);
    EXPECT_TRUE(state_.request.hasElement);
    EXPECT_EQ(std::string("C:\\\x83\x5C\\Tune.Mid"), state_.request.element);
    EXPECT_EQ(flags, state_.request.flags);
    EXPECT_EQ(0x1234u, state_.request.callback);
    EXPECT_EQ(reinterpret_cast<DWORD_PTR>(&record), state_.request.params);
}

TEST_F(WinmmMciDriverContract, DriverAnswersAreCleanedUp)
{
    // A driver that claims success but hands over no device has failed.
    state_.giveNoDevice = true;
    EXPECT_EQ(MCIERR_DRIVER_INTERNAL, openElement("a.mid").error);
    EXPECT_EQ(0u, hp::winmm::openMciDeviceCount());
    state_.giveNoDevice = false;

    const MCIDEVICEID id = openElement("a.mid").id;
    ASSERT_EQ(1u, id);
    // The high word of an answer says how dwReturn is meant; callers see
    // the low word only, and a resource number without its driver bits.
    state_.commandAnswer = 0x00010000;
    MCI_STATUS_PARMS status{};
    status.dwItem = MCI_STATUS_MODE;
    EXPECT_EQ(0u, mciSendCommandA(id, MCI_STATUS, MCI_STATUS_ITEM,
                                  reinterpret_cast<DWORD_PTR>(&status)));
    EXPECT_EQ(0x0205u, status.dwReturn);
    state_.commandAnswer = 0x00040000 | MCIERR_HARDWARE;
    EXPECT_EQ(MCIERR_HARDWARE, mciSendCommandA(id, MCI_STOP, 0, 0));
}

TEST_F(WinmmMciDriverContract, InstallingDriversClosesOpenDevices)
{
    openElement("a.mid");
    openElement("b.mid");
    ASSERT_EQ(2, state_.devicesAlive);
    hp::winmm::installMciDrivers({});
    EXPECT_EQ(0, state_.devicesAlive);
    EXPECT_EQ((std::vector<UINT>{MCI_CLOSE, MCI_CLOSE}), state_.commands);
    EXPECT_EQ(0u, hp::winmm::openMciDeviceCount());
    EXPECT_EQ(MCIERR_DEVICE_NOT_INSTALLED, openElement("a.mid").error);
}

TEST(WinmmMciTypeNames, ExtensionsMapAsThePlatformTableDoes)
{
    struct Case {
        const char *element;
        const char *type;
    };
    const Case cases[] = {
        {"a.mp3", "mpegvideo"}, {"a.MP3", "mpegvideo"}, {"a.wma", "mpegvideo"},
        {"a.mid", "sequencer"}, {"a.Midi", "sequencer"}, {"a.rmi", "sequencer"},
        {"a.wav", "waveaudio"}, {"D:\\Track01.cda", "cdaudio"}, {"a.avi", "avivideo"},
        {"a.ogg", ""}, {"a", ""}, {"a.", ""}, {"", ""}, {".mp3", "mpegvideo"},
        {"a.mp3.txt", ""}, {"dir.mid\\file", ""}, {"a.mp", ""}, {"a.mp33", ""},
    };
    for (const Case &c : cases)
        EXPECT_EQ(c.type, hp::winmm::deviceTypeForElement(c.element)) << c.element;
}

TEST(WinmmMciErrorText, TextsAreThePlatforms)
{
    char text[MAXERRORLENGTH];
    ASSERT_TRUE(mciGetErrorStringA(MCIERR_EXTENSION_NOT_FOUND, text, sizeof(text)));
    EXPECT_STREQ("Cannot determine the device type from the given filename extension.", text);
    ASSERT_TRUE(mciGetErrorStringA(MCIERR_NULL_PARAMETER_BLOCK, text, sizeof(text)));
    EXPECT_STREQ("A null parameter block was passed to MCI.", text);
}

}  // namespace
