// Makes a setup's payload archive from a project folder:
//   Graphics\    -> gfx.x
//   Sounds\      -> snd.x (only when the folder exists)
//   Additional\  -> Additional.x (held stored in the payload); each
//                   sub-folder S of it becomes a nested S.x, which the setup
//                   unpacks into a folder of the same name
//   other files  -> payload entries (Setup.ini, the program, ...)
// Every archive is compressed at the options' level. The same project gives
// the same bytes.
#pragma once

#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "archive/zlb_format.h"

namespace zub {

struct TPayloadOptions {
    // More top-level entries: {file on disk, entry name}, added after the project's files.
    std::vector<std::pair<std::string, std::string>> ExtraFiles;
    // The entry name for a file or folder name found in the project (given
    // with its path on disk, for messages); unset, names are kept as they are.
    std::function<std::string(const std::string& name, const std::string& sourcePath)> EntryName;
    // Every compressed entry compressed with zopfli (TZLBWriter::Ultra): a
    // smaller setup in the same format.
    bool Ultra = false;
    // The compression of every archive of the payload.
    TFileCompressionLevel Level = fcMaximum;
};

// Writes the payload of `projectFolder` to `outPath`. Raises zub::Error when
// the project has no Setup.ini or a file cannot be read or written.
void BuildPayload(const std::string& projectFolder, const std::string& outPath, const TPayloadOptions& options = {});

}  // namespace zub
