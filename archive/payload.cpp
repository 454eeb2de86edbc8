#include "archive/payload.h"

#include "archive/payload_layout.h"
#include "archive/unpack_progress.h"
#include "archive/zlb_archive.h"
#include "base/file.h"
#include "base/strings.h"
#include "base/timeline.h"

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

// Listens to a reader's progress while it lives, also when unpacking fails.
class TProgressAttachment {
public:
    TProgressAttachment(TZLBArchive& reader, TUnpackProgress* progress) : reader_(reader), progress_(progress) {
        if (progress_) progress_->Attach(reader_);
    }
    ~TProgressAttachment() {
        if (progress_) TUnpackProgress::Detach(reader_);
    }
    TProgressAttachment(const TProgressAttachment&) = delete;
    TProgressAttachment& operator=(const TProgressAttachment&) = delete;

private:
    TZLBArchive& reader_;
    TUnpackProgress* progress_;
};

}  // namespace

void TPayloadResource::SaveToFile(const std::string& targetPath) const {
    if (!data_) return;  // nothing to write, and not an error
    fs::File file = fs::File::Create(targetPath);
    file.Write(data_, size_);
    file.Close();
}

void SaveResourceToFile(const std::string& exePath, const std::string& targetPath) {
    TPayloadResource(exePath).SaveToFile(targetPath);
}

void UnpackNestedArchive(const std::string& archivePath) { UnpackNestedArchive(archivePath, ExtractWithOwnReader); }

void UnpackNestedArchive(const std::string& archivePath, const TArchiveExtractor& extract) {
    const std::string name = ExtractFileName(archivePath);
    const std::string target =
        ExtractFilePath(archivePath) + name.substr(0, name.size() - ExtractFileExt(name).size());
    if (!fs::DirectoryExists(target)) fs::ForceDirectories(target);

    extract(archivePath, target);
    for (const fs::DirEntry& entry : fs::ListDirectory(target))
        if (LowerAscii(ExtractFileExt(entry.name)) == kNestedArchiveExt) UnpackNestedArchive(target + "\\" + entry.name, extract);
    fs::RemoveFile(archivePath);
}

void UnpackPayloadArchive(TZLBArchive& archiver, const std::string& workFolder, const TPayloadResource* payload,
                          TUnpackProgress* progress) {
    const std::string dataZub = workFolder + kPayloadFileName;
    auto extract = [&](const std::string& archive, const std::string& folder) {
        TProgressAttachment attached(archiver, progress);
        {
            timeline::TStep step("CRC pass");
            if (archive == dataZub && payload && payload->Data())
                archiver.OpenArchiveInMemory(archive, payload->Data(), payload->Size());
            else
                archiver.OpenArchive(archive);
        }
        timeline::TStep step("extraction");
        archiver.ExtractArchive(folder);
        archiver.CloseArchive();
    };
    auto extractNested = [&](const std::string& archive, const std::string& folder) {
        TZLBArchive reader;
        TProgressAttachment attached(reader, progress);
        ExtractInto(reader, archive, folder);
    };
    UnpackPayloadArchive(workFolder, extract, extractNested);
}

void UnpackPayloadArchive(const std::string& workFolder, const TArchiveExtractor& extract,
                          const TArchiveExtractor& extractNested) {
    extract(workFolder + kPayloadFileName, workFolder);
    // No test for presence: a payload without graphics fails here.
    extract(workFolder + kGraphicsArchive, workFolder + kGraphicsFolder + "\\");
    if (fs::FileExists(workFolder + kSoundsArchive)) extract(workFolder + kSoundsArchive, workFolder + kSoundsFolder + "\\");
    if (fs::FileExists(workFolder + kAdditionalArchive)) {
        timeline::TStep step("nested archives");
        UnpackNestedArchive(workFolder + kAdditionalArchive, extractNested);
    }
}

void UnpackPayload(TZLBArchive& archiver, const std::string& exePath, const std::string& workFolder,
                   TUnpackProgress* progress) {
    timeline::Begin("payload located");
    const TPayloadResource payload(exePath);
    timeline::End("payload located");
    UnpackPayload(archiver, payload, workFolder, progress);
}

void UnpackPayload(TZLBArchive& archiver, const TPayloadResource& payload, const std::string& workFolder,
                   TUnpackProgress* progress) {
    {
        timeline::TStep step("Data.Zub written");
        payload.SaveToFile(workFolder + kPayloadFileName);
    }
    UnpackPayloadArchive(archiver, workFolder, &payload, progress);
}

}  // namespace zub
