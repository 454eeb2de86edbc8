// Unpacking of the setup's payload: the archive in the executable's RCDATA
// resource "ZUBTRESOR" and the archives nested in it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

namespace zub {

class TZLBArchive;
class TUnpackProgress;

// Extracts the archive `archivePath` into `folder`; raises on failure. The
// setup opens, extracts and closes with its reader; the authoring tool's
// verify checks every CRC on the way and reports each archive.
using TArchiveExtractor = std::function<void(const std::string& archivePath, const std::string& folder)>;

// The bytes of the RCDATA resource "ZUBTRESOR" of an executable, readable
// while the object lives (on Windows through the loader, the module loaded
// as a data file; natively by reading the executable's resource directory).
// Raises the platform's last-error exception when the file cannot be loaded
// or has no such resource.
class TPayloadResource {
public:
    explicit TPayloadResource(const std::string& exePath);
    // The payload of the running executable, read from its image in memory
    // (on Windows the module of GetModuleHandle(nullptr)), never by opening
    // its file again: what runs is what unpacks, however the file has been
    // renamed or replaced since the start. Raises as the constructor does.
    static TPayloadResource OfRunningImage();
    ~TPayloadResource();
    TPayloadResource(const TPayloadResource&) = delete;
    TPayloadResource& operator=(const TPayloadResource&) = delete;

    // Null when the resource yields no data.
    const unsigned char* Data() const { return data_; }
    size_t Size() const { return size_; }
    // Writes the bytes to `targetPath` (created or truncated); writes
    // nothing, and raises nothing, when there is no data. `onPiece`, when
    // given, is called after each piece of kSavePieceBytes is written.
    static constexpr size_t kSavePieceBytes = 4 << 20;
    void SaveToFile(const std::string& targetPath, const std::function<void()>& onPiece = nullptr) const;

private:
    struct RunningImage {};
    explicit TPayloadResource(RunningImage);

    struct Holder;
    std::unique_ptr<Holder> holder_;
    const unsigned char* data_ = nullptr;
    size_t size_ = 0;
};

// Writes the bytes of the RCDATA resource "ZUBTRESOR" of `exePath` to
// `targetPath`. Raises the platform's last-error exception when the file
// cannot be loaded or has no such resource; then no target is made.
void SaveResourceToFile(const std::string& exePath, const std::string& targetPath);

// The room an unpacking may take: the free space of the work folder's drive
// as it was at the start, against the sizes that the directory of each
// archive declares, added up over every level of nesting (the payload,
// gfx.x, Additional.x and the archives inside it). Checked before an archive
// is extracted, so that a payload too large for the drive stops with a clear
// error instead of filling it.
class TUnpackRoom {
public:
    // A negative `freeBytes` means that the free space is unknown: nothing is refused.
    explicit TUnpackRoom(int64_t freeBytes) : free_(freeBytes) {}
    // Counts in the sizes the open archive's directory declares, or `bytes`;
    // raises when the total passes the room, naming `what` needs it.
    void Take(const TZLBArchive& opened, const std::string& what);
    void Take(int64_t bytes, const std::string& what);
    int64_t Taken() const { return taken_; }

private:
    int64_t free_;
    int64_t taken_ = 0;
};

// Archives nested deeper than this in Additional.x (which is level 1) are refused.
inline constexpr int kMaxNestingDepth = 8;

// Extracts archive A into the folder named after it (W\Additional.x into
// W\Additional), unpacks every ".x" entry of that folder the same way
// (the extension compared case-insensitively), then deletes A. An archive
// more than kMaxNestingDepth levels deep raises before it is extracted.
void UnpackNestedArchive(const std::string& archivePath);
void UnpackNestedArchive(const std::string& archivePath, const TArchiveExtractor& extract);

// The steps after the payload has been copied out, with `workFolder` ending
// in a backslash: extracts Data.Zub into it, gfx.x into Graphics (required),
// snd.x into Sounds (when present) and Additional.x into Additional (when
// present, which also deletes it).
//
// `payload`, when given, holds the bytes of Data.Zub, which are then read
// from memory instead of from the file. `progress`, when given, follows the
// readers used; the archiver's handlers are cleared afterwards. `room`
// counts every archive's declared sizes; without one, the work folder's
// free space now is the room.
void UnpackPayloadArchive(TZLBArchive& archiver, const std::string& workFolder,
                          const TPayloadResource* payload = nullptr, TUnpackProgress* progress = nullptr,
                          TUnpackRoom* room = nullptr);
// The same steps with `extract` for Data.Zub, gfx.x and snd.x and
// `extractNested` for Additional.x and the archives nested in it.
void UnpackPayloadArchive(const std::string& workFolder, const TArchiveExtractor& extract,
                          const TArchiveExtractor& extractNested);

// The whole unpacking: the payload resource of `exePath` written to
// workFolder + "Data.Zub", then UnpackPayloadArchive, which reads the payload
// archive from the resource's memory (the same bytes as the file just
// written) rather than reading the file twice more. The room is the work
// folder's free space before Data.Zub is written, which counts in too.
// Nothing is caught.
void UnpackPayload(TZLBArchive& archiver, const std::string& exePath, const std::string& workFolder,
                   TUnpackProgress* progress = nullptr);
// The same with the payload found already (the setup's: OfRunningImage).
void UnpackPayload(TZLBArchive& archiver, const TPayloadResource& payload, const std::string& workFolder,
                   TUnpackProgress* progress = nullptr);

}  // namespace zub
