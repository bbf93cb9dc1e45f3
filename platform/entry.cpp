// The process entry on hosts without a Windows loader: builds the command
// line and hands control to the program's WinMain the way the loader would
// (the program's own instance, no previous instance, the command line after
// the program name, SW_SHOWDEFAULT).
#include <cstdio>
#include <cstdlib>
#include <string>

#include "platform/host/charset.h"
#include "platform/kernel32/command_line.h"
#include "platform/kernel32/installed_layout.h"
#include "platform/kernel32/module_file.h"
#include "platform/kernel32/path_model.h"
#include "platform/user32/session_end.h"
#include "platform/win32.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE previousInstance, LPSTR commandLine,
                   int showCommand);

namespace {

// Everything after the program's name, as the loader passes it to WinMain.
// Made on first use: it is filled before this file's own static
// constructors would run.
std::string &argumentsPart()
{
    static auto *part = new std::string;
    return *part;
}

// The command line exists before the program's static constructors run, as
// on the platform: they may ask for it. glibc hands the process's arguments
// to the functions of .init_array, and priority 101 runs before every
// constructor of default priority.
//
// The program takes files only, so every argument is a host path: it is
// written in its Win32 form, as a drop of the same file gives it (full,
// "C:\..."; names CP932 lacks in the reversible escape of the layer).
__attribute__((constructor(101))) void buildCommandLine(int argc, char **argv, char **)
{
    using namespace hp::kernel32;
    std::string &arguments = argumentsPart();
    for (int i = 1; i < argc && argv; ++i) {
        const std::string argument = argv[i];
        if (i > 1)
            arguments += ' ';
        arguments += quoteCommandLineArgument(argument.empty() ? argument : windowsPathOf(argument));
    }
    std::string line = quoteCommandLineArgument(windowsPathOf(moduleHostPath()));
    if (!arguments.empty())
        line += ' ' + arguments;
    setCommandLine(std::move(line));
}

// An installed program moves into the user's own folder before the
// program's static constructors read its settings and queue
// (installed_layout.h); its file arguments are full paths by now. When it
// cannot, it ends here, having read and written nothing.
__attribute__((constructor(102))) void enterProgramFolder()
{
    std::string problem;
    if (hp::kernel32::enterInstalledLayout(hp::kernel32::moduleHostPath(), problem))
        return;
    std::fprintf(stderr, "Hollyphone: %s\n", problem.c_str());
    const std::string text = hp::host::cp932FromUtf8("Hollyphone cannot start: " + problem + ".");
    MessageBoxA(nullptr, text.c_str(), "Hollyphone", MB_OK | MB_ICONERROR);
    std::exit(1);
}

}  // namespace

int main(int, char **)
{
    // Until now a signal ends the process at once, as nothing the user did
    // can be lost yet; from here on it ends the session (session_end.h).
    hp::user32::watchSessionEndSignals();
    return WinMain(GetModuleHandleA(nullptr), nullptr, argumentsPart().data(), SW_SHOWDEFAULT);
}
