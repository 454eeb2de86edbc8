// The skin's pixel passes, reported per pixel: the run scan of BitmapToRegion
// (rectangles only; the region call itself is timed under Wine by
// region_bench_win.cpp), the colour key, and the picture decoders on
// pictures made with ImageMagick at start.
#include <benchmark/benchmark.h>


#include <cstdlib>
#include <string>

#include "base/file.h"
#include "shell/temp_folder.h"
#include "skin/graphic.h"
#include "skin/picture_decoder.h"
#include "skin/region.h"

namespace zub {
namespace {

enum TKind { kShape, kNoise, kChecker };

void MakePicture(TBitmap32& b, int w, int h, TKind kind) {
    b.SetSize(w, h);
    uint32_t seed = 1;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            int64_t dx = x - w / 2, dy = y - h / 2;
            bool solid = kind == kChecker ? (x + y) % 2 == 0 : dx * dx + dy * dy < int64_t(h) * h / 4;
            seed = seed * 1103515245 + 12345;
            if (kind == kNoise && (seed >> 16) % 100 == 0) solid = !solid;
            b.SetPixel(x, y, solid ? 0xFF3060A0u : 0x00FF00FFu);
        }
}

void PerPixel(benchmark::State& state, size_t pixels) {
    state.counters["ns/pixel"] = benchmark::Counter(double(pixels) * state.iterations(),
                                                    benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

void BM_RegionScan(benchmark::State& state) {
    TBitmap32 b;
    MakePicture(b, int(state.range(0)), int(state.range(1)), TKind(state.range(2)));
    std::vector<TRegionRect> rects;
    for (auto _ : state) {
        rects.clear();
        ScanSolidRuns(b, 100, [&](int x0, int x1, int y) { rects.push_back({x0, y, x1, y + 1}); });
        benchmark::DoNotOptimize(rects.data());
    }
    state.counters["rects"] = double(rects.size());
    PerPixel(state, b.PixelCount());
}
BENCHMARK(BM_RegionScan)
    ->ArgsProduct({{1920}, {1080}, {kShape, kNoise, kChecker}})
    ->Args({4096, 4096, kShape})->Args({4096, 4096, kNoise})->Args({4096, 4096, kChecker})
    ->Unit(benchmark::kMillisecond);

void BM_ColorKey(benchmark::State& state) {
    TBitmap32 b;
    MakePicture(b, int(state.range(0)), int(state.range(1)), kNoise);
    for (auto _ : state) {
        ApplyColorKey(b, 0xFFFF00FF);
        benchmark::DoNotOptimize(b.Bits());
    }
    PerPixel(state, b.PixelCount());
}
BENCHMARK(BM_ColorKey)->Args({1920, 1080})->Args({4096, 4096})->Unit(benchmark::kMillisecond);

// Pictures of 1920 x 1080 from ImageMagick's built-in test pattern.
std::string MadePicture(const std::string& ext, const std::string& options) {
    static const TTempFolder folder("skin_bench.");
    std::string path = folder / ("picture." + ext);
    std::string command = "convert -size 1920x1080 plasma:fractal -seed 1 " + options + " " + path + " 2>/dev/null";
    if (std::system(command.c_str()) != 0) return {};
    return path;
}

void BM_Decode(benchmark::State& state, const char* ext, const char* options) {
    std::string path = MadePicture(ext, options);
    if (path.empty()) {
        state.SkipWithError("ImageMagick is needed to make the picture");
        return;
    }
    std::vector<unsigned char> bytes = fs::ReadWholeFile(path);
    fs::RemoveFile(path);
    size_t pixels = 0;
    for (auto _ : state) {
        TPicture p = DecodePicture(ext, bytes.data(), bytes.size());
        pixels = size_t(p.Width) * p.Height;
        benchmark::DoNotOptimize(p.Pixels.get());
    }
    PerPixel(state, pixels);
}
BENCHMARK_CAPTURE(BM_Decode, bmp24, "bmp", "-type TrueColor")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Decode, bmp8, "bmp", "-colors 200 -type Palette -compress none")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Decode, gif, "gif", "")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Decode, jpeg, "jpg", "-quality 90")->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace zub

BENCHMARK_MAIN();
