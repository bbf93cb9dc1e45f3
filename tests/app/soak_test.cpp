// A long run of the whole program on the virtual clock: ten thousand
// next-track commands while playing and a hundred thousand animation ticks
// leave the process holding what it held after warming up: GDI and window
// objects, kernel handles, MCI devices, drops, heap and resident memory.
#include <gtest/gtest.h>
#include <malloc.h>

#include <fstream>
#include <string>

#include "app/commands.h"
#include "app/front_panel.h"
#include "tests/app/support/program_harness.h"

namespace {

using hp::apptest::LiveResources;
using hp::apptest::ProgramHarness;

#if defined(__SANITIZE_ADDRESS__)
constexpr bool sanitized = true;
#else
constexpr bool sanitized = false;
#endif

struct Memory {
    size_t heapInUse = 0;
    size_t residentBytes = 0;
};

Memory memoryNow()
{
    Memory memory;
    memory.heapInUse = mallinfo2().uordblks;
    std::ifstream statm("/proc/self/statm");
    size_t pages = 0;
    size_t resident = 0;
    statm >> pages >> resident;
    memory.residentBytes = resident * static_cast<size_t>(sysconf(_SC_PAGESIZE));
    return memory;
}

struct Checkpoint {
    LiveResources resources;
    Memory memory;
    uint32_t frames = 0;
    int nextCommands = 0;
};

TEST(Soak, TenThousandTrackChangesAndAHundredThousandTicksLeakNothing)
{
    // Under the sanitizers a quarter of the run, which still crosses every
    // path many times, keeps the suite's time within bounds.
    constexpr int scale = sanitized ? 4 : 1;
    constexpr int warmUpCommands = 200;
    constexpr int totalCommands = 10000 / scale;
    constexpr uint32_t totalTicks = 100000 / scale;

    ProgramHarness program;
    program.writeSettings("[CONFIG]\r\nGraphicEffect=1\r\nSoundDev=0\r\n");
    program.addMixerDevice("Mixer", 30000, 30000, 30000);
    std::string playlist;
    for (int i = 0; i < 3; ++i)
        playlist += program.writeMp3("[Band] Song " + std::to_string(i) + ".mp3") + "\r\n";
    playlist += program.writeMidi("[Composer] Piece.mid") + "\r\n";
    program.writePlaylist(playlist);
    ProgramHarness::setTrackLengthMilliseconds(3600000);

    int commands = 0;
    Checkpoint warm;
    Checkpoint end;
    auto take = [&](Checkpoint &checkpoint) {
        checkpoint.resources = hp::apptest::liveResources();
        checkpoint.memory = memoryNow();
        checkpoint.frames = frontPanel.frameCount;
        checkpoint.nextCommands = commands;
    };
    // One next-track command a second, each scheduling the one after it;
    // the animation ticks ten times a second meanwhile.
    std::function<void()> next = [&] {
        // The recording twin keeps every call it saw; forget them, so that
        // only the program's own memory is measured.
        hp::testing::recordingMci().reset();
        ProgramHarness::setTrackLengthMilliseconds(3600000);
        PostMessageA(mainWindow, WM_COMMAND, commandNextTrack, 0);
        ++commands;
        if (commands == warmUpCommands)
            program.at(500, [&] { take(warm); });
        if (commands < totalCommands) {
            program.at(1000, next);
        } else {
            program.at(500, [&] {
                take(end);
                program.display().click(mainWindow, hp::apptest::quitButtonPoint);
            });
        }
    };
    program.clickAt(500, hp::apptest::playButtonPoint);
    program.at(1000, next);
    // The commands take one second of virtual time each; the ticks then
    // stand at ten times their number.
    EXPECT_EQ(program.runProgram(), 0);

    EXPECT_EQ(end.nextCommands, totalCommands);
    EXPECT_GE(end.frames, totalTicks);
    EXPECT_EQ(frontPanel.isPlaying, 1) << "still playing after every change";
    EXPECT_EQ(end.resources, warm.resources)
        << "warm: " << hp::apptest::describe(warm.resources)
        << "\nend:  " << hp::apptest::describe(end.resources);
    EXPECT_EQ(end.resources.mciDevices, 1u) << "only the playing track's device is open";

    // Heap figures mean nothing under AddressSanitizer's allocator, whose
    // quarantine also holds freed memory for a while.
    if (!sanitized) {
        EXPECT_LE(end.memory.heapInUse, warm.memory.heapInUse + 64 * 1024)
            << "heap in use grew from " << warm.memory.heapInUse << " to "
            << end.memory.heapInUse;
        EXPECT_LE(end.memory.residentBytes, warm.memory.residentBytes + 1024 * 1024)
            << "resident memory grew from " << warm.memory.residentBytes << " to "
            << end.memory.residentBytes;
    }
    std::printf("soak: %u ticks, %d track changes; heap %zu -> %zu bytes, resident %zu -> %zu "
                "bytes; %s\n",
                end.frames, end.nextCommands, warm.memory.heapInUse, end.memory.heapInUse,
                warm.memory.residentBytes, end.memory.residentBytes,
                hp::apptest::describe(end.resources).c_str());
}

}  // namespace
