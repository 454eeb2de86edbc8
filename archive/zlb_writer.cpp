#include "archive/zlb_writer.h"

#include <algorithm>
#include <set>
#include <thread>
#include <tuple>

#include "archive/folder_walk.h"
#include "archive/zlb_write_stream.h"
#include "base/file.h"

namespace zub {
using namespace zlbwrite;
namespace {

void ListInto(TFolderWalk& walk, const std::string& dir, const std::string& relative, bool recursePaths,
              bool savePaths, std::vector<TFolderFile>& files) {
    const TFolderWalk::TInside inside = walk.Enter(dir);
    for (const TFolderWalk::TEntry& e : walk.List(dir)) {
        std::string full = dir + "\\" + e.Name;
        if (!e.IsFolder) {
            files.push_back({full, savePaths ? relative : std::string(), e.Name});
        } else if (recursePaths) {
            ListInto(walk, full, relative.empty() ? e.Name : relative + "\\" + e.Name, recursePaths, savePaths,
                     files);
        }
    }
}

std::string EntryKey(const std::string& path, const std::string& name) {
    std::string folder = CollapseBackslashes(path);
    return LowerAscii(folder.empty() ? name : folder + "\\" + name);
}

}  // namespace

std::vector<TFolderFile> ListFolderFiles(const std::string& folder, bool recursePaths, bool savePaths) {
    TFolderWalk walk(folder);
    return ListFolderFiles(walk, folder, recursePaths, savePaths);
}

std::vector<TFolderFile> ListFolderFiles(TFolderWalk& walk, const std::string& folder, bool recursePaths,
                                         bool savePaths) {
    std::string dir = folder;
    while (dir.size() > 1 && (dir.back() == '\\' || dir.back() == '/')) dir.pop_back();
    std::vector<TFolderFile> files;
    // A folder that is not there has no files; a link to nothing is named.
    if (!fs::DirectoryExists(dir) && !fs::IsLink(dir)) return files;
    ListInto(walk, dir, "", recursePaths, savePaths, files);
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
