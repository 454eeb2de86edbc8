#include "archive/payload_builder.h"

#include <algorithm>
#include <vector>

#include "archive/zlb_writer.h"
#include "base/error.h"
#include "base/file.h"
#include "folders/shell.h"

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

// Packs the files of `folder`; each sub-folder becomes a nested "<name>.x"
// entry when `nestFolders` is set, and is left out otherwise.
void PackFolder(const std::string& folder, TFileCompressionLevel level, bool nestFolders, const std::string& outPath,
                TTemporaryFiles& temporaries, bool ultra) {
    TZLBWriter writer;
    writer.CompressionLevel = level;
    writer.Ultra = ultra;
    writer.AddFolder(folder);
    if (nestFolders) {
        std::vector<std::string> subFolders;
        for (const fs::DirEntry& entry : fs::ListDirectory(folder))
            if (entry.isDirectory) subFolders.push_back(entry.name);
        std::sort(subFolders.begin(), subFolders.end());
        for (const std::string& name : subFolders) {
            std::string nested = temporaries.Make(name + ".x");
            PackFolder(folder + "\\" + name, level, true, nested, temporaries, ultra);
            writer.AddFile(nested, name + ".x");
        }
    }
    writer.Save(outPath);
}

}  // namespace

void BuildPayload(const std::string& projectFolder, const std::string& outPath, bool ultra) {
    std::string project = projectFolder;
    while (!project.empty() && (project.back() == '\\' || project.back() == '/')) project.pop_back();
    if (!fs::FileExists(project + "\\Setup.ini"))
        throw Error("The project folder " + project + " has no Setup.ini");

    TTemporaryFiles temporaries(outPath);
    TZLBWriter payload;
    payload.CompressionLevel = fcMaximum;
    payload.Ultra = ultra;
    payload.AddFolder(project);  // the top-level files: Setup.ini, the program, ...

    std::string gfx = temporaries.Make("gfx.x");
    PackFolder(project + "\\Graphics", fcMaximum, false, gfx, temporaries, ultra);
    payload.AddFile(gfx, "gfx.x");
    if (fs::DirectoryExists(project + "\\Sounds")) {
        std::string snd = temporaries.Make("snd.x");
        PackFolder(project + "\\Sounds", fcMaximum, false, snd, temporaries, ultra);
        payload.AddFile(snd, "snd.x");
    }
    if (fs::DirectoryExists(project + "\\Additional")) {
        std::string additional = temporaries.Make("Additional.x");
        PackFolder(project + "\\Additional", fcDefault, true, additional, temporaries, ultra);
        // Compressing it again gains nothing: it is held stored.
        payload.AddFile(additional, "Additional.x", "", fcNone);
    }
    payload.Save(outPath);
}

}  // namespace zub
