#include "archive/zlb_writer.h"

#include <zlib.h>

#include <algorithm>
#include <climits>
#include <set>
#include <tuple>

#include "base/error.h"
#include "base/file.h"
#include "base/strings.h"

namespace zub {
namespace {

constexpr size_t kReadBlockSize = 256 * 1024;
constexpr size_t kDeflateOutSize = 64 * 1024;
constexpr int64_t kMaxArchiveSize = INT32_MAX;

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
bool TryDeflate(SourceReader& in, ArchiveSink& sink, int level, TZLBFileEntry& entry) {
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

void TZLBWriter::Save(const std::string& outPath) {
    std::set<std::string> keys;
    for (const Source& s : sources_)
        if (!keys.insert(EntryKey(s.path, s.name)).second)
            throw Error("Duplicate archive entry: " + EntryKey(s.path, s.name));

    const int level = ZlibLevelOf(CompressionLevel);
    fs::File out = fs::File::Create(outPath);
    ArchiveSink sink(out);

    std::vector<unsigned char> directory(sources_.size() * kFileEntrySize);
    for (size_t i = 0; i < sources_.size(); ++i) {
        const Source& s = sources_[i];
        SourceReader in(s.sourcePath, s.bytes);
        const int entryLevel = s.level ? ZlibLevelOf(*s.level) : level;
        TZLBFileEntry entry = EncodeEntry(s.name, s.path, in, sink, entryLevel);
        EncodeFileEntry(entry, directory.data() + i * kFileEntrySize);
    }

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
