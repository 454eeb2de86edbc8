#include "archive/unpack_progress.h"

#include <algorithm>

#include "archive/payload_layout.h"
#include "archive/zlb_archive.h"
#include "base/strings.h"

namespace zub {

void TUnpackProgress::Attach(TZLBArchive& reader) {
    reader.OnArchiveOpened = [this](TZLBArchive& sender) { Opened(sender); };
    reader.OnFileExtracted = [this, &reader](const std::string&) {
        finished_ += reader.ProgressTotal();
        current_ = 0;
        Report();
    };
    reader.OnProgress = [this, &reader](const std::string&, int) {
        if (reader.ProgressPhase() != TZLBArchive::kPhaseExtracting) return;
        current_ = reader.ProgressDone();
        Report();
    };
}

void TUnpackProgress::Detach(TZLBArchive& reader) {
    reader.OnArchiveOpened = nullptr;
    reader.OnFileExtracted = nullptr;
    reader.OnProgress = nullptr;
}

// A nested archive is unpacked after it has been written, so its bytes count
// twice: once as an entry of its parent, once (estimated by its own size until
// its directory is read) for what it holds.
void TUnpackProgress::Opened(const TZLBArchive& reader) {
    auto it = pending_.find(LowerAscii(ExtractFileName(reader.ArchiveFileName())));
    if (it != pending_.end()) {
        total_ -= it->second;
        pending_.erase(it);
    }
    for (int i = 0; i < reader.GetFileCount(); ++i) {
        const TZLBFileEntry entry = reader.GetFileEntry(i);
        total_ += entry.UnpackedSize;
        if (LowerAscii(ExtractFileExt(entry.Name)) == kNestedArchiveExt) {
            pending_[LowerAscii(entry.Name)] += entry.UnpackedSize;
            total_ += entry.UnpackedSize;
        }
    }
}

void TUnpackProgress::PayloadWriting(int64_t payloadBytes) {
    writing_ = payloadBytes;
    if (onPercent_) onPercent_(percent_);
}

void TUnpackProgress::Report() {
    if (total_ > 0) {
        const int64_t percent = std::min<int64_t>(99, DoneBytes() * 100 / total_);
        percent_ = std::max(percent_, static_cast<int>(percent));
    }
    if (onPercent_) onPercent_(percent_);
}

}  // namespace zub
