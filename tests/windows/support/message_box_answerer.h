// Answers the next message box that the process shows, the way a user
// would: a watcher thread waits for the box, notes what it says and which
// buttons it offers, and presses the chosen one. The box runs its own modal
// loop on the thread that called MessageBoxA, so the answer has to come
// from elsewhere.
#pragma once

#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include "platform/win32.h"

namespace hp::wintest {

struct SeenMessageBox {
    bool shown = false;
    std::string caption;        // code page 932, as GetWindowTextA returns it
    std::string text;
    HWND owner = nullptr;
    std::vector<int> buttons;   // ids of the push buttons: IDOK, IDYES, ...
};

class MessageBoxAnswerer {
public:
    // Presses `button` on the first message box of this process that opens
    // within `timeoutMs`.
    explicit MessageBoxAnswerer(int button, DWORD timeoutMs = 20000);
    // Stops watching (see seen()).
    ~MessageBoxAnswerer();
    MessageBoxAnswerer(const MessageBoxAnswerer &) = delete;
    MessageBoxAnswerer &operator=(const MessageBoxAnswerer &) = delete;

    // What the box showed. Call it once the code that might show a box has
    // returned: a box blocks its caller until it is answered, so a box that
    // has not been seen by then never opened, and watching stops.
    const SeenMessageBox &seen();

private:
    void watch();

    int button_;
    DWORD timeoutMs_;
    DWORD processId_;
    SeenMessageBox seen_;
    std::atomic<bool> stopping_{false};
    std::thread watcher_;
};

}  // namespace hp::wintest
