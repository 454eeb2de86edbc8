#include "archive/zlb_writer.h"

#include <zlib.h>

#include <algorithm>
#include <atomic>
#include <climits>
#include <condition_variable>
#include <exception>
#include <functional>
#include <memory>
#include <mutex>
#include <set>
#include <thread>
#include <tuple>

#include "archive/ultra_deflate.h"
#include "base/error.h"
#include "base/file.h"
#include "base/strings.h"

namespace zub {
namespace {

constexpr size_t kReadBlockSize = 256 * 1024;
constexpr size_t kDeflateOutSize = 64 * 1024;
constexpr int64_t kMaxArchiveSize = INT32_MAX;
// Entries that may be compressed ahead of the one being written.
constexpr size_t kPackWindow = 256;

Error TooLarge() { return Error("The archive would be larger than 2147483647 bytes"); }

// Reads the data of one source from its start, in blocks.
class SourceReader {
public:
    SourceReader(const std::string& sourcePath, const std::vector<unsigned char>& bytes)
        : sourcePath_(sourcePath), bytes_(bytes) {
        if (sourcePath_.empty()) {
            size_ = int64_t(bytes_.size());
        } else {
            file_ = fs::File::OpenRead(sourcePath_);
            if (!file_.IsOpen()) throw Error(Format("Unable to open file (%s)", sourcePath_.c_str()));
            size_ = file_.Size();
            block_.resize(static_cast<size_t>(std::clamp<int64_t>(size_, 1, int64_t(kReadBlockSize))));
        }
        if (size_ > INT32_MAX) throw Error(Format("File too large for the archive: %s", sourcePath_.c_str()));
        left_ = size_;
    }

    int64_t Size() const { return size_; }

    void Rewind() {
        left_ = size_;
        if (file_.IsOpen()) file_.Seek(0);
    }

    // The next block of data; 0 at the end. Raises when the file has become
    // shorter than it was when opened.
    size_t Next(const unsigned char*& data) {
        if (left_ <= 0) return 0;
        if (sourcePath_.empty()) {
            data = bytes_.data();
            left_ = 0;
            return bytes_.size();
        }
        size_t want = static_cast<size_t>(std::min<int64_t>(left_, int64_t(block_.size())));
        size_t got = file_.Read(block_.data(), want);
        if (got < want) throw Error(Format("Unable to read file (%s)", sourcePath_.c_str()));
        left_ -= int64_t(got);
        data = block_.data();
        return got;
    }

private:
    const std::string& sourcePath_;
    const std::vector<unsigned char>& bytes_;
    fs::File file_;
    std::vector<unsigned char> block_;
    int64_t size_ = 0;
    int64_t left_ = 0;
};

}  // namespace

// The archive output. It keeps the CRC of everything written by segments
// (one per entry, combined with crc32_combine), so that an entry whose
// compressed form turned out too big can be written again as stored data.
class ArchiveSink {
public:
    explicit ArchiveSink(fs::File& file) : file_(file), writer_(file) {}

    int64_t Position() const { return position_; }

    // `knownCrc` says the caller will hand the segment's CRC to EndSegment.
    void Write(const void* data, size_t count, bool knownCrc = false) {
        if (position_ + int64_t(count) > kMaxArchiveSize) throw TooLarge();
        writer_.Write(data, count);
        if (!knownCrc) segmentCrc_ = crc32(segmentCrc_, static_cast<const Bytef*>(data), static_cast<uInt>(count));
        position_ += int64_t(count);
    }

    // Goes back to the start of the current segment, forgetting its bytes.
    void RestartSegment() {
        writer_.Flush();
        file_.Seek(segmentStart_);
        position_ = segmentStart_;
        segmentCrc_ = crc32(0, nullptr, 0);
    }

    void EndSegment() { EndSegment(segmentCrc_); }
    void EndSegment(uLong segmentCrc) {
        crc_ = crc32_combine(crc_, segmentCrc, static_cast<z_off_t>(position_ - segmentStart_));
        segmentStart_ = position_;
        segmentCrc_ = crc32(0, nullptr, 0);
    }

    // CRC of all ended segments.
    uint32_t Crc() const { return static_cast<uint32_t>(crc_); }

