// The program's drawing hot paths: a sprite cut from the 256 x 300 skin file
// (loaded, selected, blitted and released on every call, as the sprite
// blitter does) and the 27-byte text lines.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <memory>
#include <vector>

#include "platform/gdi32/image_cache.h"
#include "platform/gdi32/surface.h"
#include "platform/win32.h"

namespace {

const char *const skinPath = "gdi_bench_parts.bmp";

void writeSkin()
{
    constexpr int width = 256;
    constexpr int height = 300;
    constexpr int stride = width * 3;
    std::vector<unsigned char> file(54 + stride * height);
    auto put32 = [&](size_t at, unsigned v) {
        for (int i = 0; i < 4; ++i)
            file[at + i] = static_cast<unsigned char>(v >> (8 * i));
    };
    file[0] = 'B';
    file[1] = 'M';
    put32(2, static_cast<unsigned>(file.size()));
    put32(10, 54);
    put32(14, 40);
    put32(18, width);
    put32(22, height);
    file[26] = 1;
    file[28] = 24;
    for (int i = 54; i < static_cast<int>(file.size()); ++i)
        file[i] = static_cast<unsigned char>(i * 7);
    FILE *out = std::fopen(skinPath, "wb");
    std::fwrite(file.data(), 1, file.size(), out);
    std::fclose(out);
}

struct Window {
    std::shared_ptr<hp::gdi32::Surface> surface = std::make_shared<hp::gdi32::Surface>(632, 500);
    HDC dc = hp::gdi32::createWindowDc(reinterpret_cast<HWND>(0x77770), surface);
    ~Window() { hp::gdi32::releaseWindowDc(dc); }
};

// One sprite request as the blitter makes it.
bool drawSprite(HDC target, int x, int y)
{
    HBITMAP bitmap = static_cast<HBITMAP>(
        LoadImageA(GetModuleHandleA(nullptr), skinPath, IMAGE_BITMAP, 0, 0,
                   LR_LOADFROMFILE | LR_CREATEDIBSECTION));
    if (!bitmap)
        return false;
    HDC memory = CreateCompatibleDC(nullptr);
    SelectObject(memory, bitmap);
    BITMAP info;
    GetObjectA(bitmap, sizeof info, &info);
    StretchBlt(target, x, y, 8, 8, memory, 9, 95, 8, 8, SRCCOPY);
    DeleteDC(memory);
    DeleteObject(bitmap);
    return true;
}

void spriteWithCache(benchmark::State &state)
{
    writeSkin();
    Window window;
    hp::gdi32::ImageCache::instance().clear();
    for (auto _ : state)
        benchmark::DoNotOptimize(drawSprite(window.dc, 100, 100));
    state.counters["decodes"] = static_cast<double>(hp::gdi32::ImageCache::instance().decodeCount());
}
BENCHMARK(spriteWithCache);

void spriteWithoutCache(benchmark::State &state)
{
    writeSkin();
    Window window;
    for (auto _ : state) {
        hp::gdi32::ImageCache::instance().clear();
        benchmark::DoNotOptimize(drawSprite(window.dc, 100, 100));
    }
}
BENCHMARK(spriteWithoutCache);

// One animation tick's sprites: 31 requests (ten ticks a second while the
// effect runs, so ten times this is the CPU share per second).
void animationTickSprites(benchmark::State &state)
{
    writeSkin();
    Window window;
    for (auto _ : state)
        for (int i = 0; i < 31; ++i)
            drawSprite(window.dc, 40 + 9 * i, 50);
}
BENCHMARK(animationTickSprites)->Unit(benchmark::kMicrosecond);

void textLine27(benchmark::State &state)
{
    Window window;
    HFONT font = CreateFontA(17, 0, 0, 0, FW_SEMIBOLD, 0, 0, 0, SHIFTJIS_CHARSET, 0, 0,
                             PROOF_QUALITY, FIXED_PITCH | FF_MODERN, "ＭＳ 明朝");
    SelectObject(window.dc, font);
    SetBkColor(window.dc, RGB(255, 204, 204));
    SetTextColor(window.dc, RGB(0, 128, 0));
    const char line[] = "[Play] 03:02 再生リスト    ";
    for (auto _ : state)
        benchmark::DoNotOptimize(TextOutA(window.dc, 193, 185, line, 27));
    SelectObject(window.dc, GetStockObject(SYSTEM_FONT));
    DeleteObject(font);
}
BENCHMARK(textLine27);

}  // namespace

BENCHMARK_MAIN();
