// Reads the input as setup.log, as the uninstaller does, and makes the
// removal plan from it for an installation in C:\Apps\App. Whatever the log
// says, the plan may remove only what lies where the setup puts things: a
// file or folder in the installation folder, a program folder or shortcut
// in the Programs folder, a shortcut on the desktop; never a drive root or
// a system folder. A log that names anything else is kept.
#include <algorithm>
#include <string>
#include <string_view>

#include "base/error.h"
#include "base/strings.h"
#include "uninstall/removal_plan.h"

namespace {

const char kInstall[] = "C:\\Apps\\App";
const char kPrograms[] = "C:\\Users\\u\\Start Menu\\Programs";
const char kDesktop[] = "C:\\Users\\u\\Desktop";

// `path` lies strictly inside `folder`, both compared as the plan compares paths.
bool Inside(const std::string& path, const char* folder) {
    const std::string p = zub::ComparablePath(path), f = zub::ComparablePath(folder);
    return p.size() > f.size() + 1 && p.compare(0, f.size(), f) == 0 && p[f.size()] == '\\';
}

bool HasParentPart(const std::string& path) {
    const std::string p = "\\" + zub::ComparablePath(path) + "\\";
    return p.find("\\..\\") != std::string::npos || p.find("\\.\\") != std::string::npos;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    zub::TSetupLog log;
    try {
        log = zub::ParseSetupLog(text);
    } catch (const zub::TSetupLogError&) {
        // A damaged header refuses the whole log: nothing is removed.
        return 0;
    }
    if (text.substr(0, 8) != "SetupLOG") __builtin_trap();
    int previous = 3;
    for (const zub::TSetupLogEntry& entry : log.Entries) {
        if (entry.Line <= previous || entry.Path.find('\0') != std::string::npos) __builtin_trap();
        previous = entry.Line;
    }

    zub::TRemovalContext context;
    context.LogPath = std::string(kInstall) + "\\setup.log";
    context.SelfPath = std::string(kInstall) + "\\Uninstall.exe";
    context.SystemFolders = {"C:\\Windows", "C:\\Windows\\System32", "C:\\Program Files", "C:\\Users\\u"};
    context.ProgramsFolders = {kPrograms};
    context.Desktops = {kDesktop};
    const std::vector<zub::TRemovalStep> plan = zub::MakeRemovalPlan(log, context);

    // One step for every line, then the key and the log.
    if (plan.size() != log.Entries.size() + log.Unusable.size() + 2) __builtin_trap();
    bool refused = false;
    for (const zub::TRemovalStep& step : plan) {
        if (step.Action == zub::TStepAction::Skip) {
            refused = refused || step.Why == zub::TRemovalProblem::OutsideInstallation ||
                      step.Why == zub::TRemovalProblem::NotAShortcut;
            continue;
        }
        if (step.Action != zub::TStepAction::RemoveFile && step.Action != zub::TStepAction::RemoveFolder) continue;
        if (HasParentPart(step.Path)) __builtin_trap();
        const bool shortcut = zub::LowerAscii(zub::ExtractFileExt(step.Path)) == ".lnk";
        const bool allowed =
            step.Action == zub::TStepAction::RemoveFile
                ? Inside(step.Path, kInstall) || (shortcut && (Inside(step.Path, kPrograms) || Inside(step.Path, kDesktop)))
                : Inside(step.Path, kInstall) || zub::ComparablePath(step.Path) == zub::ComparablePath(kInstall) ||
                      Inside(step.Path, kPrograms);
        if (!allowed) __builtin_trap();
    }
    // A log that names a place it may not is kept, with those entries in it.
    const bool logKept = plan.back().Action == zub::TStepAction::Skip && plan.back().Why == zub::TRemovalProblem::LogKept;
    if (refused != logKept) __builtin_trap();
    return 0;
}
