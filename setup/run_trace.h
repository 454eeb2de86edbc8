// The trace of a run that /LOG= asks for: a plain text for administrators,
// one line per thing the setup did to the machine and per error with the
// system's reason. It is written as it goes, so that it holds everything up
// to the moment a run ended, however it ended.
#pragma once

#include <memory>
#include <string>

#include "base/file.h"
#include "setup/install_system.h"

namespace zub {

class TRunTrace {
public:
    // Until opened, every line goes nowhere.
    TRunTrace() = default;
    // Creates (or replaces) `path`; raises "Datei %s kann nicht erstellt werden".
    void Open(const std::string& path) { file_ = fs::File::Create(path); }

    bool Active() const { return file_.IsOpen(); }
    // One line, ended with CR LF and written at once. A trace that cannot be
    // written any more is closed: the run goes on without it.
    void Line(const std::string& text);
    void Error(const std::string& text) { Line("error: " + text); }

private:
    fs::File file_;
};

// The machine the installation works on, with each change it makes, and
// each one that fails, written to a trace on the way.
class TTracingInstallSystem : public IInstallSystem {
public:
    TTracingInstallSystem(IInstallSystem& machine, TRunTrace& trace) : machine_(machine), trace_(trace) {}

    bool FileExists(const std::string& path) override { return machine_.FileExists(path); }
    bool IsFolderPresent(const std::string& path) override { return machine_.IsFolderPresent(path); }
    int CreateDir(const std::string& path) override;
    int CreateInstallationDir(const std::string& path) override;
    TCopyResult CopyFile(const std::string& source, const std::string& target,
                         const std::function<void()>& pump) override;
    TCopyResult RenameFile(const std::string& from, const std::string& to) override;
    bool RemoveFile(const std::string& path) override;
    bool RemoveDir(const std::string& path) override;

    std::string ProgramsFolder() override { return machine_.ProgramsFolder(); }
    std::string DesktopFolder() override { return machine_.DesktopFolder(); }
    std::string ProgramFilesFolder() override { return machine_.ProgramFilesFolder(); }
    std::string WindowsFolder() override { return machine_.WindowsFolder(); }
    std::string Today() override { return machine_.Today(); }
    bool CreateShortcut(const std::string& linkFile, const TShortcut& link) override;
    bool RunsElevated() override { return machine_.RunsElevated(); }
    TStartResult StartAsDesktopUser(const std::string& file, const std::string& parameters,
                                    const std::string& folder) override;
    TStartResult ShellOpen(const std::string& file, const std::string& parameters) override;
    void SetCurrentDir(const std::string& path) override { machine_.SetCurrentDir(path); }
    void WriteUninstallEntry(const TUninstallEntry& entry) override;

private:
    IInstallSystem& machine_;
    TRunTrace& trace_;
};

}  // namespace zub
