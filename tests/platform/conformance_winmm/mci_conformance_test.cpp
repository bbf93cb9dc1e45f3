// MCI argument and error behaviour that holds on any machine.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "platform/win32.h"
#include "tests/platform/conformance_winmm/result_expectations.h"
#include "tests/platform/known_difference.h"

namespace {

constexpr MCIDEVICEID unusedDeviceId = 0x3A5C;
constexpr MCIDEVICEID sentinelDeviceId = 0xA5A5A5A5u;

MCI_OPEN_PARMSA openRecord(LPCSTR type, LPCSTR element)
{
    MCI_OPEN_PARMSA record{};
    record.wDeviceID = sentinelDeviceId;
    record.lpstrDeviceType = type;
    record.lpstrElementName = element;
    return record;
}

DWORD openDeviceCount()
{
    DWORD count = 0xA5A5A5A5u;
    MCI_SYSINFO_PARMSA record{};
    record.lpstrReturn = reinterpret_cast<LPSTR>(&count);
    record.dwRetSize = sizeof(count);
    const MCIERROR result = mciSendCommandA(MCI_ALL_DEVICE_ID, MCI_SYSINFO,
                                            MCI_SYSINFO_QUANTITY | MCI_SYSINFO_OPEN,
                                            reinterpret_cast<DWORD_PTR>(&record));
    EXPECT_MCIERROR(0, result);
    return count;
}

TEST(WinmmConformanceMci, CommandsToADeviceThatIsNotOpenAreRefused)
{
    for (const MCIDEVICEID device : {MCIDEVICEID(0), unusedDeviceId}) {
        SCOPED_TRACE(device);
        MCI_STATUS_PARMS status{};
        status.dwItem = MCI_STATUS_MODE;
        status.dwReturn = 0xA5A5A5A5u;
        EXPECT_MCIERROR(MCIERR_INVALID_DEVICE_ID,
                  mciSendCommandA(device, MCI_STATUS, MCI_STATUS_ITEM,
                                  reinterpret_cast<DWORD_PTR>(&status)));
        EXPECT_EQ(0xA5A5A5A5u, status.dwReturn);
        EXPECT_MCIERROR(MCIERR_INVALID_DEVICE_ID, mciSendCommandA(device, MCI_STOP, MCI_WAIT, 0));
        EXPECT_MCIERROR(MCIERR_INVALID_DEVICE_ID, mciSendCommandA(device, MCI_CLOSE, 0, 0));
    }
}

TEST(WinmmConformanceMci, AllDevicesCannotTakeAnOrdinaryCommand)
{
    MCI_STATUS_PARMS status{};
    status.dwItem = MCI_STATUS_MODE;
    EXPECT_MCIERROR(MCIERR_CANNOT_USE_ALL,
              mciSendCommandA(MCI_ALL_DEVICE_ID, MCI_STATUS, MCI_STATUS_ITEM,
                              reinterpret_cast<DWORD_PTR>(&status)));
    EXPECT_MCIERROR(0, mciSendCommandA(MCI_ALL_DEVICE_ID, MCI_CLOSE, MCI_WAIT, 0));
}

TEST(WinmmConformanceMci, OpenRefusesIncompleteRequestsWithoutTouchingTheRecord)
{
    // Wine's mciSendCommandA reads the open record before checking that there
    // is one, and faults; Windows and our layer refuse the call.
    if (!conformance::runningUnderWine()) {
        EXPECT_MCIERROR(MCIERR_NULL_PARAMETER_BLOCK, mciSendCommandA(0, MCI_OPEN, MCI_OPEN_TYPE, 0));
    }

    struct Case {
        const char *what;
        DWORD flags;
        LPCSTR type;
        LPCSTR element;
        MCIERROR expected;
    };
    const Case cases[] = {
        {"neither type nor element", 0, nullptr, nullptr, MCIERR_INVALID_DEVICE_NAME},
        {"unknown extension", MCI_OPEN_ELEMENT, nullptr, "no-such-file.hpzz",
         MCIERR_EXTENSION_NOT_FOUND},
        {"type number out of range", MCI_OPEN_TYPE | MCI_OPEN_TYPE_ID,
         reinterpret_cast<LPCSTR>(static_cast<DWORD_PTR>(MCI_DEVTYPE_LAST + 7)), nullptr,
         MCIERR_BAD_INTEGER},
        {"no type text", MCI_OPEN_TYPE, nullptr, nullptr, MCIERR_NULL_PARAMETER_BLOCK},
        {"no element text", MCI_OPEN_ELEMENT, nullptr, nullptr, MCIERR_NULL_PARAMETER_BLOCK},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        MCI_OPEN_PARMSA record = openRecord(c.type, c.element);
        EXPECT_EQ(c.expected,
                  mciSendCommandA(0, MCI_OPEN, c.flags, reinterpret_cast<DWORD_PTR>(&record)));
        {
            KNOWN_DIFFERENCE(conformance::runningUnderWine(),
                             "Wine copies back the identifier of its own, uninitialised record");
            EXPECT_EQ(sentinelDeviceId, record.wDeviceID);
        }
    }
    EXPECT_EQ(0u, openDeviceCount());
}

TEST(WinmmConformanceMci, OpenCountCloseAndIdentifierReuse)
{
    ASSERT_EQ(0u, openDeviceCount());
    MCI_OPEN_PARMSA first = openRecord("waveaudio", nullptr);
    ASSERT_MCIERROR(0, mciSendCommandA(0, MCI_OPEN, MCI_OPEN_TYPE, reinterpret_cast<DWORD_PTR>(&first)));
    EXPECT_NE(sentinelDeviceId, first.wDeviceID);
    EXPECT_NE(0u, first.wDeviceID);
    EXPECT_EQ(1u, openDeviceCount());

    // The type is the device's alias: a second open of it is refused.
    MCI_OPEN_PARMSA second = openRecord("WaveAudio", nullptr);
    EXPECT_MCIERROR(MCIERR_DEVICE_OPEN,
              mciSendCommandA(0, MCI_OPEN, MCI_OPEN_TYPE, reinterpret_cast<DWORD_PTR>(&second)));
    EXPECT_EQ(1u, openDeviceCount());

    EXPECT_MCIERROR(0, mciSendCommandA(first.wDeviceID, MCI_CLOSE, MCI_WAIT, 0));
    EXPECT_EQ(0u, openDeviceCount());
    EXPECT_MCIERROR(MCIERR_INVALID_DEVICE_ID, mciSendCommandA(first.wDeviceID, MCI_CLOSE, 0, 0));

    // The lowest free identifier is given again.
    MCI_OPEN_PARMSA third = openRecord(
        reinterpret_cast<LPCSTR>(static_cast<DWORD_PTR>(MCI_DEVTYPE_WAVEFORM_AUDIO)), nullptr);
    ASSERT_MCIERROR(0, mciSendCommandA(0, MCI_OPEN, MCI_OPEN_TYPE | MCI_OPEN_TYPE_ID,
                                  reinterpret_cast<DWORD_PTR>(&third)));
    EXPECT_EQ(first.wDeviceID, third.wDeviceID);
    EXPECT_MCIERROR(0, mciSendCommandA(MCI_ALL_DEVICE_ID, MCI_CLOSE, 0, 0));
    EXPECT_EQ(0u, openDeviceCount());
}

TEST(WinmmConformanceMci, SysinfoChecksItsRecord)
{
    EXPECT_MCIERROR(MCIERR_NULL_PARAMETER_BLOCK,
              mciSendCommandA(MCI_ALL_DEVICE_ID, MCI_SYSINFO, MCI_SYSINFO_QUANTITY, 0));
    DWORD count = 0xA5A5A5A5u;
    MCI_SYSINFO_PARMSA record{};
    record.lpstrReturn = reinterpret_cast<LPSTR>(&count);
    record.dwRetSize = sizeof(count) - 1;
    EXPECT_MCIERROR(MCIERR_PARAM_OVERFLOW,
              mciSendCommandA(MCI_ALL_DEVICE_ID, MCI_SYSINFO, MCI_SYSINFO_QUANTITY,
                              reinterpret_cast<DWORD_PTR>(&record)));
    EXPECT_EQ(0xA5A5A5A5u, count);
}

TEST(WinmmConformanceMci, ErrorTextsAreCutToTheBufferAndUnknownCodesHaveNone)
{
    char text[MAXERRORLENGTH];
    std::memset(text, 'x', sizeof(text));
    ASSERT_TRUE(mciGetErrorStringA(MCIERR_INVALID_DEVICE_ID, text, sizeof(text)));
    const size_t fullLength = std::strlen(text);
    EXPECT_GT(fullLength, 10u);

    const std::string fullText = text;

    // The cut keeps whole characters: with a Japanese system's texts (code
    // page 932, as under Wine in the Japanese locale) a double-byte
    // character that would not fit is left out whole.
    size_t wholeCharacters = 0;
    while (wholeCharacters < fullText.size()) {
        const unsigned char byte = static_cast<unsigned char>(fullText[wholeCharacters]);
        const bool leadByte = (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
        const size_t next = wholeCharacters + (leadByte ? 2 : 1);
        if (next > 5)
            break;
        wholeCharacters = next;
    }
    std::memset(text, 'x', sizeof(text));
    ASSERT_TRUE(mciGetErrorStringA(MCIERR_INVALID_DEVICE_ID, text, 6));
    EXPECT_EQ(fullText.substr(0, wholeCharacters), text);
    EXPECT_EQ('x', text[6]);

    // A code in the MCI range without a text reads as an empty text; other
    // codes and unusable buffers leave the buffer alone.
    std::memset(text, 'x', sizeof(text));
    EXPECT_FALSE(mciGetErrorStringA(MCIERR_BASE + 2, text, sizeof(text)));
    EXPECT_EQ('\0', text[0]);
    std::memset(text, 'x', sizeof(text));
    EXPECT_FALSE(mciGetErrorStringA(MCIERR_BASE + 1000, text, sizeof(text)));
    EXPECT_FALSE(mciGetErrorStringA(MCIERR_INVALID_DEVICE_ID, text, 0));
    EXPECT_FALSE(mciGetErrorStringA(MCIERR_INVALID_DEVICE_ID, nullptr, sizeof(text)));
    EXPECT_EQ('x', text[0]);
}

}  // namespace
