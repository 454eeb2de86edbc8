// Saving on several threads: workers compress entries ahead into spools, in a
// bounded memory budget, and the calling thread writes them in order; and the
// ultra level, which holds every entry in memory for zopfli.
#include <atomic>
#include <condition_variable>
#include <exception>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>

#include "archive/ultra_deflate.h"
#include "archive/zlb_write_stream.h"
#include "archive/zlb_writer.h"

namespace zub {
using namespace zlbwrite;
namespace {

// Entries that may be compressed ahead of the one being written.
constexpr size_t kPackWindow = 256;

// Bytes of memory shared by the spools of one Save.
class MemoryBudget {
public:
    explicit MemoryBudget(int64_t bytes) : left_(bytes) {}
    bool Take(int64_t bytes) {
        int64_t left = left_.load();
        while (left >= bytes)
            if (left_.compare_exchange_weak(left, left - bytes)) return true;
        return false;
    }
    void Give(int64_t bytes) { left_ += bytes; }

private:
    std::atomic<int64_t> left_;
};

// The compressed stream of one entry, made on a worker thread and written to
// the archive later: in memory while the budget allows, then in a temporary
// file, which is removed when the spool goes.
class EntrySpool {
public:
    EntrySpool(MemoryBudget& budget, std::string tempPath) : budget_(budget), tempPath_(std::move(tempPath)) {}
    ~EntrySpool() {
        budget_.Give(held_);
        writer_.reset();
        file_.Close();
        if (spilled_ > 0 || made_) fs::RemoveFile(tempPath_);
    }
    EntrySpool(const EntrySpool&) = delete;
    EntrySpool& operator=(const EntrySpool&) = delete;

    void Write(const void* data, size_t count) {
        const auto* bytes = static_cast<const unsigned char*>(data);
        crc_ = crc32(crc_, bytes, static_cast<uInt>(count));
        if (!made_ && budget_.Take(int64_t(count))) {
            held_ += int64_t(count);
            blocks_.emplace_back(bytes, bytes + count);
            return;
        }
        if (!made_) {
            made_ = true;
            file_ = fs::File::Create(tempPath_);
            writer_ = std::make_unique<fs::BufferedWriter>(file_);
        }
        writer_->Write(data, count);
        spilled_ += int64_t(count);
    }

    // Writes the whole stream to the sink as one segment.
    void WriteTo(ArchiveSink& sink) {
        for (const std::vector<unsigned char>& block : blocks_) sink.Write(block.data(), block.size(), true);
        if (made_) CopySpilled(sink);
        sink.EndSegment(crc_);
    }

private:
    void CopySpilled(ArchiveSink& sink) {
        writer_->Flush();
        writer_.reset();
        file_.Close();
        file_ = fs::File::OpenRead(tempPath_);
        if (!file_.IsOpen()) throw Error(Format("Unable to open file (%s)", tempPath_.c_str()));
        std::vector<unsigned char> block(kReadBlockSize);
        for (int64_t left = spilled_; left > 0;) {
            size_t want = static_cast<size_t>(std::min<int64_t>(left, int64_t(block.size())));
            if (file_.Read(block.data(), want) != want)
                throw Error(Format("Unable to read file (%s)", tempPath_.c_str()));
            sink.Write(block.data(), want, true);
            left -= int64_t(want);
        }
    }

    MemoryBudget& budget_;
    std::string tempPath_;
    std::vector<std::vector<unsigned char>> blocks_;
    int64_t held_ = 0;
    int64_t spilled_ = 0;
    bool made_ = false;  // the temporary file exists
    fs::File file_;
    std::unique_ptr<fs::BufferedWriter> writer_;
    uLong crc_ = crc32(0, nullptr, 0);
};

// One entry packed by a worker: its record so far and, when it compressed
// well, the stream waiting in a spool. An entry to be stored is copied from
// its source again when it is written, so it takes no spool space.
struct PackJob {
    TZLBFileEntry entry;
    std::unique_ptr<EntrySpool> spool;
    std::exception_ptr error;
    bool done = false;
};

// Hands the entries to worker threads in order, at most kPackWindow ahead of
// the one being written, and lets the writing thread wait for each in turn.
class PackQueue {
public:
    using Work = std::function<void(size_t index, PackJob& job)>;

