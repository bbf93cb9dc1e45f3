#include "tests/windows/support/message_box_answerer.h"

namespace hp::wintest {

namespace {

// The static control that holds a message box's text.
constexpr int messageTextId = 0xFFFF;
constexpr DWORD pollIntervalMs = 20;

struct Search {
    DWORD processId;
    HWND found;
};

BOOL CALLBACK findDialogOfProcess(HWND window, LPARAM context)
{
    Search *search = reinterpret_cast<Search *>(context);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    char className[16] = {};
    GetClassNameA(window, className, sizeof className);
    if (owner == search->processId && lstrcmpA(className, "#32770") == 0 &&
        IsWindowVisible(window)) {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}

BOOL CALLBACK collectButton(HWND child, LPARAM context)
{
    char className[16] = {};
    GetClassNameA(child, className, sizeof className);
    if (lstrcmpiA(className, "Button") == 0) {
        reinterpret_cast<std::vector<int> *>(context)->push_back(GetDlgCtrlID(child));
    }
    return TRUE;
}

std::string windowText(HWND window)
{
    char text[1024] = {};
    GetWindowTextA(window, text, sizeof text);
    return text;
}

}  // namespace

MessageBoxAnswerer::MessageBoxAnswerer(int button, DWORD timeoutMs)
    : button_(button), timeoutMs_(timeoutMs), processId_(GetCurrentProcessId()),
      watcher_([this] { watch(); })
{
}

MessageBoxAnswerer::~MessageBoxAnswerer()
{
    stopping_ = true;
    if (watcher_.joinable())
        watcher_.join();
}

const SeenMessageBox &MessageBoxAnswerer::seen()
{
    stopping_ = true;
    if (watcher_.joinable())
        watcher_.join();
    return seen_;
}

void MessageBoxAnswerer::watch()
{
    const DWORD start = GetTickCount();
    Search search{processId_, nullptr};
    while (!stopping_ && GetTickCount() - start < timeoutMs_) {
        search.found = nullptr;
        EnumWindows(findDialogOfProcess, reinterpret_cast<LPARAM>(&search));
        if (search.found)
            break;
        Sleep(pollIntervalMs);
    }
    if (!search.found)
        return;
    HWND box = search.found;
    seen_.shown = true;
    seen_.caption = windowText(box);
    seen_.text = windowText(GetDlgItem(box, messageTextId));
    seen_.owner = GetWindow(box, GW_OWNER);
    EnumChildWindows(box, collectButton, reinterpret_cast<LPARAM>(&seen_.buttons));
    // As a click on the button: the box ends with its id.
    PostMessageA(box, WM_COMMAND, MAKEWPARAM(button_, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(box, button_)));
}

}  // namespace hp::wintest
