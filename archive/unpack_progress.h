// One percentage for the whole unpacking of a payload, taken from the
// progress reports of the readers that do it: the payload archive's and
// those of the archives nested in it.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <string>

namespace zub {

class TZLBArchive;

class TUnpackProgress {
public:
    // Called on every report of an attached reader, with the percentage done.
    using TPercentEvent = std::function<void(int percent)>;

    explicit TUnpackProgress(TPercentEvent onPercent) : onPercent_(std::move(onPercent)) {}

    // Listens to the reader's reports (its OnArchiveOpened, OnFileExtracted
    // and OnProgress) until Detach.
    void Attach(TZLBArchive& reader);
    static void Detach(TZLBArchive& reader);

    // Bytes to write in all: what the directories read so far hold, with each
    // nested archive not yet opened counted at its own size.
    // Before any directory is read, the size of the payload being written.
    int64_t TotalBytes() const { return total_ > 0 ? total_ : writing_; }
    int64_t DoneBytes() const { return finished_ + current_; }
    // 0 to 99 while the work goes on; it never goes back.
    int Percent() const { return percent_; }

    // Reports a piece of the payload's own file written, before its directory
    // is read: what it holds is about as large as the payload, so a large
    // one can show its feedback during the write. The percentage stays 0.
    void PayloadWriting(int64_t payloadBytes);

private:
    void Opened(const TZLBArchive& reader);
    void Report();

    TPercentEvent onPercent_;
    std::map<std::string, int64_t> pending_;  // nested archives not yet opened, by lower-case name
    int64_t total_ = 0;
    int64_t writing_ = 0;   // the payload's size while its file is written
    int64_t finished_ = 0;  // bytes of the entries extracted completely
    int64_t current_ = 0;   // bytes of the entry being extracted
    int percent_ = 0;
};

}  // namespace zub