    PackQueue(size_t count, unsigned threads, Work work) : jobs_(count), work_(std::move(work)) {
        for (unsigned t = 0; t < threads; ++t) workers_.emplace_back([this] { Run(); });
    }
    ~PackQueue() {
        {
            std::lock_guard<std::mutex> lock(mutex_);
            stop_ = true;
        }
        changed_.notify_all();
        for (std::thread& worker : workers_) worker.join();
    }
    PackQueue(const PackQueue&) = delete;
    PackQueue& operator=(const PackQueue&) = delete;

    // The job once its entry is packed.
    PackJob& Wait(size_t index) {
        std::unique_lock<std::mutex> lock(mutex_);
        changed_.wait(lock, [&] { return jobs_[index].done; });
        return jobs_[index];
    }

    // The entry has been written: its spool goes and the window moves on.
    void Release(size_t index) {
        jobs_[index].spool.reset();
        {
            std::lock_guard<std::mutex> lock(mutex_);
            written_ = index + 1;
        }
        changed_.notify_all();
    }

private:
    void Run() {
        for (;;) {
            size_t index = 0;
            {
                std::unique_lock<std::mutex> lock(mutex_);
                changed_.wait(lock, [&] { return stop_ || next_ >= jobs_.size() || next_ < written_ + kPackWindow; });
                if (stop_ || next_ >= jobs_.size()) return;
                index = next_++;
            }
            PackJob& job = jobs_[index];
            try {
                work_(index, job);
            } catch (...) {
                job.spool.reset();
                job.error = std::current_exception();
            }
            {
                std::lock_guard<std::mutex> lock(mutex_);
                job.done = true;
            }
            changed_.notify_all();
        }
    }

