// MessageBoxA over the installed MessageBoxBackend: the arguments are
// checked and completed here, the backend only asks the user.
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "platform/null_backends.h"
#include "platform/user32/message_box_backend.h"
#include "platform/win32.h"
#include "platform/wiring.h"

// The window table lives with the rest of user32; a program without windows
// does not link it, and then no owner can be valid anyway.
extern "C" BOOL WINAPI IsWindow(HWND window) __attribute__((weak));

namespace hp::user32 {
namespace {

constexpr UINT lastBoxType = MB_CANCELTRYCONTINUE;
constexpr UINT defaultButtonMask = 0x00000300;
constexpr UINT defaultButtonShift = 8;
constexpr int tryAgainAnswer = 10;
constexpr int continueAnswer = 11;

std::unique_ptr<MessageBoxBackend> &installedBackend()
{
    // Never destroyed: boxes may be shown by teardown code at exit.
    static auto *backend = new std::unique_ptr<MessageBoxBackend>;
    return *backend;
}

std::mutex &backendMutex()
{
    static auto *mutex = new std::mutex;
    return *mutex;
}

// The buttons of each box type, in the order they appear.
std::vector<int> buttonsOf(UINT boxType)
{
    switch (boxType) {
    case MB_OK:
        return {IDOK};
    case MB_OKCANCEL:
        return {IDOK, IDCANCEL};
    case 2:  // MB_ABORTRETRYIGNORE
        return {IDABORT, IDRETRY, IDIGNORE};
    case 3:  // MB_YESNOCANCEL
        return {IDYES, IDNO, IDCANCEL};
    case MB_YESNO:
        return {IDYES, IDNO};
    case 5:  // MB_RETRYCANCEL
        return {IDRETRY, IDCANCEL};
    default:  // MB_CANCELTRYCONTINUE
        return {IDCANCEL, tryAgainAnswer, continueAnswer};
    }
}

}  // namespace

MessageBoxBackend &messageBoxBackend()
{
    std::lock_guard<std::mutex> lock(backendMutex());
    std::unique_ptr<MessageBoxBackend> &backend = installedBackend();
    if (!backend)
        backend = wiring::makeMessageBoxBackend();
    if (!backend)
        backend = null::makeMessageBoxBackend();
    return *backend;
}

void installMessageBoxBackend(std::unique_ptr<MessageBoxBackend> backend)
{
    std::lock_guard<std::mutex> lock(backendMutex());
    installedBackend() = std::move(backend);
}

}  // namespace hp::user32

int WINAPI MessageBoxA(HWND owner, LPCSTR text, LPCSTR caption, UINT type)
{
    UINT boxType = type & MB_TYPEMASK;
    if (boxType > hp::user32::lastBoxType) {
        SetLastError(ERROR_INVALID_MSGBOX_STYLE);
        return 0;
    }
    if (owner && IsWindow && !IsWindow(owner)) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return 0;
    }
    // A box without a caption is titled "Error" in the system's language.
    std::string shownCaption = caption ? caption : "エラー";
    std::string shownText = text ? text : "";
    int answer = hp::user32::messageBoxBackend().show(owner, shownText, shownCaption, type);

    std::vector<int> buttons = hp::user32::buttonsOf(boxType);
    for (int button : buttons) {
        if (button == answer)
            return answer;
    }
    // An answer the box cannot give is taken as its default button.
    UINT defaultIndex = (type & hp::user32::defaultButtonMask) >> hp::user32::defaultButtonShift;
    return buttons[defaultIndex < buttons.size() ? defaultIndex : 0];
}
