// Makes a setup's payload archive from a project folder:
//   Graphics\    -> gfx.x (best compression)
//   Sounds\      -> snd.x (only when the folder exists)
//   Additional\  -> Additional.x (default compression, held stored in the
//                   payload); each sub-folder S of it becomes a nested S.x,
//                   which the setup unpacks into a folder of the same name
//   other files  -> payload entries (Setup.ini, the program, ...)
// The payload itself gets best compression. The same project gives the same
// bytes. With `ultra` every compressed entry is compressed with zopfli instead
// (TZLBWriter::Ultra): a smaller setup in the same format.
#pragma once

#include <string>

namespace zub {

// Writes the payload of `projectFolder` to `outPath`. Raises zub::Error when
// the project has no Setup.ini or a file cannot be read or written.
void BuildPayload(const std::string& projectFolder, const std::string& outPath, bool ultra = false);

}  // namespace zub
