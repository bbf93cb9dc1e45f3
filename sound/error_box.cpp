#include "sound/error_box.h"

namespace {
constexpr char libraryCaption[] = "Brisel Library <kq32> Error";
}

void showLibraryError(HWND owner, const char *text)
{
    MessageBoxA(owner, text, libraryCaption, MB_ICONERROR);
}
