// The machine of the installation tests: the real file system under a
// temporary folder, a fake shell and registry that remember what they were
// asked, and a copying page that records its label, positions and questions;
// and the fixture that holds them with the setup data and its log book.
#pragma once

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "base/error.h"
#include "base/file.h"
#include "base/folder_access.h"
#include "base/strings.h"
#include "formats/log_book.h"
#include "formats/setup_data.h"
#include "formats/uninstall_entry.h"
#include "setup/install_journal.h"
#include "setup/install_system.h"
#include "shell/temp_folder.h"

namespace zub::test {

class TFakeInstallSystem : public IInstallSystem {
public:
    std::string Programs;  // "" when the shell knows no Programs folder
    std::string Desktop;
    std::string Windows = "C:\\WINDOWS";
    std::string ProgramFiles;  // "" when unknown
    std::map<std::string, TShortcut> Shortcuts;  // saved shortcut files by path
    std::vector<std::string> Events;             // shortcuts, registry, starts, in order
    std::string UninstallError;                  // raised by WriteUninstallEntry when set
    std::vector<TUninstallEntry> UninstallEntries;  // in the order written
    std::string Date = "20260102";
    int PumpsDuringCopy = 0;

    bool FileExists(const std::string& path) override { return fs::FileExists(path); }
    bool IsFolderPresent(const std::string& path) override {
        std::string p = path;
        if (!p.empty() && p.back() == '\\') p.pop_back();
        return fs::DirectoryExists(p);
    }
    int CreateDir(const std::string& path) override { return fs::CreateDir(path) ? 0 : fs::LastErrorCode(); }
    int CreateInstallationDir(const std::string& path) override {
        InstallationFolders.push_back(path);
        return fs::CreateDir(path, ProgramFilesAccess()) ? 0 : fs::LastErrorCode();
    }
    std::vector<std::string> InstallationFolders;  // made by CreateInstallationDir, in order
    TCopyResult CopyFile(const std::string& source, const std::string& target,
                         const std::function<void()>& pump) override {
        fs::File in = fs::File::OpenRead(source);
        if (!in.IsOpen()) return {false, std::strerror(errno)};
        std::vector<unsigned char> bytes(static_cast<size_t>(in.Size()));
        in.Read(bytes.data(), bytes.size());
        pump();
        ++PumpsDuringCopy;
        try {
            fs::File out = fs::File::Create(target);
            out.Write(bytes.data(), bytes.size());
            out.Close();
        } catch (const Error& e) {
            return {false, e.what()};
        }
        return {true, ""};
    }
    bool RemoveFile(const std::string& path) override { return fs::RemoveFile(path); }
    TCopyResult RenameFile(const std::string& from, const std::string& to) override {
        if (RefuseRename.count(from)) return {false, "refused"};
        return fs::RenameFile(from, to) ? TCopyResult{true, ""} : TCopyResult{false, std::strerror(errno)};
    }
    std::set<std::string> RefuseRename;  // files that cannot be moved aside or back
    bool RemoveDir(const std::string& path) override { return fs::RemoveDir(path); }

    std::string ProgramsFolder() override { return Programs; }
    std::string DesktopFolder() override { return Desktop; }
    std::string ProgramFilesFolder() override { return ProgramFiles; }
    std::string WindowsFolder() override { return Windows; }
    bool CreateShortcut(const std::string& linkFile, const TShortcut& link) override {
        Events.push_back("link " + linkFile);
        try {
            fs::File file = fs::File::Create(linkFile);  // so that rollback has something to remove
            file.Write(link.Target.data(), link.Target.size());
        } catch (const Error&) {
            return false;
        }
        Shortcuts[linkFile] = link;
        return true;
    }
    // Elevated, the starts go to the desktop's shell first; it answers with DesktopStart.
    bool Elevated = false;
    TStartResult DesktopStart{false, "no desktop shell"};
    TStartResult DirectStart{true, ""};
    bool RunsElevated() override { return Elevated; }
    TStartResult StartAsDesktopUser(const std::string& file, const std::string& parameters,
                                    const std::string& folder) override {
        Events.push_back("desktop " + file + (parameters.empty() ? "" : " " + parameters) + " in " + folder);
        return DesktopStart;
    }
    TStartResult ShellOpen(const std::string& file, const std::string& parameters) override {
        Events.push_back("open " + file + (parameters.empty() ? "" : " " + parameters));
        return DirectStart;
    }
    void SetCurrentDir(const std::string& path) override { Events.push_back("cd " + path); }
    std::string Today() override { return Date; }
    void WriteUninstallEntry(const TUninstallEntry& entry) override {
        Events.push_back("registry");
        if (!UninstallError.empty()) throw Error(UninstallError);
        UninstallEntries.push_back(entry);
    }
};

class TFakeCopyPage : public ICopyPage {
public:
    std::vector<std::string> Messages;
    std::vector<int> Positions;
    std::vector<std::string> Questions;
    int Pumps = 0;
    // Answers the questions in turn (true: Retry); Cancel when none is left.
    std::vector<std::function<bool()>> Answers;

    void SetCopyMessage(const std::string& text) override { Messages.push_back(text); }
    void SetProgress(int position) override { Positions.push_back(position); }
    void ProcessMessages() override { ++Pumps; }
    bool AskRetry(const std::string& question) override {
        Questions.push_back(question);
        if (Questions.size() > Answers.size()) return false;
        return Answers[Questions.size() - 1]();
    }
};

// A run of the setup on a temporary folder: its paths are built with "\" below
// root_, as the setup builds them; the work folder is root_\work. The program
// is "App Title" with App.exe.
class TInstallTest : public ::testing::Test {
protected:
    TInstallTest() {
        data_.WorkFolder = root_ + "\\work\\";
        data_.RazederodezTitle = "App Title";
        data_.TargetFile = "App.exe";
    }

    TTempFolder temp_;
    const std::string root_ = temp_.Folder();
    TSetupData data_;
    TSetupLogBook log_;
    TInstallJournal journal_;
    TFakeInstallSystem system_;
};

}  // namespace zub::test
