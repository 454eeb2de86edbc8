#include "tests/e2e/machine_win.h"

#include <algorithm>
#include <exception>

#include "archive/payload_layout.h"
#include "base/file.h"
#include "base/strings.h"
#include "formats/log_book.h"
#include "shell/shell.h"
#include "shell/shell_win.h"
#include "tests/e2e/process_driver_win.h"
#include "tools/demo_app/demo_record.h"

namespace zub::e2e {

std::string ReadText(const std::string& path) {
    const std::vector<unsigned char> bytes = fs::ReadWholeFile(path);
    return std::string(bytes.begin(), bytes.end());
}

std::string TextOf(const std::string& path) { return fs::FileExists(path) ? ReadText(path) : std::string(); }

void WriteText(const std::string& path, const std::string& text) {
    fs::ForceDirectories(ExtractFilePath(path));
    fs::File file = fs::File::Create(path);
    file.Write(text.data(), text.size());
}

void CopyTree(const std::string& from, const std::string& to) {
    fs::ForceDirectories(to);
    for (const fs::DirEntry& e : fs::ListDirectory(from)) {
        if (e.isDirectory)
            CopyTree(from + "\\" + e.name, to + "\\" + e.name);
        else
            CopyFileA((from + "\\" + e.name).c_str(), (to + "\\" + e.name).c_str(), FALSE);
    }
}

namespace {

void CollectTree(const std::string& folder, const std::string& relative, std::map<std::string, std::string>& files) {
    for (const fs::DirEntry& entry : fs::ListDirectory(folder)) {
        const std::string path = relative.empty() ? entry.name : relative + "\\" + entry.name;
        if (entry.isDirectory)
            CollectTree(folder + "\\" + entry.name, path, files);
        else
            files[path] = ReadText(folder + "\\" + entry.name);
    }
}

bool Removed(const std::string& folder) {
    try {
        DeleteFolderTree(folder);
        return true;
    } catch (const std::exception&) {
        return false;
    }
}

}  // namespace

std::map<std::string, std::string> TreeOf(const std::string& folder) {
    std::map<std::string, std::string> files;
    CollectTree(folder, "", files);
    return files;
}

std::vector<std::string> NamesIn(const std::string& folder) {
    std::vector<std::string> names;
    for (const fs::DirEntry& e : fs::ListDirectory(folder)) names.push_back(e.name);
    std::sort(names.begin(), names.end());
    return names;
}

bool RemoveTree(const std::string& folder, DWORD timeoutMs) {
    return WaitFor([&] { return Removed(folder); }, timeoutMs);
}

TTestFolder::TTestFolder() : folder_("zube2e"), path_(folder_.Folder()), temp_(folder_ / "tmp\\") {
    fs::ForceDirectories(temp_);
}

TTestFolder::~TTestFolder() { EXPECT_TRUE(RemoveTree(path_)) << path_ << " stayed"; }

std::vector<std::string> TTestFolder::WorkFolders() const {
    std::vector<std::string> names;
    for (const std::string& name : NamesIn(temp_))
        if (StartsWith(name, kWorkFolderPrefix)) names.push_back(name);
    return names;
}

TInstallation::TInstallation(const std::string& title, const std::string& destination)
    : Title(title),
      Destination(destination.empty() ? GetProgramFilesDir() + title : destination),
      ProgramFolder(GetProgramsFolder(nullptr) + "\\" + title),
      DesktopLink(GetShellFolder(0) + "\\" + title + ".lnk"),
      Key(kUninstallRootKey + title) {}

TFreshInstallation::TFreshInstallation(const std::string& title, const std::string& destination)
    : TInstallation(title, destination) {
    Remove();
}

// The shell may still hold a shortcut it was told about for a moment.
TFreshInstallation::~TFreshInstallation() {
    EXPECT_TRUE(WaitFor([&] { return Remove(); }, 5000)) << Title << " stayed";
}

bool TInstallation::Remove() const {
    bool removed = Removed(Destination) && Removed(ProgramFolder);
    if (fs::FileExists(ProgramFolder)) {  // a file in the way, made by a test
        fs::SetReadOnly(ProgramFolder, false);
        removed = fs::RemoveFile(ProgramFolder) && removed;
    }
    if (fs::PathExists(DesktopLink)) removed = fs::RemoveFile(DesktopLink) && removed;
    test::DeleteKeyTree(HKEY_LOCAL_MACHINE, Key);
    return removed && !EntryExists();
}

std::string TInstallation::Log() const { return TextOf(In(kSetupLogName)); }

bool TInstallation::EntryExists() const { return test::KeyExists(HKEY_LOCAL_MACHINE, Key); }

std::map<std::string, test::TRegValue> TInstallation::Entry() const { return test::ListValues(HKEY_LOCAL_MACHINE, Key); }

std::string TInstallation::EntryText(const std::string& name) const {
    std::map<std::string, test::TRegValue> values = Entry();
    return values.count(name) ? std::string(values[name].data.c_str()) : std::string("(none)");
}

DWORD TInstallation::RunEntry(const std::string& value, const std::string& arguments) const {
    const std::string command = EntryText(value);
    return command == "(none)" ? kNotRun : RunCommand(command + arguments);
}

// Both ways the demo program looks: the environment, for a program the setup
// starts itself, and the registry, for one the desktop's shell starts with
// the shell's own environment.
TLaunchRecord::TLaunchRecord(std::string path) : path_(std::move(path)) {
    SetEnvironmentVariableA(demo::kRecordVariable, path_.c_str());
    RegSetKeyValueA(HKEY_CURRENT_USER, demo::kRecordKey, demo::kRecordValue, REG_SZ, path_.c_str(),
                    DWORD(path_.size() + 1));
}

TLaunchRecord::~TLaunchRecord() {
    SetEnvironmentVariableA(demo::kRecordVariable, nullptr);
    RegDeleteKeyA(HKEY_CURRENT_USER, demo::kRecordKey);
}

bool TLaunchRecord::Exists() const { return fs::FileExists(path_); }

}  // namespace zub::e2e
