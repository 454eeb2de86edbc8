// The timeline's clock and environment on POSIX systems.
#include <time.h>

#include <cstdlib>

#include "base/timeline.h"

namespace zub::timeline {

double NowMs() {
    timespec t;
    clock_gettime(CLOCK_MONOTONIC, &t);
    return double(t.tv_sec) * 1000.0 + double(t.tv_nsec) / 1e6;
}

std::string PathFromEnvironment() {
    const char* path = std::getenv("SKINSETUP_TIMELINE");
    return path ? path : "";
}

}  // namespace zub::timeline
