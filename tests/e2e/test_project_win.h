// Test setups made from a staged project: a copy of the project with its
// Setup.ini edited and files added, packed and written into the stub.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "archive/payload_builder.h"
#include "base/file.h"
#include "base/strings.h"
#include "tests/e2e/payload_resource_win.h"
#include "tools/demo_app/demo_record.h"

namespace zub::e2e {

// Names the file the demo program records its starts in, for a program the
// setup starts itself and for one the desktop's shell starts; "" names none.
inline void SetDemoRecord(const std::string& path) {
    SetEnvironmentVariableA(demo::kRecordVariable, path.empty() ? nullptr : path.c_str());
    if (path.empty()) {
        RegDeleteKeyA(HKEY_CURRENT_USER, demo::kRecordKey);
        return;
    }
    RegSetKeyValueA(HKEY_CURRENT_USER, demo::kRecordKey, demo::kRecordValue, REG_SZ, path.c_str(),
                    DWORD(path.size() + 1));
}

inline std::string ReadText(const std::string& path) {
    std::vector<unsigned char> bytes = fs::ReadWholeFile(path);
    return std::string(bytes.begin(), bytes.end());
}

inline void WriteText(const std::string& path, const std::string& text) {
    fs::ForceDirectories(ExtractFilePath(path));
    fs::File file = fs::File::Create(path);
    file.Write(text.data(), text.size());
}

inline void CopyTree(const std::string& from, const std::string& to) {
    fs::ForceDirectories(to);
    for (const fs::DirEntry& e : fs::ListDirectory(from)) {
        if (e.isDirectory)
            CopyTree(from + "\\" + e.name, to + "\\" + e.name);
        else
            CopyFileA((from + "\\" + e.name).c_str(), (to + "\\" + e.name).c_str(), FALSE);
    }
}

// Copies `project` to folder + "\project", puts `uninstaller` in, edits its
// Setup.ini, lets `addFiles` add to the copy, and writes the setup to `exe`.
inline void MakeProjectSetup(const std::string& project, const std::string& uninstaller, const std::string& stub,
                             const std::string& folder, const std::string& exe,
                             const std::function<std::string(std::string)>& edit,
                             const std::function<void(const std::string&)>& addFiles = nullptr) {
    const std::string copy = folder + "\\project";
    CopyTree(project, copy);
    CopyFileA(uninstaller.c_str(), (copy + "\\Uninstall.exe").c_str(), FALSE);
    WriteText(copy + "\\Setup.ini", edit(ReadText(copy + "\\Setup.ini")));
    if (addFiles) addFiles(copy);
    const std::string payload = folder + "\\payload.x";
    BuildPayload(copy, payload);
    MakeSetupFromStub(stub, exe, fs::ReadWholeFile(payload));
}

}  // namespace zub::e2e