    std::vector<PackJob> jobs_;
    Work work_;
    std::mutex mutex_;
    std::condition_variable changed_;
    size_t next_ = 0;     // the next entry to hand out
    size_t written_ = 0;  // entries written so far
    bool stop_ = false;
    std::vector<std::thread> workers_;
};

}  // namespace

// Workers compress the entries into spools; this thread writes them in order,
// as EncodeEntry would have, so the bytes do not depend on the threads.
void TZLBWriter::SaveEntriesParallel(ArchiveSink& sink, std::vector<unsigned char>& directory,
                                     const std::string& outPath) const {
    MemoryBudget budget(SpoolMemory);
    auto pack = [&](size_t i, PackJob& job) {
        const Source& s = sources_[i];
        SourceReader in(s.sourcePath, s.bytes);
        job.entry = NewEntryRecord(s.name, s.path, in.Size());
        const int level = LevelOf(s);
        if (level <= 0 || in.Size() == 0) return;
        job.spool = std::make_unique<EntrySpool>(budget, outPath + ".~zlb" + std::to_string(i) + ".tmp");
        if (!TryDeflate(in, *job.spool, level, job.entry)) job.spool.reset();
    };
    const unsigned threads = static_cast<unsigned>(std::min<size_t>(Threads, sources_.size()));
    PackQueue queue(sources_.size(), threads, pack);
    for (size_t i = 0; i < sources_.size(); ++i) {
        PackJob& job = queue.Wait(i);
        if (job.error) std::rethrow_exception(job.error);
        job.entry.Offset = static_cast<int32_t>(sink.Position());
        if (job.spool) {
            job.spool->WriteTo(sink);
        } else {
            const Source& s = sources_[i];
            SourceReader in(s.sourcePath, s.bytes);
            CopyStored(in, sink, job.entry);
        }
        EncodeFileEntry(job.entry, directory.data() + i * kFileEntrySize);
        queue.Release(i);
    }
}

namespace {

// One entry for the ultra level: its bytes, and its zlib stream at the best
// level, to be beaten by zopfli (and kept when zopfli does not beat it).
struct UltraEntry {
    std::vector<unsigned char> data;
    std::vector<unsigned char> stream;  // empty: the entry is stored
    uint32_t crc = 0;
    bool compress = false;
};

std::vector<unsigned char> ReadAll(SourceReader& in) {
    std::vector<unsigned char> data;
    data.reserve(static_cast<size_t>(in.Size()));
    const unsigned char* block = nullptr;
    while (size_t n = in.Next(block)) data.insert(data.end(), block, block + n);
    return data;
}

// Runs work(i) for i below `count` on up to `threads` threads; the first failure is raised.
void ForEachIndex(size_t count, unsigned threads, const std::function<void(size_t)>& work) {
    std::atomic<size_t> next{0};
    std::exception_ptr failure;
    std::mutex mutex;
    auto run = [&] {
        for (size_t i; (i = next++) < count;) {
            try {
                work(i);
            } catch (...) {
                std::lock_guard<std::mutex> lock(mutex);
                if (!failure) failure = std::current_exception();
            }
        }
    };
    std::vector<std::thread> workers;
    for (unsigned t = 1; t < threads && t < count; ++t) workers.emplace_back(run);
    run();
    for (std::thread& w : workers) w.join();
    if (failure) std::rethrow_exception(failure);
}

}  // namespace

void TZLBWriter::SaveEntriesUltra(ArchiveSink& sink, std::vector<unsigned char>& directory) const {
    std::vector<UltraEntry> entries(sources_.size());
    ForEachIndex(sources_.size(), Threads, [&](size_t i) {
        const Source& s = sources_[i];
        SourceReader in(s.sourcePath, s.bytes);
        UltraEntry& e = entries[i];
        e.data = ReadAll(in);
        e.crc = static_cast<uint32_t>(crc32(crc32(0, nullptr, 0), e.data.data(), static_cast<uInt>(e.data.size())));
        if (LevelOf(s) <= 0 || e.data.empty()) return;
        uLongf length = compressBound(static_cast<uLong>(e.data.size()));
        e.stream.resize(length);
        if (compress2(e.stream.data(), &length, e.data.data(), static_cast<uLong>(e.data.size()), 9) != Z_OK)
            throw Error("deflate failed");
        e.stream.resize(length);
        // Data that zlib cannot shrink is stored; zopfli would spend long on it for nothing.
        e.compress = e.stream.size() < e.data.size();
        if (!e.compress) e.stream.clear();
    });

    std::vector<TUltraJob> jobs;
    std::vector<size_t> owners;
    for (size_t i = 0; i < entries.size(); ++i)
        if (entries[i].compress) {
            jobs.push_back({entries[i].data.data(), entries[i].data.size(), {}});
            owners.push_back(i);
        }
    CompressUltra(jobs, Threads);
    for (size_t j = 0; j < jobs.size(); ++j)
        if (jobs[j].Stream.size() < entries[owners[j]].stream.size()) entries[owners[j]].stream.swap(jobs[j].Stream);

    for (size_t i = 0; i < sources_.size(); ++i) {
        UltraEntry& e = entries[i];
        TZLBFileEntry entry = NewEntryRecord(sources_[i].name, sources_[i].path, int64_t(e.data.size()));
        entry.Offset = static_cast<int32_t>(sink.Position());
        entry.CRC32 = e.crc;
        entry.Stored = !e.compress;
        const std::vector<unsigned char>& bytes = e.compress ? e.stream : e.data;
        entry.StoredSize = static_cast<int32_t>(bytes.size());
        sink.Write(bytes.data(), bytes.size());
        sink.EndSegment();
        EncodeFileEntry(entry, directory.data() + i * kFileEntrySize);
        e = UltraEntry();  // its memory goes as soon as it is written
    }
}

}  // namespace zub
