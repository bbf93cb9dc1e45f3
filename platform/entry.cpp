// The process entry on hosts without a Windows loader: hands control to the
// program's WinMain the way the loader would (the program's own instance, no
// previous instance, the command line after the program name, SW_SHOWDEFAULT).
#include <string>

#include "platform/host/charset.h"
#include "platform/win32.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE previousInstance, LPSTR commandLine,
                   int showCommand);

int main(int argc, char **argv)
{
    std::string commandLine;
    for (int i = 1; i < argc; ++i) {
        if (i > 1)
            commandLine += ' ';
        commandLine += hp::host::cp932FromUtf8(argv[i]);
    }
    constexpr int showDefault = 10;  // SW_SHOWDEFAULT
    return WinMain(GetModuleHandleA(nullptr), nullptr, commandLine.data(), showDefault);
}
