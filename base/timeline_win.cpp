// The timeline's clock and environment on Windows.
#include <windows.h>

#include "base/timeline.h"

namespace zub::timeline {

double NowMs() {
    static const double ticksPerMs = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return double(f.QuadPart) / 1000.0;
    }();
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return double(now.QuadPart) / ticksPerMs;
}

std::string PathFromEnvironment() {
    char path[MAX_PATH + 1];
    const DWORD n = GetEnvironmentVariableA("SKINSETUP_TIMELINE", path, sizeof path);
    return n > 0 && n < sizeof path ? std::string(path, n) : std::string();
}

}  // namespace zub::timeline
