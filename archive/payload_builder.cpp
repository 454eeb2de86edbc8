#include "archive/payload_builder.h"

#include <algorithm>
#include <vector>

#include "archive/folder_walk.h"
#include "archive/payload_layout.h"
#include "archive/zlb_writer.h"
#include "base/error.h"
#include "base/file.h"

namespace zub {
namespace {

// Temporary archives live beside the output and go when the build ends.
class TTemporaryFiles {
public:
    explicit TTemporaryFiles(std::string base) : base_(std::move(base)) {}
    ~TTemporaryFiles() {
        for (const std::string& file : files_) fs::RemoveFile(file);
    }
    std::string Make(const std::string& name) {
        files_.push_back(base_ + "." + std::to_string(files_.size()) + "." + name + ".tmp");
        return files_.back();
    }

private:
    std::string base_;
    std::vector<std::string> files_;
};

std::string EntryNameOf(const TPayloadOptions& options, const std::string& name, const std::string& sourcePath) {
    return options.EntryName ? options.EntryName(name, sourcePath) : name;
}

// The files directly in `folder`, under their entry names.
void AddFolderFiles(TZLBWriter& writer, TFolderWalk& walk, const std::string& folder, const TPayloadOptions& options) {
    for (const TFolderFile& file : ListFolderFiles(walk, folder, false, false))
        writer.AddFile(file.SourcePath, EntryNameOf(options, file.Name, file.SourcePath));
}

// Packs the files of `folder`; each sub-folder becomes a nested "<name>.x"
// entry when `nestFolders` is set, and is left out otherwise.
void PackFolder(TFolderWalk& walk, const std::string& folder, TFileCompressionLevel level, bool nestFolders,
                const std::string& outPath, TTemporaryFiles& temporaries, const TPayloadOptions& options) {
    TZLBWriter writer;
    writer.CompressionLevel = level;
    writer.Ultra = options.Ultra;
    AddFolderFiles(writer, walk, folder, options);
    if (nestFolders) {
        const TFolderWalk::TInside inside = walk.Enter(folder);
        std::vector<std::string> subFolders;
        for (const TFolderWalk::TEntry& entry : walk.List(folder))
            if (entry.IsFolder) subFolders.push_back(entry.Name);
        std::sort(subFolders.begin(), subFolders.end());
        for (const std::string& name : subFolders) {
            std::string nested = temporaries.Make(name + kNestedArchiveExt);
            PackFolder(walk, folder + "\\" + name, level, true, nested, temporaries, options);
            writer.AddFile(nested, EntryNameOf(options, name, folder + "\\" + name) + kNestedArchiveExt);
        }
    }
    writer.Save(outPath);
}

}  // namespace

void BuildPayload(const std::string& projectFolder, const std::string& outPath, const TPayloadOptions& options) {
    std::string project = projectFolder;
    while (!project.empty() && (project.back() == '\\' || project.back() == '/')) project.pop_back();
    if (!fs::FileExists(project + "\\Setup.ini"))
        throw Error("The project folder " + project + " has no Setup.ini");

    // Nothing from outside the project goes in, also not through a link.
    TFolderWalk walk(project);
    TTemporaryFiles temporaries(outPath);
    TZLBWriter payload;
    payload.CompressionLevel = options.Level;
    payload.Ultra = options.Ultra;
    AddFolderFiles(payload, walk, project, options);  // the top-level files: Setup.ini, the program, ...
    for (const auto& [source, name] : options.ExtraFiles) payload.AddFile(source, name);

    std::string gfx = temporaries.Make(kGraphicsArchive);
    PackFolder(walk, project + "\\Graphics", options.Level, false, gfx, temporaries, options);
    payload.AddFile(gfx, kGraphicsArchive);
    if (fs::DirectoryExists(project + "\\Sounds")) {
        std::string snd = temporaries.Make(kSoundsArchive);
        PackFolder(walk, project + "\\Sounds", options.Level, false, snd, temporaries, options);
        payload.AddFile(snd, kSoundsArchive);
    }
    if (fs::DirectoryExists(project + "\\Additional")) {
        std::string additional = temporaries.Make(kAdditionalArchive);
        PackFolder(walk, project + "\\Additional", options.Level, true, additional, temporaries, options);
        // Compressing it again gains nothing: it is held stored.
        payload.AddFile(additional, kAdditionalArchive, "", fcNone);
    }
    payload.Save(outPath);
}

}  // namespace zub