    void Flush() { writer_.Flush(); }

private:
    fs::File& file_;
    fs::BufferedWriter writer_;
    int64_t position_ = 0;
    int64_t segmentStart_ = 0;
    uLong segmentCrc_ = crc32(0, nullptr, 0);
    uLong crc_ = crc32(0, nullptr, 0);
};

namespace {

class Deflater {
public:
    explicit Deflater(int level) {
        if (deflateInit(&zs_, level) != Z_OK) throw Error("Out of memory for the deflater");
    }
    ~Deflater() { deflateEnd(&zs_); }
    Deflater(const Deflater&) = delete;
    Deflater& operator=(const Deflater&) = delete;
    z_stream& Stream() { return zs_; }

private:
    z_stream zs_{};
};

// Writes the source as a zlib stream while it stays smaller than the data.
// Returns false as soon as it cannot be smaller; nothing beyond
// UnpackedSize - 1 bytes has been written then, so the stored data written
// over it leaves no stale bytes behind.
template <class Sink>
bool TryDeflate(SourceReader& in, Sink& sink, int level, TZLBFileEntry& entry) {
    Deflater deflater(level);
    z_stream& zs = deflater.Stream();
    std::vector<unsigned char> out(kDeflateOutSize);
    const int64_t rawSize = in.Size();
    int64_t written = 0;
    uLong crc = crc32(0, nullptr, 0);

    auto drain = [&](int flush) {
        do {
            zs.next_out = out.data();
            zs.avail_out = static_cast<uInt>(out.size());
            if (deflate(&zs, flush) == Z_STREAM_ERROR) throw Error("deflate failed");
            size_t have = out.size() - zs.avail_out;
            if (written + int64_t(have) >= rawSize) return false;
            sink.Write(out.data(), have);
            written += int64_t(have);
        } while (zs.avail_out == 0);
        return true;
    };

    const unsigned char* data = nullptr;
    while (size_t n = in.Next(data)) {
        crc = crc32(crc, data, static_cast<uInt>(n));
        zs.next_in = const_cast<Bytef*>(data);
        zs.avail_in = static_cast<uInt>(n);
        if (!drain(Z_NO_FLUSH)) return false;
    }
    if (!drain(Z_FINISH)) return false;
    entry.StoredSize = static_cast<int32_t>(written);
    entry.CRC32 = static_cast<uint32_t>(crc);
    entry.Stored = false;
    return true;
}

void CopyStored(SourceReader& in, ArchiveSink& sink, TZLBFileEntry& entry) {
    uLong crc = crc32(0, nullptr, 0);
    const unsigned char* data = nullptr;
    while (size_t n = in.Next(data)) {
        crc = crc32(crc, data, static_cast<uInt>(n));
        sink.Write(data, n, true);
    }
    entry.StoredSize = entry.UnpackedSize;
    entry.CRC32 = static_cast<uint32_t>(crc);
    entry.Stored = true;
    // Stored bytes are the data itself, so their CRC is the entry's.
    sink.EndSegment(crc);
}

// Packs one entry at the sink's position and returns its directory record.
TZLBFileEntry EncodeEntry(const std::string& name, const std::string& path, SourceReader& in,
                          ArchiveSink& sink, int level) {
    TZLBFileEntry entry;
    entry.Name = name;
    entry.Path = path;
    entry.UnpackedSize = static_cast<int32_t>(in.Size());
    entry.Offset = static_cast<int32_t>(sink.Position());
    const bool tryDeflate = level > 0 && in.Size() > 0;
    if (!tryDeflate || !TryDeflate(in, sink, level, entry)) {
        if (tryDeflate) {
            sink.RestartSegment();
            in.Rewind();
        }
        CopyStored(in, sink, entry);
    } else {
        sink.EndSegment();
    }
    return entry;
}

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

void ListInto(const std::string& dir, const std::string& relative, bool recursePaths, bool savePaths,
              std::vector<TFolderFile>& files) {
    for (const fs::DirEntry& e : fs::ListDirectory(dir)) {
        std::string full = dir + "\\" + e.name;
        if (!e.isDirectory) {
            files.push_back({full, savePaths ? relative : std::string(), e.name});
        } else if (recursePaths) {
            ListInto(full, relative.empty() ? e.name : relative + "\\" + e.name, recursePaths, savePaths, files);
        }
    }
}

std::string EntryKey(const std::string& path, const std::string& name) {
    std::string folder = CollapseBackslashes(path);
    return LowerAscii(folder.empty() ? name : folder + "\\" + name);
}

}  // namespace

std::vector<TFolderFile> ListFolderFiles(const std::string& folder, bool recursePaths, bool savePaths) {
    std::string dir = folder;
    while (dir.size() > 1 && (dir.back() == '\\' || dir.back() == '/')) dir.pop_back();
    std::vector<TFolderFile> files;
    ListInto(dir, "", recursePaths, savePaths, files);
    std::sort(files.begin(), files.end(), [](const TFolderFile& a, const TFolderFile& b) {
        return std::tie(a.Folder, a.Name) < std::tie(b.Folder, b.Name);
    });
    return files;
}

void TZLBWriter::Add(Source source) {
    if (source.name.size() > kMaxNameLength || !IsValidEntryName(source.name))
        throw Error("Invalid archive entry name: " + source.name);
    if (source.path.size() > kMaxNameLength || !IsValidEntryPath(source.path))
        throw Error("Invalid archive entry path: " + source.path);
    sources_.push_back(std::move(source));
}

void TZLBWriter::AddFile(const std::string& sourcePath, const std::string& name, const std::string& path,
                         std::optional<TFileCompressionLevel> level) {
    if (sourcePath.empty()) throw Error("No source file given for " + name);
    Add({name, path, sourcePath, {}, level});
}

void TZLBWriter::AddBuffer(const std::string& name, std::vector<unsigned char> bytes, const std::string& path) {
    if (bytes.size() > size_t(INT32_MAX)) throw TooLarge();
    Add({name, path, std::string(), std::move(bytes), std::nullopt});
}

void TZLBWriter::AddFolder(const std::string& folder) {
    for (const TFolderFile& file : ListFolderFiles(folder, RecursePaths, SavePaths))
        AddFile(file.SourcePath, file.Name, file.Folder);
}

unsigned TZLBWriter::DefaultThreads() { return std::max(1u, std::thread::hardware_concurrency()); }

int TZLBWriter::LevelOf(const Source& source) const {
    return ZlibLevelOf(source.level ? *source.level : CompressionLevel);
}

void TZLBWriter::SaveEntriesInline(ArchiveSink& sink, std::vector<unsigned char>& directory) const {
    for (size_t i = 0; i < sources_.size(); ++i) {
        const Source& s = sources_[i];
        SourceReader in(s.sourcePath, s.bytes);
        TZLBFileEntry entry = EncodeEntry(s.name, s.path, in, sink, LevelOf(s));
        EncodeFileEntry(entry, directory.data() + i * kFileEntrySize);
    }
}

// Workers compress the entries into spools; this thread writes them in order,
// as EncodeEntry would have, so the bytes do not depend on the threads.
void TZLBWriter::SaveEntriesParallel(ArchiveSink& sink, std::vector<unsigned char>& directory,
                                     const std::string& outPath) const {
    MemoryBudget budget(SpoolMemory);
    auto pack = [&](size_t i, PackJob& job) {
        const Source& s = sources_[i];
        SourceReader in(s.sourcePath, s.bytes);
        job.entry.Name = s.name;
        job.entry.Path = s.path;
        job.entry.UnpackedSize = static_cast<int32_t>(in.Size());
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
        TZLBFileEntry entry;
        entry.Name = sources_[i].name;
        entry.Path = sources_[i].path;
        entry.UnpackedSize = static_cast<int32_t>(e.data.size());
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

void TZLBWriter::Save(const std::string& outPath) {
    std::set<std::string> keys;
    for (const Source& s : sources_)
        if (!keys.insert(EntryKey(s.path, s.name)).second)
            throw Error("Duplicate archive entry: " + EntryKey(s.path, s.name));

    const int level = ZlibLevelOf(CompressionLevel);
    fs::File out = fs::File::Create(outPath);
    ArchiveSink sink(out);

    std::vector<unsigned char> directory(sources_.size() * kFileEntrySize);
    if (Ultra)
        SaveEntriesUltra(sink, directory);
    else if (Threads > 1 && sources_.size() > 1)
        SaveEntriesParallel(sink, directory, outPath);
    else
        SaveEntriesInline(sink, directory);

    TZLBTrailer trailer;
    trailer.FileCount = static_cast<int32_t>(sources_.size());
    trailer.Reserved = 1;
    trailer.DirectoryOffset = static_cast<int32_t>(sink.Position());
    trailer.DirectoryCompressed = DirectoryCompressed;
    if (DirectoryCompressed) {
        uLongf length = compressBound(static_cast<uLong>(directory.size()));
        std::vector<unsigned char> packed(length);
        int directoryLevel = level > 0 ? level : Z_DEFAULT_COMPRESSION;
        if (compress2(packed.data(), &length, directory.data(), static_cast<uLong>(directory.size()),
                      directoryLevel) != Z_OK)
            throw Error("Unable to compress the archive file list");
        sink.Write(packed.data(), length);
        trailer.DirectorySize = static_cast<int32_t>(length);
    } else {
        sink.Write(directory.data(), directory.size());
        trailer.DirectorySize = static_cast<int32_t>(directory.size());
    }
    sink.EndSegment();
    trailer.ArchiveCRC = sink.Crc();
    TrailerBytes bytes = EncodeTrailer(trailer);
    sink.Write(bytes.data(), bytes.size());
    sink.Flush();
    out.Close();
}

}  // namespace zub
