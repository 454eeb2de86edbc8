#include "archive/payload.h"

#include "archive/zlb_archive.h"
#include "base/file.h"
#include "base/strings.h"

namespace zub {
namespace {

void ExtractInto(TZLBArchive& archiver, const std::string& archivePath, const std::string& folder) {
    archiver.OpenArchive(archivePath);
    archiver.ExtractArchive(folder);
    archiver.CloseArchive();
}

// A nested archive is read by a reader of its own.
void ExtractWithOwnReader(const std::string& archive, const std::string& folder) {
    TZLBArchive reader;
    ExtractInto(reader, archive, folder);
}

}  // namespace

void UnpackNestedArchive(const std::string& archivePath) { UnpackNestedArchive(archivePath, ExtractWithOwnReader); }

void UnpackNestedArchive(const std::string& archivePath, const TArchiveExtractor& extract) {
    const std::string name = ExtractFileName(archivePath);
    const std::string target =
        ExtractFilePath(archivePath) + name.substr(0, name.size() - ExtractFileExt(name).size());
    if (!fs::DirectoryExists(target)) fs::ForceDirectories(target);

    extract(archivePath, target);
    for (const fs::DirEntry& entry : fs::ListDirectory(target))
        if (LowerAscii(ExtractFileExt(entry.name)) == ".x") UnpackNestedArchive(target + "\\" + entry.name, extract);
    fs::RemoveFile(archivePath);
}

void UnpackPayloadArchive(TZLBArchive& archiver, const std::string& workFolder) {
    UnpackPayloadArchive(
        workFolder,
        [&](const std::string& archive, const std::string& folder) { ExtractInto(archiver, archive, folder); },
        ExtractWithOwnReader);
}

void UnpackPayloadArchive(const std::string& workFolder, const TArchiveExtractor& extract,
                          const TArchiveExtractor& extractNested) {
    extract(workFolder + "Data.Zub", workFolder);
    // No test for presence: a payload without graphics fails here.
    extract(workFolder + "gfx.x", workFolder + "Graphics\\");
    if (fs::FileExists(workFolder + "snd.x")) extract(workFolder + "snd.x", workFolder + "Sounds\\");
    if (fs::FileExists(workFolder + "Additional.x")) UnpackNestedArchive(workFolder + "Additional.x", extractNested);
}

void UnpackPayload(TZLBArchive& archiver, const std::string& exePath, const std::string& workFolder) {
    SaveResourceToFile(exePath, workFolder + "Data.Zub");
    UnpackPayloadArchive(archiver, workFolder);
}

}  // namespace zub
