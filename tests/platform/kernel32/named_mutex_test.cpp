// Named mutexes across processes: the name held by another process exists
// here, a holder that crashed leaves nothing behind, and the session folder
// is refused when it is not the user's alone.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <string>

#include "host_folder.h"
#include "platform/win32.h"

namespace {

// XDG_RUNTIME_DIR for one test.
class RuntimeFolder {
public:
    RuntimeFolder()
    {
        const char *old = std::getenv("XDG_RUNTIME_DIR");
        saved_ = old ? old : "";
        hadOne_ = old != nullptr;
        setenv("XDG_RUNTIME_DIR", folder_.path().c_str(), 1);
    }
    ~RuntimeFolder()
    {
        if (hadOne_)
            setenv("XDG_RUNTIME_DIR", saved_.c_str(), 1);
        else
            unsetenv("XDG_RUNTIME_DIR");
    }
    std::string sessionFolder() const { return folder_.child("hollyphone"); }

private:
    HostFolder folder_;
    std::string saved_;
    bool hadOne_ = false;
};

// A process that holds the name until it is killed.
pid_t holdInAnotherProcess(const char *name)
{
    int ready[2];
    if (pipe(ready) != 0)
        return -1;
    const pid_t child = fork();
    if (child == 0) {
        HANDLE held = CreateMutexA(nullptr, FALSE, name);
        const char byte = held ? 1 : 0;
        [[maybe_unused]] ssize_t written = write(ready[1], &byte, 1);
        for (;;)
            pause();
    }
    char byte = 0;
    [[maybe_unused]] ssize_t got = read(ready[0], &byte, 1);
    close(ready[0]);
    close(ready[1]);
    return byte == 1 ? child : -1;
}

DWORD createAndClose(const char *name)
{
    SetLastError(0xDEADBEEF);
    HANDLE handle = CreateMutexA(nullptr, FALSE, name);
    const DWORD error = handle ? GetLastError() : 0xBAD;
    CloseHandle(handle);
    return error;
}

}  // namespace

TEST(NamedMutex, AnotherProcessHoldsTheNameUntilItEndsHoweverItEnds)
{
    RuntimeFolder runtime;
    const pid_t holder = holdInAnotherProcess("Player");
    ASSERT_GT(holder, 0);
    EXPECT_EQ(createAndClose("Player"), static_cast<DWORD>(ERROR_ALREADY_EXISTS));
    kill(holder, SIGKILL);
    waitpid(holder, nullptr, 0);
    EXPECT_EQ(createAndClose("Player"), static_cast<DWORD>(ERROR_SUCCESS)) << "a crash frees it";
}

TEST(NamedMutex, ASessionFolderOthersCouldReachIsRefused)
{
    RuntimeFolder runtime;
    ASSERT_EQ(createAndClose("Player"), static_cast<DWORD>(ERROR_SUCCESS));
    struct stat status;
    ASSERT_EQ(stat(runtime.sessionFolder().c_str(), &status), 0);
    EXPECT_EQ(status.st_mode & 0777, 0700u);

    chmod(runtime.sessionFolder().c_str(), 0770);
    SetLastError(0);
    EXPECT_EQ(CreateMutexA(nullptr, FALSE, "Player"), nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));

    chmod(runtime.sessionFolder().c_str(), 0700);
    const std::string moved = runtime.sessionFolder() + ".real";
    ASSERT_EQ(rename(runtime.sessionFolder().c_str(), moved.c_str()), 0);
    ASSERT_EQ(symlink(moved.c_str(), runtime.sessionFolder().c_str()), 0);
    EXPECT_EQ(createAndClose("Player"), 0xBADu) << "a link in its place";
}
