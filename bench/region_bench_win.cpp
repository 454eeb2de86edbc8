// Timings of BitmapToRegion's region call under Wine, for several chunk sizes
// of the rectangle batches it hands to ExtCreateRegion (the run scan alone is
// timed natively in skin_bench). Cross-built with -DSKINSETUP_BENCH=ON:
//   scripts/with-wine.sh scripts/wine-run.sh build/cross/region_bench.exe
#include <windows.h>

#include <cstdio>

#include "skin/region_win.h"

namespace {

enum TKind { kShape, kNoise, kChecker };

struct TPicture {
    const char* name;
    int width, height;
    TKind kind;
};

void Fill(zub::TBitmap32& b, const TPicture& p) {
    b.SetSize(p.width, p.height);
    uint32_t seed = 1;
    for (int y = 0; y < p.height; ++y)
        for (int x = 0; x < p.width; ++x) {
            const int dx = x - p.width / 2, dy = y - p.height / 2;
            bool solid = p.kind == kChecker ? (x + y) % 2 == 0 : dx * dx + dy * dy < p.height * p.height / 4;
            seed = seed * 1103515245 + 12345;
            if (p.kind == kNoise && (seed >> 16) % 100 == 0) solid = !solid;
            b.SetPixel(x, y, solid ? 0xFF000000 : 0);
        }
}

double Milliseconds(const LARGE_INTEGER& from, const LARGE_INTEGER& to) {
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    return 1000.0 * double(to.QuadPart - from.QuadPart) / double(frequency.QuadPart);
}

}  // namespace

int main() {
    const TPicture pictures[] = {{"shape 1920x1080", 1920, 1080, kShape},
                                 {"noise 1920x1080", 1920, 1080, kNoise},
                                 {"checker 480x270", 480, 270, kChecker},
                                 {"checker 960x540", 960, 540, kChecker}};
    for (const TPicture& p : pictures) {
        zub::TBitmap32 b;
        Fill(b, p);
        for (size_t chunk : {size_t(64), size_t(256), size_t(1024)}) {
            LARGE_INTEGER start, end;
            QueryPerformanceCounter(&start);
            zub::GdiObject<HRGN> region = zub::BitmapToRegion(b, 100, chunk);
            QueryPerformanceCounter(&end);
            const double ms = Milliseconds(start, end);
            std::printf("%-16s chunk %5u: %9.1f ms, %6.2f ns/pixel%s\n", p.name, unsigned(chunk), ms,
                        ms * 1e6 / (double(p.width) * p.height), region.valid() ? "" : " (failed)");
        }
    }
    return 0;
}
