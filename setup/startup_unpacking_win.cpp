#include "setup/startup_unpacking_win.h"

#include <exception>

#include "archive/payload.h"
#include "base/timeline.h"
#include "setup/unpack_progress_win.h"

namespace zub {

TStartupUnpacking::TStartupUnpacking() : thread_([this] { Run(); }) {}

TStartupUnpacking::~TStartupUnpacking() = default;

void TStartupUnpacking::Run() {
    {
        timeline::TStep step("work folder");
        path_ = OpenWorkFolder(folder_);
    }
    timeline::TStep step("unpacking");
    // The progress window belongs to this thread, which services it while it
    // unpacks; it goes before the wizard's thread reads Setup.ini, and before
    // the error box of a failure.
    TUnpackProgressWindow progress;
    UnpackPayload(Archiver, TPayloadResource::OfRunningImage(), path_, &progress.Tracker());
}

std::string TStartupUnpacking::Take(TWorkFolderGuard& guard) {
    auto handOver = [&] {
        guard.Set(folder_.Folder());
        folder_.Set(std::string());
    };
    try {
        thread_.Wait();
    } catch (...) {
        handOver();
        throw;
    }
    handOver();
    return path_;
}

void TStartupUnpacking::Abandon() {
    TWorkFolderGuard leftover;
    try {
        Take(leftover);
    } catch (const std::exception&) {
        // The start-up reports its own failure; this one came after it.
    }
}

}  // namespace zub
