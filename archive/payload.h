// Unpacking of the setup's payload: the archive in the executable's RCDATA
// resource "ZUBTRESOR" and the archives nested in it.
#pragma once

#include <functional>
#include <string>

namespace zub {

class TZLBArchive;

// Extracts the archive `archivePath` into `folder`; raises on failure. The
// setup opens, extracts and closes with its reader; the authoring tool's
// verify checks every CRC on the way and reports each archive.
using TArchiveExtractor = std::function<void(const std::string& archivePath, const std::string& folder)>;

// Writes the bytes of the RCDATA resource "ZUBTRESOR" of `exePath` to
// `targetPath`. Raises the platform's last-error exception when the file
// cannot be loaded or has no such resource; then no target is made.
void SaveResourceToFile(const std::string& exePath, const std::string& targetPath);

// Extracts archive A into the folder named after it (W\Additional.x into
// W\Additional), unpacks every ".x" entry of that folder the same way
// (the extension compared case-insensitively), then deletes A.
void UnpackNestedArchive(const std::string& archivePath);
void UnpackNestedArchive(const std::string& archivePath, const TArchiveExtractor& extract);

// The steps after the payload has been copied out, with `workFolder` ending
// in a backslash: extracts Data.Zub into it, gfx.x into Graphics (required),
// snd.x into Sounds (when present) and Additional.x into Additional (when
// present, which also deletes it).
void UnpackPayloadArchive(TZLBArchive& archiver, const std::string& workFolder);
// The same steps with `extract` for Data.Zub, gfx.x and snd.x and
// `extractNested` for Additional.x and the archives nested in it.
void UnpackPayloadArchive(const std::string& workFolder, const TArchiveExtractor& extract,
                          const TArchiveExtractor& extractNested);

// The whole unpacking: SaveResourceToFile(exePath, workFolder + "Data.Zub"),
// then UnpackPayloadArchive. Nothing is caught.
void UnpackPayload(TZLBArchive& archiver, const std::string& exePath, const std::string& workFolder);

}  // namespace zub
