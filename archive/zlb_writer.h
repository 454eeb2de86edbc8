// TZLBWriter: makes archives of the format in zlb_format.h, the side the
// authoring tool needs. Entries are packed one after the other from offset 0
// in the order they were added, then the directory, then the trailer.
// Output is deterministic: the same inputs give the same bytes.
//
// Data is streamed: sources are read in blocks, so memory does not grow with
// the size of an entry. With Threads above 1 several entries are compressed
// at once, each still one zlib stream: their compressed bytes wait in a
// shared, bounded memory budget (beyond it in temporary files beside the
// output) until they are written in order. The bytes are the same for every
// number of threads.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "archive/zlb_format.h"

namespace zub {

// One file found by ListFolderFiles.
struct TFolderFile {
    std::string SourcePath;  // the file on disk
    std::string Folder;      // relative folder ("sub\deeper"), "" for the top
    std::string Name;        // file name
};

class TFolderWalk;

// The files of `folder`, descending into sub-folders when `recursePaths` is
// set; with `savePaths` each file's relative folder is kept in Folder,
// otherwise Folder is empty. Sorted bytewise by (Folder, Name), so the
// result does not depend on the order the system lists entries in. Links
// are followed as long as they lead to a place inside `folder`, or inside
// the root of `walk` (archive/folder_walk.h); any other raises zub::Error.
std::vector<TFolderFile> ListFolderFiles(const std::string& folder, bool recursePaths, bool savePaths);
std::vector<TFolderFile> ListFolderFiles(TFolderWalk& walk, const std::string& folder, bool recursePaths,
                                         bool savePaths);

class ArchiveSink;  // the output of Save, internal to the writer

class TZLBWriter {
public:
    TFileCompressionLevel CompressionLevel = fcDefault;
    bool DirectoryCompressed = true;
    bool SavePaths = false;     // AddFolder records relative folders in Path
    bool RecursePaths = false;  // AddFolder descends into sub-folders
    // Entries compressed at the same time; 1 packs on the calling thread only.
    unsigned Threads = DefaultThreads();
    // Memory for compressed entries waiting their turn; beyond it they wait
    // in temporary files beside the output.
    int64_t SpoolMemory = 32 * 1024 * 1024;
    // Every entry that is compressed at all is compressed with zopfli (see
    // archive/ultra_deflate.h) instead of zlib, or with zlib's best level
    // where that happens to be shorter: still one zlib stream per entry. The
    // entries are held in memory while the archive is made.
    bool Ultra = false;

    // The number of hardware threads, at least 1.
    static unsigned DefaultThreads();

    // Adds a file from disk; it is read when the archive is saved. Raises
    // zub::Error for a name or path the format cannot carry safely.
    // `level` overrides CompressionLevel for this entry (fcNone stores it).
    void AddFile(const std::string& sourcePath, const std::string& name, const std::string& path = "",
                 std::optional<TFileCompressionLevel> level = std::nullopt);
    void AddBuffer(const std::string& name, std::vector<unsigned char> bytes, const std::string& path = "");
    // Adds the files of a folder as ListFolderFiles lists them.
    void AddFolder(const std::string& folder);

    size_t EntryCount() const { return sources_.size(); }
    void Clear() { sources_.clear(); }

    // Writes the archive. Raises zub::Error for duplicate entries, unreadable
    // sources and archives beyond 2147483647 bytes (the first failing entry
    // in order, whatever the number of threads); on failure the output file
    // is left incomplete and no temporary file is left behind.
    void Save(const std::string& outPath);

private:
    struct Source {
        std::string name;
        std::string path;
        std::string sourcePath;            // empty for a buffer
        std::vector<unsigned char> bytes;  // the data of a buffer
        std::optional<TFileCompressionLevel> level;
    };
    void Add(Source source);
    void SaveEntriesInline(ArchiveSink& sink, std::vector<unsigned char>& directory) const;
    void SaveEntriesParallel(ArchiveSink& sink, std::vector<unsigned char>& directory,
                             const std::string& outPath) const;
    void SaveEntriesUltra(ArchiveSink& sink, std::vector<unsigned char>& directory) const;
    int LevelOf(const Source& source) const;

    std::vector<Source> sources_;
};

}  // namespace zub
