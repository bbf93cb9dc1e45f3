// The repaint of the animated front panel: every 100 ms, 31 sprites cut
// from the same bitmap file (loaded and released for each one, as the
// program's blitter does) and one 27-character text line, drawn through
// GetDC into a 632 x 500 borderless window on the real display. Prints the
// CPU time this process spends, as a share of one core; the goal is under
// 1 %.
//   hp_bench_window [seconds]     (default 30; needs an X server)
#include <sys/resource.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "platform/win32.h"

namespace {

constexpr int windowWidth = 632;
constexpr int windowHeight = 500;
constexpr int sheetWidth = 256;
constexpr int sheetHeight = 300;
constexpr int spriteCount = 31;
constexpr int spriteSize = 16;
constexpr UINT tickMilliseconds = 100;

struct Run {
    std::string sheetPath;
    HFONT font = nullptr;
    unsigned ticks = 0;
};
Run run;

void putLittleEndian(std::vector<unsigned char> &bytes, uint32_t value, int size)
{
    for (int i = 0; i < size; ++i)
        bytes.push_back(static_cast<unsigned char>(value >> (8 * i)));
}

// A 24-bit bottom-up BMP with a colourful pattern, like a sprite sheet.
std::string writeSpriteSheet()
{
    const int rowBytes = (sheetWidth * 3 + 3) & ~3;
    std::vector<unsigned char> bytes;
    bytes.push_back('B');
    bytes.push_back('M');
    putLittleEndian(bytes, 54 + rowBytes * sheetHeight, 4);
    putLittleEndian(bytes, 0, 4);
    putLittleEndian(bytes, 54, 4);
    putLittleEndian(bytes, 40, 4);
    putLittleEndian(bytes, sheetWidth, 4);
    putLittleEndian(bytes, sheetHeight, 4);
    putLittleEndian(bytes, 1, 2);
    putLittleEndian(bytes, 24, 2);
    putLittleEndian(bytes, 0, 4);
    putLittleEndian(bytes, rowBytes * sheetHeight, 4);
    putLittleEndian(bytes, 2835, 4);
    putLittleEndian(bytes, 2835, 4);
    putLittleEndian(bytes, 0, 4);
    putLittleEndian(bytes, 0, 4);
    for (int y = 0; y < sheetHeight; ++y) {
        for (int x = 0; x < sheetWidth; ++x) {
            bytes.push_back(static_cast<unsigned char>(x));
            bytes.push_back(static_cast<unsigned char>(y));
            bytes.push_back(static_cast<unsigned char>(x ^ y));
        }
        for (int pad = sheetWidth * 3; pad < rowBytes; ++pad)
            bytes.push_back(0);
    }
    const std::string path = "/tmp/hp_bench_window_" + std::to_string(getpid()) + ".bmp";
    FILE *file = std::fopen(path.c_str(), "wb");
    if (!file)
        return {};
    std::fwrite(bytes.data(), 1, bytes.size(), file);
    std::fclose(file);
    return path;
}

void drawSprite(HDC target, int index)
{
    HBITMAP sheet = static_cast<HBITMAP>(LoadImageA(nullptr, run.sheetPath.c_str(), IMAGE_BITMAP,
                                                    0, 0, LR_LOADFROMFILE | LR_CREATEDIBSECTION));
    if (!sheet)
        return;
    HDC memory = CreateCompatibleDC(target);
    HGDIOBJ previous = SelectObject(memory, sheet);
    const int frame = static_cast<int>((run.ticks + index) % 8);
    StretchBlt(target, 20 + (index % 8) * 70, 20 + (index / 8) * 60, spriteSize, spriteSize,
               memory, frame * spriteSize, (index % 16) * spriteSize, spriteSize, spriteSize,
               SRCCOPY);
    SelectObject(memory, previous);
    DeleteDC(memory);
    DeleteObject(sheet);
}

void repaint(HWND window)
{
    HDC dc = GetDC(window);
    for (int i = 0; i < spriteCount; ++i)
        drawSprite(dc, i);
    HGDIOBJ previous = SelectObject(dc, run.font);
    SetBkColor(dc, RGB(0, 0, 0));
    SetTextColor(dc, RGB(255, 255, 255));
    char line[32];
    std::snprintf(line, sizeof line, "Tick %06u of the marquee!", run.ticks % 1000000);
    TextOutA(dc, 236, 170, line, 27);
    SelectObject(dc, previous);
    ReleaseDC(window, dc);
}

LRESULT CALLBACK procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_TIMER:
        ++run.ticks;
        repaint(window);
        return 0;
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    default:
        return DefWindowProcA(window, message, wParam, lParam);
    }
}

double cpuSeconds()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_utime.tv_sec + usage.ru_stime.tv_sec +
           (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

// Runs the message loop until the given number of timer ticks.
void runTicks(unsigned until)
{
    MSG message;
    while (run.ticks < until && GetMessageA(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
}

}  // namespace

int main(int argc, char **argv)
{
    const int seconds = argc > 1 ? std::atoi(argv[1]) : 30;
    run.sheetPath = writeSpriteSheet();
    if (run.sheetPath.empty()) {
        std::fprintf(stderr, "cannot write the sprite sheet\n");
        return 1;
    }
    run.font = CreateFontA(12, 0, 0, 0, FW_NORMAL, 0, 0, 0, SHIFTJIS_CHARSET, 0, 0, PROOF_QUALITY,
                           FIXED_PITCH | FF_MODERN, "ＭＳ 明朝");

    WNDCLASSEXA windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = procedure;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = "RepaintBench";
    RegisterClassExA(&windowClass);
    HWND window = CreateWindowExA(0, "RepaintBench", "repaint", WS_POPUP | WS_SYSMENU, 50, 50,
                                  windowWidth, windowHeight, nullptr, nullptr,
                                  GetModuleHandleA(nullptr), nullptr);
    ShowWindow(window, SW_SHOW);
    UpdateWindow(window);
    SetTimer(window, 100, tickMilliseconds, nullptr);

    // One second to settle (first loads, font set-up, mapping), then measure.
    runTicks(10);
    const double cpuStart = cpuSeconds();
    const auto wallStart = std::chrono::steady_clock::now();
    const unsigned ticksStart = run.ticks;
    runTicks(ticksStart + static_cast<unsigned>(seconds) * (1000 / tickMilliseconds));
    const double cpu = cpuSeconds() - cpuStart;
    const double wall =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - wallStart).count();
    const unsigned ticks = run.ticks - ticksStart;

    std::printf("window repaint: %u ticks in %.1f s (%.1f per second)\n", ticks, wall,
                ticks / wall);
    std::printf("  each: %d sprites (LoadImageA + StretchBlt) + one %d-byte TextOutA\n",
                spriteCount, 27);
    std::printf("  CPU of this process: %.3f s = %.2f %% of one core (goal: under 1 %%)\n", cpu,
                100.0 * cpu / wall);
    std::printf("  CPU per repaint: %.3f ms\n", 1000.0 * cpu / ticks);

    DestroyWindow(window);
    DeleteObject(run.font);
    std::remove(run.sheetPath.c_str());
    return 0;
}
