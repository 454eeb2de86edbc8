#include "setup/run_trace.h"

#include <exception>

#include "base/strings.h"
#include "formats/log_book.h"
#include "formats/uninstall_entry.h"

namespace zub {

void TRunTrace::Line(const std::string& text) {
    if (!file_.IsOpen()) return;
    const std::string line = text + "\r\n";
    try {
        file_.Write(line.data(), line.size());
    } catch (const std::exception&) {
        file_ = fs::File();
    }
}

namespace {

std::string FolderMade(const std::string& path, int code, const char* what) {
    return code == 0 ? std::string("created ") + what + ": " + path
                     : Format("error: the folder %s could not be created (system error %d)", path.c_str(), code);
}

}  // namespace

int TTracingInstallSystem::CreateDir(const std::string& path) {
    const int code = machine_.CreateDir(path);
    trace_.Line(FolderMade(path, code, "folder"));
    return code;
}

int TTracingInstallSystem::CreateInstallationDir(const std::string& path) {
    const int code = machine_.CreateInstallationDir(path);
    trace_.Line(FolderMade(path, code, "installation folder"));
    return code;
}

TCopyResult TTracingInstallSystem::CopyFile(const std::string& source, const std::string& target,
                                            const std::function<void()>& pump) {
    TCopyResult result = machine_.CopyFile(source, target, pump);
    trace_.Line(result.Ok ? "copied: " + target
                          : "error: " + source + " could not be copied to " + target + ": " + result.Reason);
    return result;
}

TCopyResult TTracingInstallSystem::RenameFile(const std::string& from, const std::string& to) {
    TCopyResult result = machine_.RenameFile(from, to);
    trace_.Line(result.Ok ? "moved: " + from + " to " + to
                          : "error: " + from + " could not be moved to " + to + ": " + result.Reason);
    return result;
}

bool TTracingInstallSystem::RemoveFile(const std::string& path) {
    const bool removed = machine_.RemoveFile(path);
    trace_.Line((removed ? "removed: " : "not removed: ") + path);
    return removed;
}

bool TTracingInstallSystem::RemoveDir(const std::string& path) {
    const bool removed = machine_.RemoveDir(path);
    trace_.Line((removed ? "removed folder: " : "folder not removed: ") + path);
    return removed;
}

bool TTracingInstallSystem::CreateShortcut(const std::string& linkFile, const TShortcut& link) {
    const bool saved = machine_.CreateShortcut(linkFile, link);
    trace_.Line(saved ? "created shortcut: " + linkFile + " -> " + link.Target
                      : "error: the shortcut " + linkFile + " could not be saved");
    return saved;
}

namespace {

std::string Command(const std::string& file, const std::string& parameters) {
    return file + (parameters.empty() ? "" : " " + parameters);
}

}  // namespace

TStartResult TTracingInstallSystem::StartAsDesktopUser(const std::string& file, const std::string& parameters,
                                                       const std::string& folder) {
    TStartResult result = machine_.StartAsDesktopUser(file, parameters, folder);
    trace_.Line(result.Ok ? "started as the desktop's user: " + Command(file, parameters)
                          : "not started through the desktop's shell: " + Command(file, parameters) + ": " +
                                result.Reason);
    return result;
}

TStartResult TTracingInstallSystem::ShellOpen(const std::string& file, const std::string& parameters) {
    TStartResult result = machine_.ShellOpen(file, parameters);
    trace_.Line(result.Ok ? "started: " + Command(file, parameters)
                          : "error: " + Command(file, parameters) + " could not be started: " + result.Reason);
    return result;
}

void TTracingInstallSystem::WriteUninstallEntry(const TUninstallEntry& entry) {
    const std::string key = "HKEY_LOCAL_MACHINE\\" + std::string(kUninstallRootKey) + entry.KeyName;
    try {
        machine_.WriteUninstallEntry(entry);
    } catch (const std::exception& e) {
        trace_.Error("the uninstall entry " + key + " could not be written: " + e.what());
        throw;
    }
    trace_.Line("registered: " + key);
}

}  // namespace zub
