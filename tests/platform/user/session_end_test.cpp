// The session ending under a program: every top-level window is asked and
// told on the GUI thread, then the process ends as the end demands; a
// second signal ends it at once; a program already in its own shutdown is
// left to finish. Each case runs in a process of its own (death tests).
#include <gtest/gtest.h>

#include <signal.h>
#include <unistd.h>

#include <cstdio>

#include "platform/user32/session_end.h"
#include "platform/user32/window_system.h"
#include "tests/platform/user/headless_support.h"

namespace {

LRESULT CALLBACK tellingProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_QUERYENDSESSION || message == WM_ENDSESSION) {
        std::fprintf(stderr, "%s %s %lx\n", message == WM_QUERYENDSESSION ? "query" : "end",
                     GetParent(window) ? "owned" : "main", static_cast<unsigned long>(lParam));
        if (message == WM_ENDSESSION && wParam == TRUE)
            std::fprintf(stderr, "ending\n");
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

// A main window and a window it owns, then the message loop.
void runTwoWindows()
{
    WNDCLASSEXA windowClass = {};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = tellingProcedure;
    windowClass.lpszClassName = "SessionEndTest";
    RegisterClassExA(&windowClass);
    HWND main = CreateWindowExA(0, "SessionEndTest", "main", WS_POPUP, 0, 0, 50, 50, nullptr,
                                nullptr, nullptr, nullptr);
    CreateWindowExA(0, "SessionEndTest", "owned", WS_POPUP, 0, 0, 20, 20, main, nullptr, nullptr,
                    nullptr);
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0)
        DispatchMessageA(&message);
}

}  // namespace

TEST(SessionEndDeathTest, ASignalAsksAndTellsEveryTopLevelWindowThenEndsByThatSignal)
{
    ::testing::FLAGS_gtest_death_test_style = "threadsafe";
    EXPECT_EXIT(
        {
            hp::user32::watchSessionEndSignals();
            headless_test::display().schedule(10, [] { raise(SIGTERM); });
            runTwoWindows();
        },
        testing::KilledBySignal(SIGTERM),
        "query main 1\nquery owned 1\nend main 1\nending\nend owned 1\nending\n");
    // A hang-up is a log-off.
    EXPECT_EXIT(
        {
            hp::user32::watchSessionEndSignals();
            headless_test::display().schedule(10, [] { raise(SIGHUP); });
            runTwoWindows();
        },
        testing::KilledBySignal(SIGHUP), "end main 80000000\nending\n");
}

TEST(SessionEndDeathTest, TheDisplayGoneEndsTheSessionWithCodeOne)
{
    ::testing::FLAGS_gtest_death_test_style = "threadsafe";
    EXPECT_EXIT(
        {
            headless_test::display().schedule(
                10, [] { hp::user32::WindowSystem::instance().displayLost(); });
            runTwoWindows();
        },
        testing::ExitedWithCode(1), "query main 80000000\n.*end owned 80000000\nending\n");
}

TEST(SessionEndDeathTest, ASecondSignalEndsTheProcessAtOnce)
{
    ::testing::FLAGS_gtest_death_test_style = "threadsafe";
    EXPECT_EXIT(
        {
            hp::user32::watchSessionEndSignals();
            raise(SIGINT);
            raise(SIGINT);
            std::fprintf(stderr, "still running\n");
            _exit(0);
        },
        testing::KilledBySignal(SIGINT), "^$");
}

TEST(SessionEndDeathTest, AProgramPastItsLoopFinishesItsOwnShutdown)
{
    ::testing::FLAGS_gtest_death_test_style = "threadsafe";
    EXPECT_EXIT(
        {
            hp::user32::watchSessionEndSignals();
            headless_test::display().schedule(10, [] { PostQuitMessage(0); });
            runTwoWindows();
            raise(SIGTERM);
            // The shutdown of a program may still show a box or pump.
            MSG message;
            PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE);
            std::fprintf(stderr, "shutdown done\n");
            _exit(3);
        },
        testing::ExitedWithCode(3), "^shutdown done\n$");
}
