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

}  // namespace

void UnpackNestedArchive(const std::string& archivePath) {
    const std::string name = ExtractFileName(archivePath);
    const std::string target =
        ExtractFilePath(archivePath) + name.substr(0, name.size() - ExtractFileExt(name).size());
    if (!fs::DirectoryExists(target)) fs::ForceDirectories(target);

    TZLBArchive reader;
    ExtractInto(reader, archivePath, target);
    for (const fs::DirEntry& entry : fs::ListDirectory(target))
        if (LowerAscii(ExtractFileExt(entry.name)) == ".x") UnpackNestedArchive(target + "\\" + entry.name);
    fs::RemoveFile(archivePath);
}

void UnpackPayloadArchive(TZLBArchive& archiver, const std::string& workFolder) {
    ExtractInto(archiver, workFolder + "Data.Zub", workFolder);
    // No test for presence: a payload without graphics fails here.
    ExtractInto(archiver, workFolder + "gfx.x", workFolder + "Graphics\\");
    if (fs::FileExists(workFolder + "snd.x")) ExtractInto(archiver, workFolder + "snd.x", workFolder + "Sounds\\");
    if (fs::FileExists(workFolder + "Additional.x")) UnpackNestedArchive(workFolder + "Additional.x");
}

void UnpackPayload(TZLBArchive& archiver, const std::string& exePath, const std::string& workFolder) {
    SaveResourceToFile(exePath, workFolder + "Data.Zub");
    UnpackPayloadArchive(archiver, workFolder);
}

}  // namespace zub
