#include "tests/windows/support/front_panel_run.h"

#include <string.h>

#include <new>
#include <stdexcept>

#include "app/front_panel.h"
#include "catalog/media_catalog.h"
#include "sound/sound_device.h"
#include "tests/support/fresh_object.h"

namespace hp::wintest {

namespace {

std::string programFolder()
{
    char path[MAX_PATH];
    DWORD length = GetModuleFileNameA(nullptr, path, sizeof path);
    std::string folder(path, length);
    return folder.substr(0, folder.find_last_of("\\/") + 1);
}

std::string readFile(const std::string &path)
{
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return "<missing>";
    std::string bytes;
    char buffer[4096];
    DWORD got = 0;
    while (ReadFile(file, buffer, sizeof buffer, &got, nullptr) && got > 0)
        bytes.append(buffer, got);
    CloseHandle(file);
    return bytes;
}

}  // namespace

FrontPanelRun::FrontPanelRun() : settingsPath_(programFolder() + "Hollyphone.ini")
{
    DeleteFileA(settingsPath_.c_str());
    hp::test::rebuild(soundDevice);
    hp::test::rebuild(mediaCatalog);
    inWorkFolder_ = std::make_unique<hp::test::CurrentDirectory>(workFolder_.path());
}

FrontPanelRun::~FrontPanelRun()
{
    if (running_)
        shutDown();
    inWorkFolder_.reset();
    DeleteFileA(settingsPath_.c_str());
}

void FrontPanelRun::writeSettings(const std::string &bytes) const
{
    HANDLE file = CreateFileA(settingsPath_.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    DWORD written = 0;
    bool wrote = file != INVALID_HANDLE_VALUE &&
                 WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written,
                           nullptr) &&
                 written == bytes.size();
    if (file != INVALID_HANDLE_VALUE)
        CloseHandle(file);
    if (!wrote)
        throw std::runtime_error("cannot write " + settingsPath_);
}

std::string FrontPanelRun::settings() const { return readFile(settingsPath_); }

void FrontPanelRun::startUp()
{
    // Static storage is zeroed before the program's constructor runs; the
    // fields the start-up leaves alone (a volume no mixer line gives) stay 0.
    memset(static_cast<void *>(&frontPanel), 0, sizeof frontPanel);
    new (&frontPanel) FrontPanel();
    running_ = true;
}

void FrontPanelRun::shutDown()
{
    frontPanel.~FrontPanel();
    running_ = false;
}

}  // namespace hp::wintest
