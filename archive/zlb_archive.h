// TZLBArchive: reads archives of the format in zlb_format.h. It opens an
// archive, checks its CRC, loads the directory and extracts every entry into
// a folder. The archive file is open only inside OpenArchive and
// ExtractArchive, so it can be deleted right after CloseArchive.
//
// Every failure raises zub::Error with one of the fixed texts:
//   "Archive file not found", "Unable to open file (%s)",
//   "The archive file appears to be corrupted", "Unable to read archive file list",
//   "No archive is currently open", "Index out of bounds",
//   "Unable to create destination path", "File (%d) is corrupt".
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "archive/zlb_format.h"

namespace zub {

namespace fs {
class File;
}

class TZLBArchive {
public:
    using TReplaceFileEvent = std::function<void(const std::string& fileName, bool& replace)>;
    using TFileExtractedEvent = std::function<void(const std::string& fileName)>;
    using TNotifyEvent = std::function<void(TZLBArchive& sender)>;
    using TErrorLogEvent = std::function<void(const std::string& msg)>;
    using TProgressEvent = std::function<void(const std::string& msg, int percentage)>;

    // Values of ProgressPhase; 2 to 4 belong to writing.
    static constexpr int kPhaseDirectory = 0;
    static constexpr int kPhaseExtracting = 1;
    static constexpr int kPhaseIdle = 5;

    TZLBArchive() = default;
    ~TZLBArchive();
    TZLBArchive(const TZLBArchive&) = delete;
    TZLBArchive& operator=(const TZLBArchive&) = delete;

    // Opens, verifies and loads an archive. False only for an empty name;
    // raises on every failure.
    bool OpenArchive(const std::string& fileName);
    void CloseArchive();

    int GetFileCount() const;
    void GetFileEntry(int index, TZLBFileEntry& entry) const;
    TZLBFileEntry GetFileEntry(int index) const;

    // Extracts every entry into `folder` (normally ending in a backslash).
    void ExtractArchive(const std::string& folder);

    // CRC-32 of the stream from its start up to `leaveOut` bytes before its
    // end; the stream's position is restored.
    static uint32_t ComputeStreamCRC(fs::File& stream, int64_t leaveOut);

    // Fires OnProgress for the current phase.
    void DoProgress();

    const std::string& ArchiveFileName() const { return archiveFileName_; }
    const TZLBTrailer& Trailer() const { return trailer_; }
    int ProgressPhase() const { return progressPhase_; }
    const std::string& ProgressMessage() const { return progressMessage_; }
    int64_t ProgressTotal() const { return progressTotal_; }
    int64_t ProgressDone() const { return progressDone_; }

    // Properties; CompressionLevel, SavePaths and RecursePaths matter only
    // when writing (TZLBWriter).
    TFileCompressionLevel CompressionLevel = fcDefault;
    bool ExtractWithPath = false;  // append each entry's Path to the folder
    bool CheckCRC = false;         // verify each extracted file against its CRC32
    bool SavePaths = false;
    bool RecursePaths = false;

    TReplaceFileEvent OnReplaceFile;     // asked before an existing file is overwritten
    TFileExtractedEvent OnFileExtracted; // folder as passed + entry name
    TFileExtractedEvent OnStreamExtracted;
    TNotifyEvent OnArchiveOpened;        // the directory has been loaded
    TErrorLogEvent OnErrorLogged;
    TProgressEvent OnProgress;
    // Turns an entry's Name and Path into the names used on disk (the
    // archive holds Windows-1252); unset, they are used unchanged.
    std::function<std::string(const std::string& name)> DiskName;

private:
    class EntryReader;

    void LoadDirectory(fs::File& file, int64_t fileSize);
    void ExtractEntry(int index, const std::string& folder, EntryReader& reader, int64_t bodySize);
    void SetProgress(int phase, int64_t total, std::string message);

    std::string archiveFileName_;
    TZLBTrailer trailer_;
    std::vector<TZLBFileEntry> entries_;
    int progressPhase_ = kPhaseIdle;
    std::string progressMessage_;
    int64_t progressTotal_ = 0;
    int64_t progressDone_ = 0;
    bool destroying_ = false;
};

// The percentage done of total, rounded to the nearest integer, ties to even;
// 0 when total is not positive.
int ProgressPercentage(int64_t done, int64_t total);

}  // namespace zub
