#include "archive/payload.h"

#include <algorithm>

#include "archive/payload_layout.h"
#include "archive/unpack_progress.h"
#include "archive/zlb_archive.h"
#include "base/error.h"
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

void UnpackNestedLevel(const std::string& archivePath, const TArchiveExtractor& extract, int depth) {
    // Each level unpacks the next: a chain made to be endless stops here.
    if (depth > kMaxNestingDepth)
        throw Error(Format("%s lies more than %d archives deep", archivePath.c_str(), kMaxNestingDepth));
    const std::string name = ExtractFileName(archivePath);
    const std::string target =
        ExtractFilePath(archivePath) + name.substr(0, name.size() - ExtractFileExt(name).size());
    if (!fs::DirectoryExists(target)) fs::ForceDirectories(target);

    extract(archivePath, target);
    for (const fs::DirEntry& entry : fs::ListDirectory(target))
        if (LowerAscii(ExtractFileExt(entry.name)) == kNestedArchiveExt)
            UnpackNestedLevel(target + "\\" + entry.name, extract, depth + 1);
    fs::RemoveFile(archivePath);
}

}  // namespace

void TPayloadResource::SaveToFile(const std::string& targetPath, const std::function<void()>& onPiece) const {
    if (!data_) return;  // nothing to write, and not an error
    fs::File file = fs::File::Create(targetPath);
    for (size_t done = 0; done < size_;) {
        const size_t piece = std::min(kSavePieceBytes, size_ - done);
        file.Write(data_ + done, piece);
        done += piece;
        if (onPiece) onPiece();
    }
    file.Close();
}

void SaveResourceToFile(const std::string& exePath, const std::string& targetPath) {
    TPayloadResource(exePath).SaveToFile(targetPath);
}

void TUnpackRoom::Take(const TZLBArchive& opened, const std::string& what) {
    int64_t declared = 0;
    for (int i = 0; i < opened.GetFileCount(); ++i) declared += opened.GetFileEntry(i).UnpackedSize;
    Take(declared, what);
}

void TUnpackRoom::Take(int64_t bytes, const std::string& what) {
    taken_ += bytes;
    if (free_ >= 0 && taken_ > free_)
        throw Error(Format("Not enough free space to unpack %s: the setup needs %lld bytes, the drive has %lld",
                           what.c_str(), static_cast<long long>(taken_), static_cast<long long>(free_)));
}

void UnpackNestedArchive(const std::string& archivePath) { UnpackNestedArchive(archivePath, ExtractWithOwnReader); }

void UnpackNestedArchive(const std::string& archivePath, const TArchiveExtractor& extract) {
    UnpackNestedLevel(archivePath, extract, 1);
}

void UnpackPayloadArchive(TZLBArchive& archiver, const std::string& workFolder, const TPayloadResource* payload,
                          TUnpackProgress* progress, TUnpackRoom* room) {
    TUnpackRoom freeNow(room ? -1 : fs::FreeSpace(workFolder));
    TUnpackRoom& space = room ? *room : freeNow;
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
        space.Take(archiver, archive);
        timeline::TStep step("extraction");
        archiver.ExtractArchive(folder);
        archiver.CloseArchive();
    };
    auto extractNested = [&](const std::string& archive, const std::string& folder) {
        TZLBArchive reader;
        TProgressAttachment attached(reader, progress);
        reader.OpenArchive(archive);
        space.Take(reader, archive);
        reader.ExtractArchive(folder);
        reader.CloseArchive();
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
    TUnpackRoom room(fs::FreeSpace(workFolder));
    room.Take(int64_t(payload.Size()), workFolder + kPayloadFileName);
    {
        static const std::string stepName = std::string(kPayloadFileName) + " written";
        timeline::TStep step(stepName.c_str());
        payload.SaveToFile(workFolder + kPayloadFileName, [&] {
            if (progress) progress->PayloadWriting(int64_t(payload.Size()));
        });
    }
    UnpackPayloadArchive(archiver, workFolder, &payload, progress, &room);
}

}  // namespace zub
