#include "archive/zlb_archive.h"

#include <zlib.h>

#include <algorithm>
#include <climits>
#include <cstring>
#include <optional>

#include "archive/zlb_archive_source.h"
#include "base/error.h"
#include "base/file.h"
#include "base/strings.h"

namespace zub {
using namespace zlbread;
namespace {

constexpr const char* kArchiveNotFound = "Archive file not found";
constexpr const char* kUnableToOpen = "Unable to open file (%s)";
constexpr const char* kArchiveCorrupted = "The archive file appears to be corrupted";
constexpr const char* kUnableToReadList = "Unable to read archive file list";
constexpr const char* kNoArchiveOpen = "No archive is currently open";
constexpr const char* kIndexOutOfBounds = "Index out of bounds";
constexpr const char* kUnableToCreatePath = "Unable to create destination path";
constexpr const char* kFileCorrupt = "File (%d) is corrupt";

// Deflate cannot expand its input more than about 1032 times, so a compressed
// directory claiming more than that per stored byte cannot be genuine.
constexpr int64_t kMaxDeflateRatio = 1032;

Error EntryCorrupt(int index) { return Error(Format(kFileCorrupt, index)); }

bool EntryFitsArchive(const TZLBFileEntry& e, int64_t bodySize) {
    if (e.UnpackedSize < 0 || e.StoredSize < 0 || e.Offset < 0) return false;
    if (int64_t(e.Offset) + e.StoredSize > bodySize) return false;
    return !e.Stored || e.UnpackedSize <= e.StoredSize;
}

// Up to `count` bytes of the entry; a failure to read makes it corrupt.
template <class Reader>
size_t Obtain(Reader& reader, unsigned char* out, size_t count, int index) {
    try {
        return reader.Obtain(out, count);
    } catch (...) {
        throw EntryCorrupt(index);
    }
}

// Starts the entry's data again and inflates, one piece per call, the
// `count` bytes that have been counted already.
template <class Reader>
void SkipPieces(Reader& reader, const TZLBFileEntry& entry, int64_t count, int index) {
    try {
        reader.Start(entry.Offset, entry.StoredSize, entry.Stored);
    } catch (...) {
        throw EntryCorrupt(index);
    }
    for (int64_t at = 0; at < count; at += int64_t(kPieceSize)) {
        const size_t want = static_cast<size_t>(std::min<int64_t>(count - at, int64_t(kPieceSize)));
        if (Obtain(reader, reader.Piece(), want, index) < want || reader.Damaged()) throw EntryCorrupt(index);
    }
}

// Writes the output's buffer; a failure to write makes the entry corrupt.
void Flush(fs::BufferedWriter& output, int index) {
    try {
        output.Flush();
    } catch (...) {
        throw EntryCorrupt(index);
    }
}

}  // namespace

int ProgressPercentage(int64_t done, int64_t total) {
    if (total <= 0) return 0;
    int64_t scaled = done * 100;
    int64_t quotient = scaled / total;
    int64_t twice = (scaled % total) * 2;
    if (twice > total || (twice == total && quotient % 2 != 0)) ++quotient;
    return static_cast<int>(quotient);
}

TZLBArchive::~TZLBArchive() {
    destroying_ = true;
    CloseArchive();
}

bool TZLBArchive::OpenArchive(const std::string& fileName) { return Open(fileName, nullptr, 0); }

bool TZLBArchive::OpenArchiveInMemory(const std::string& fileName, const unsigned char* data, size_t size) {
    return Open(fileName, data != nullptr ? data : reinterpret_cast<const unsigned char*>(""), size);
}

bool TZLBArchive::Open(const std::string& fileName, const unsigned char* data, size_t size) {
    CloseArchive();
    archiveFileName_ = fileName;
    if (fileName.empty()) return false;
    if (!fs::FileExists(fileName)) throw Error(kArchiveNotFound);
    fs::File file;
    std::optional<Source> source;
    if (data) {
        source.emplace(data, size);
    } else {
        file = fs::File::OpenRead(fileName);
        if (!file.IsOpen()) throw Error(Format(kUnableToOpen, fileName.c_str()));
        source.emplace(file);
    }

    const int64_t fileSize = source->Size();
    const uint32_t crc = source->Crc(kTrailerSize);
    TrailerBytes bytes{};
    bool haveTrailer = false;
    if (fileSize >= int64_t(kTrailerSize)) {
        source->Seek(fileSize - int64_t(kTrailerSize));
        haveTrailer = source->Read(bytes.data(), bytes.size()) == bytes.size();
    }
    trailer_ = DecodeTrailer(bytes);
    // A file too short for a trailer is refused too: its empty body has CRC 0
    // and would otherwise match an all-zero trailer.
    if (!haveTrailer || crc != trailer_.ArchiveCRC) {
        archiveFileName_.clear();
        trailer_ = TZLBTrailer();
        throw Error(kArchiveCorrupted);
    }

    try {
        LoadDirectory(*source, fileSize);
        if (OnArchiveOpened) OnArchiveOpened(*this);
    } catch (...) {
        file.Close();
        CloseArchive();
        throw Error(kUnableToReadList);
    }
    file.Close();
    memory_ = data;
    memorySize_ = size;
    progressPhase_ = kPhaseIdle;
    DoProgress();
    return true;
}

// Reads the directory described by the trailer. The trailer lies outside the
// CRC, so every field of it is checked against the file before use, and
// memory grows only with the bytes actually obtained.
void TZLBArchive::LoadDirectory(Source& source, int64_t fileSize) {
    const TZLBTrailer& t = trailer_;
    const int64_t bodySize = fileSize - int64_t(kTrailerSize);
    const int64_t directoryBytes = int64_t(t.FileCount) * int64_t(kFileEntrySize);
    if (t.FileCount < 0 || directoryBytes > INT32_MAX) throw Error(kUnableToReadList);
    if (t.DirectoryOffset < 0 || t.DirectoryOffset > bodySize) throw Error(kUnableToReadList);
    const int64_t available = bodySize - t.DirectoryOffset;

    std::vector<unsigned char> directory;
    if (t.DirectoryCompressed) {
        if (directoryBytes > available * kMaxDeflateRatio) throw Error(kUnableToReadList);
        EntryReader reader(source);
        reader.Start(t.DirectoryOffset, available, false);
        SetProgress(kPhaseDirectory, directoryBytes, "Extracting archive registry");
        while (int64_t(directory.size()) < directoryBytes) {
            size_t piece = static_cast<size_t>(
                std::min<int64_t>(directoryBytes - int64_t(directory.size()), int64_t(kPieceSize)));
            size_t got = reader.Obtain(reader.Piece(), piece);
            if (reader.Damaged()) throw Error(kUnableToReadList);
            directory.insert(directory.end(), reader.Piece(), reader.Piece() + got);
            progressDone_ += int64_t(got);
            DoProgress();
            if (got < piece) throw Error(kUnableToReadList);
        }
    } else {
        if (directoryBytes > available) throw Error(kUnableToReadList);
        directory.resize(static_cast<size_t>(directoryBytes));
        source.Seek(t.DirectoryOffset);
        if (!directory.empty() && source.Read(directory.data(), directory.size()) != directory.size())
            throw Error(kUnableToReadList);
    }

    entries_.reserve(static_cast<size_t>(t.FileCount));
    for (size_t pos = 0; pos < directory.size(); pos += kFileEntrySize)
        entries_.push_back(DecodeFileEntry(directory.data() + pos, directory.size() - pos));
}

void TZLBArchive::CloseArchive() {
    entries_.clear();
    memory_ = nullptr;
    memorySize_ = 0;
    trailer_ = TZLBTrailer();
    archiveFileName_.clear();
    progressPhase_ = kPhaseIdle;
    DoProgress();
}

int TZLBArchive::GetFileCount() const {
    if (archiveFileName_.empty()) throw Error(kNoArchiveOpen);
    return static_cast<int>(entries_.size());
}

void TZLBArchive::GetFileEntry(int index, TZLBFileEntry& entry) const {
    if (index < 0 || size_t(index) >= entries_.size()) throw Error(kIndexOutOfBounds);
    entry = entries_[size_t(index)];
}

TZLBFileEntry TZLBArchive::GetFileEntry(int index) const {
    TZLBFileEntry entry;
    GetFileEntry(index, entry);
    return entry;
}

void TZLBArchive::ExtractArchive(const std::string& folder) {
    if (archiveFileName_.empty()) throw Error(kNoArchiveOpen);
    if (memory_) {
        Source source(memory_, memorySize_);
        ExtractEntries(source, folder);
        return;
    }
    fs::File file = fs::File::OpenRead(archiveFileName_);
    if (!file.IsOpen()) throw Error(Format(kUnableToOpen, archiveFileName_.c_str()));
    try {
        Source source(file);
        ExtractEntries(source, folder);
    } catch (...) {
        file.Close();
        throw;
    }
    file.Close();
}

// Extracts every entry, then reports the idle phase, also after a failure.
void TZLBArchive::ExtractEntries(Source& source, const std::string& folder) {
    try {
        const int64_t bodySize = source.Size() - int64_t(kTrailerSize);
        EntryReader reader(source);
        // The folder is made even for an archive without entries. Each entry
        // makes its own folder; the last folder known to exist is not asked
        // for again, which saves the system calls of several checks per file.
        std::string knownDir;
        if (!folder.empty()) {
            const std::string top = CollapseBackslashes(folder);
            if (fs::ForceDirectories(top)) knownDir = top;
        }
        const int count = GetFileCount();
        for (int i = 0; i < count; ++i) ExtractEntry(i, folder, reader, bodySize, knownDir);
    } catch (...) {
        progressPhase_ = kPhaseIdle;
        DoProgress();
        throw;
    }
    progressPhase_ = kPhaseIdle;
    DoProgress();
}

void TZLBArchive::ExtractEntry(int index, const std::string& folder, EntryReader& reader, int64_t bodySize,
                               std::string& knownDir) {
    const TZLBFileEntry entry = GetFileEntry(index);
    // Checked before anything is made, so a damaged record never creates a
    // folder or file, least of all outside the extraction folder.
    if (!EntryFitsArchive(entry, bodySize) || EntryNameProblem(entry, ExtractWithPath) != TNameProblem::None)
        throw EntryCorrupt(index);

    auto onDisk = [&](const std::string& name) { return DiskName ? DiskName(name) : name; };
    const std::string dir = CollapseBackslashes(ExtractWithPath ? folder + onDisk(entry.Path) : folder);
    if (folder.empty() || dir.empty()) throw Error(kUnableToCreatePath);
    if (dir != knownDir) {
        if (!fs::ForceDirectories(dir)) throw Error(kUnableToCreatePath);
        knownDir = dir;
    }

    const std::string target = dir + "\\" + onDisk(entry.Name);
    // Only a handler can keep an existing file; without one there is nothing to ask.
    if (OnReplaceFile && fs::FileExists(target)) {
        bool replace = false;
        OnReplaceFile(target, replace);
        if (!replace) return;
    }

    fs::File out = fs::File::Create(target);
    SetProgress(kPhaseExtracting, entry.UnpackedSize, Format("Extracting %s", entry.Name.c_str()));
    uLong crc = crc32(0, nullptr, 0);
    {
        // A multiple of the piece size, or the whole entry when it is smaller.
        size_t capacity = static_cast<size_t>(std::min<int64_t>(entry.UnpackedSize, int64_t(kMaxWriteBuffer)));
        // Data is inflated straight into its buffer and counted in with
        // Commit; only committed bytes are written, also when a failure
        // unwinds (the destructor's flush swallows errors).
        fs::BufferedWriter output(out, std::max<size_t>(capacity, 1));
        try {
            reader.Start(entry.Offset, entry.StoredSize, entry.Stored);
        } catch (...) {
            throw EntryCorrupt(index);
        }
        // Data goes straight into the output buffer in chunks of whole pieces
        // and is counted piece by piece. Where zlib finds a stream damaged
        // depends on where its calls end, so a chunk that meets damage is
        // inflated again one piece per call from the entry's start, as the
        // reader always has: the same pieces are reported, written and lost.
        int64_t remaining = entry.UnpackedSize;
        int64_t committed = 0;
        while (remaining > 0) {
            if (output.Room() == 0) Flush(output, index);
            const size_t chunk = static_cast<size_t>(std::min<int64_t>(remaining, int64_t(output.Room())));
            unsigned char* data = output.Space(chunk);
            const size_t produced = Obtain(reader, data, chunk, index);
            const bool piecewise = reader.Damaged();
            if (piecewise) SkipPieces(reader, entry, committed, index);
            for (size_t at = 0; at < chunk; at += kPieceSize) {
                const size_t want = std::min(chunk - at, kPieceSize);
                size_t got = std::min(want, produced - std::min(produced, at));
                if (piecewise) {
                    got = Obtain(reader, data + at, want, index);
                    if (reader.Damaged()) throw EntryCorrupt(index);  // the piece is lost
                }
                progressDone_ += int64_t(got);
                DoProgress();
                output.Commit(got);
                if (got < want) throw EntryCorrupt(index);  // the data ends early
                if (CheckCRC) crc = crc32(crc, data + at, static_cast<uInt>(got));
                remaining -= int64_t(want);
                committed += int64_t(want);
            }
        }
        Flush(output, index);
    }
    // The CRC of what was written, taken on the way instead of reading the file back.
    if (CheckCRC && uint32_t(crc) != entry.CRC32) throw EntryCorrupt(index);
    out.Close();
    if (OnFileExtracted) OnFileExtracted(folder + entry.Name);
}

uint32_t TZLBArchive::ComputeStreamCRC(fs::File& stream, int64_t leaveOut) {
    const int64_t position = stream.Position();
    stream.Seek(0);
    int64_t left = stream.Size() - leaveOut;
    uLong crc = crc32(0, nullptr, 0);
    std::vector<unsigned char> block(static_cast<size_t>(std::clamp<int64_t>(left, 0, int64_t(kCrcBlockSize))));
    while (left > 0) {
        size_t want = static_cast<size_t>(std::min<int64_t>(left, int64_t(block.size())));
        size_t got = stream.Read(block.data(), want);
        crc = crc32(crc, block.data(), static_cast<uInt>(got));
        left -= int64_t(want);
        if (got < want) break;
    }
    stream.Seek(position);
    return static_cast<uint32_t>(crc);
}

void TZLBArchive::SetProgress(int phase, int64_t total, std::string message) {
    progressPhase_ = phase;
    progressTotal_ = total;
    progressDone_ = 0;
    progressMessage_ = std::move(message);
}

void TZLBArchive::DoProgress() {
    if (destroying_ || !OnProgress) return;
    if (progressPhase_ == kPhaseDirectory || progressPhase_ == kPhaseExtracting)
        OnProgress(progressMessage_, ProgressPercentage(progressDone_, progressTotal_));
    else if (progressPhase_ == kPhaseIdle)
        OnProgress(archiveFileName_, 0);
}

}  // namespace zub
