// One run of the program's start-up and shutdown sequences on the real
// platform, without the window: a fresh sound device and catalogue, the
// settings file next to the test executable (where the program looks for
// its own), a working folder of the test's own for the playlist, and the
// front panel constructed and destroyed in place when the test says so.
#pragma once

#include <memory>
#include <string>

#include "tests/support/scratch_folder.h"

namespace hp::wintest {

class FrontPanelRun {
public:
    // Removes any settings file left next to the executable.
    FrontPanelRun();
    // Shuts down when still running; removes the settings file.
    ~FrontPanelRun();
    FrontPanelRun(const FrontPanelRun &) = delete;
    FrontPanelRun &operator=(const FrontPanelRun &) = delete;

    // "<folder of the test executable>\Hollyphone.ini".
    const std::string &settingsPath() const { return settingsPath_; }
    void writeSettings(const std::string &bytes) const;
    // "<missing>" when there is none.
    std::string settings() const;

    const hp::test::ScratchFolder &workFolder() const { return workFolder_; }

    void startUp();   // the front panel's constructor
    void shutDown();  // its destructor

private:
    std::string settingsPath_;
    hp::test::ScratchFolder workFolder_;
    std::unique_ptr<hp::test::CurrentDirectory> inWorkFolder_;
    bool running_ = false;
};

}  // namespace hp::wintest
