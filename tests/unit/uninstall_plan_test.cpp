// The removal plan: which paths the uninstaller will touch, in which order,
// and what it does on a machine where things are in use or not empty.
#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>
#include <functional>
#include <map>
#include <set>

#include "base/file.h"
#include "base/strings.h"
#include "formats/log_book.h"
#include "tests/unit/archive_test_util.h"
#include "uninstall/removal_after_exit.h"
#include "uninstall/removal_places.h"
#include "uninstall/removal_plan.h"
#include "uninstall/uninstall_run.h"

namespace zub {
namespace {

const std::vector<std::string> kSystem = {"C:\\Windows", "C:\\Program Files\\", "C:\\Users\\Ann",
                                          "C:\\Users\\Ann\\Desktop", "C:\\Users\\Ann\\Start Menu\\Programs"};

TEST(RemovalPlan, ClassifiesPaths) {
    struct TCase {
        const char* Path;
        TPathVerdict Verdict;
    };
    const TCase cases[] = {
        {"C:\\Apps\\App", TPathVerdict::Usable},
        {"c:/apps/app/x.exe", TPathVerdict::Usable},
        {"C:\\Apps\\\\Graphics", TPathVerdict::Usable},  // a destination that ended in "\"
        {"\\\\server\\share\\App", TPathVerdict::Usable},
        {"", TPathVerdict::NotAbsolute},
        {"App\\x.exe", TPathVerdict::NotAbsolute},
        {"\\Apps\\x.exe", TPathVerdict::NotAbsolute},
        {"C:Apps", TPathVerdict::NotAbsolute},
        {"C:", TPathVerdict::NotAbsolute},
        {"C:\\", TPathVerdict::DriveRoot},
        {"d:/", TPathVerdict::DriveRoot},
        {"C:\\\\\\", TPathVerdict::DriveRoot},
        {"\\\\server\\share\\", TPathVerdict::DriveRoot},
        {"\\\\server", TPathVerdict::DriveRoot},
        {"C:\\Apps\\..\\Windows", TPathVerdict::NotPlain},
        {"C:\\Apps\\.", TPathVerdict::NotPlain},
        {"C:\\Windows.", TPathVerdict::NotPlain},
        {"C:\\Windows \\", TPathVerdict::NotPlain},
        {"C:\\Apps\\*.*", TPathVerdict::NotPlain},
        {"C:\\Apps\\a.txt:stream", TPathVerdict::NotPlain},
        {"C:\\Apps\\a\r", TPathVerdict::NotPlain},
        {"\\\\?\\C:\\Apps", TPathVerdict::NotPlain},
        {"\\\\.\\PhysicalDrive0", TPathVerdict::NotPlain},
        {"C:\\WINDOWS", TPathVerdict::SystemFolder},
        {"c:/windows/", TPathVerdict::SystemFolder},
        {"C:\\Program Files", TPathVerdict::SystemFolder},
        {"C:\\Users\\Ann\\\\Desktop", TPathVerdict::SystemFolder},
        {"C:\\Users\\Ann\\Start Menu\\Programs", TPathVerdict::SystemFolder},
        {"C:\\Windows\\App", TPathVerdict::Usable},  // inside is not the folder itself
        {"C:\\Program Files\\App", TPathVerdict::Usable},
    };
    for (const TCase& c : cases) EXPECT_EQ(ClassifyPath(c.Path, kSystem), c.Verdict) << c.Path;
}

TSetupLog LogOf(const std::vector<std::pair<TLogEntryKind, std::string>>& entries, const std::string& key = "App") {
    TSetupLog log;
    log.Name = "App";
    log.KeyName = key;
    int line = 2;  // every other line from 4, so that tests can put unusable lines between
    for (const auto& [kind, path] : entries) log.Entries.push_back({kind, path, line += 2});
    return log;
}

constexpr TLogEntryKind kDir = TLogEntryKind::Directory;
constexpr TLogEntryKind kFile = TLogEntryKind::File;
constexpr TLogEntryKind kLink = TLogEntryKind::Link;

const char kDest[] = "C:\\Apps\\App";
const char kPrograms[] = "C:\\Users\\Ann\\Start Menu\\Programs";

// The log of an installation with a program folder, newest first.
TSetupLog InstalledLog() {
    const std::string d = kDest, p = std::string(kPrograms) + "\\App";
    return LogOf({{kLink, p + "\\Uninstall.lnk"},
                  {kLink, p + "\\App.lnk"},
                  {kDir, p},
                  {kFile, d + "\\Uninstall.exe"},
                  {kFile, d + "\\App.exe"},
                  {kFile, d + "\\Graphics\\a.gif"},
                  {kDir, d + "\\Additional"},
                  {kDir, d + "\\Sounds"},
                  {kDir, d + "\\Graphics"},
                  {kDir, d}});
}

TRemovalContext Context() {
    return {std::string(kDest) + "\\setup.log", std::string(kDest) + "\\Uninstall.exe", kSystem, {kPrograms},
            {"C:\\Users\\Ann\\Desktop", "C:\\Users\\Public\\Desktop"}};
}

TEST(RemovalPlan, KeepsTheLogsOrderThenKeyThenLog) {
    TSetupLog log = InstalledLog();
    log.Entries.insert(log.Entries.begin(), {kDir, "C:\\", 2});
    log.Entries.push_back({kDir, kPrograms, 40});
    log.Unusable.push_back({13, "REGISTRY=x"});
    const std::vector<TRemovalStep> plan = MakeRemovalPlan(log, Context());
    std::vector<std::string> seen;
    for (const TRemovalStep& step : plan) {
        static const char* const kActions[] = {"file", "folder", "key", "log", "skip"};
        seen.push_back(std::string(kActions[int(step.Action)]) + " " + step.Path);
    }
    const std::string p = std::string(kPrograms) + "\\App", d = kDest;
    EXPECT_EQ(seen, (std::vector<std::string>{
                        "skip C:\\", "file " + p + "\\Uninstall.lnk", "file " + p + "\\App.lnk", "folder " + p,
                        "file " + d + "\\Uninstall.exe", "file " + d + "\\App.exe", "skip REGISTRY=x",
                        "file " + d + "\\Graphics\\a.gif", "folder " + d + "\\Additional", "folder " + d + "\\Sounds",
                        "folder " + d + "\\Graphics", "folder " + d, "skip " + std::string(kPrograms), "key App",
                        "log " + d + "\\setup.log"}));
    EXPECT_EQ(plan[0].Why, TRemovalProblem::DriveRoot);
    EXPECT_EQ(plan[6].Why, TRemovalProblem::UnknownLine);
    EXPECT_EQ(plan[12].Why, TRemovalProblem::SystemFolder);
}

TEST(RemovalPlan, NeverRemovesTheUninstallKeyItself) {
    for (const char* key : {"", "   ", "\\", "\\\\", "\t"}) {
        const std::vector<TRemovalStep> plan = MakeRemovalPlan(LogOf({}, key), Context());
        ASSERT_EQ(plan.size(), 2u);
        EXPECT_EQ(plan[0].Action, TStepAction::Skip) << "\"" << key << "\"";
        EXPECT_EQ(plan[0].Why, TRemovalProblem::BadKeyName);
    }
}

// A machine in memory: files and folders by exact path, some held in use.
class TFakeMachine : public IUninstallMachine {
public:
    std::set<std::string> Files, Folders, Links, InUse, Keys = {"App"};
    std::vector<std::string> Calls;

    void AddFile(const std::string& path) {
        Files.insert(path);
        for (std::string folder = ExtractFilePath(path); folder.size() > 3; folder = ExtractFilePath(folder))
            Folders.insert(folder.erase(folder.size() - 1));
    }
    TResult RemoveFile(const std::string& path) override {
        Calls.push_back("file " + path);
        if (!Files.count(path)) return TResult::Absent;
        if (InUse.count(path)) return TResult::Failed;
        Files.erase(path);
        return TResult::Removed;
    }
    TKind KindOf(const std::string& path) override {
        if (Folders.count(path)) return TKind::Folder;
        if (Links.count(path)) return TKind::Link;
        return Files.count(path) ? TKind::File : TKind::None;
    }
    std::vector<std::string> FolderEntries(const std::string& path) override {
        std::vector<std::string> names;
        for (const auto* set : {&Files, &Folders, &Links})
            for (const std::string& p : *set)
                if (ExtractFilePath(p) == path + "\\") names.push_back(ExtractFileName(p));
        return names;
    }
    TResult RemoveEmptyFolder(const std::string& path) override {
        Calls.push_back("folder " + path);
        if (!FolderEntries(path).empty() || InUse.count(path)) return TResult::Failed;
        return Folders.erase(path) ? TResult::Removed : TResult::Absent;
    }
    TResult RemoveUninstallKey(const std::string& keyName) override {
        Calls.push_back("key " + keyName);
        return Keys.erase(keyName) ? TResult::Removed : TResult::Absent;
    }
    bool CanRemoveLater = true;
    std::vector<std::string> Later;  // what was handed over for after the end
    bool RemoveAfterExit(const std::string& self, const std::vector<std::string>& folders) override {
        Calls.push_back("later " + self);
        Later = folders;
        Later.insert(Later.begin(), self);
        return CanRemoveLater;
    }
    bool CanRemoveAtRestart = true;
    std::vector<std::string> AtRestart;  // in the order arranged, repeats and all
    bool RemoveAtRestart(const std::string& path) override {
        Calls.push_back("restart " + path);
        if (CanRemoveAtRestart) AtRestart.push_back(path);
        return CanRemoveAtRestart;
    }
    std::string ReplacedLog;
    bool ReplaceLog(const std::string& path, const std::string& text) override {
        Calls.push_back("replace " + path);
        ReplacedLog = text;
        return true;
    }
};

// The machine after the installation of InstalledLog(), with the log beside the uninstaller.
TFakeMachine Installed() {
    TFakeMachine machine;
    const std::string d = kDest, p = std::string(kPrograms) + "\\App";
    for (const std::string& file : {p + "\\Uninstall.lnk", p + "\\App.lnk", d + "\\Uninstall.exe", d + "\\App.exe",
                                    d + "\\Graphics\\a.gif", d + "\\setup.log"})
        machine.AddFile(file);
    for (const std::string& folder : {d + "\\Additional", d + "\\Sounds"}) machine.Folders.insert(folder);
    return machine;
}

TEST(RemovalRun, RemovesEverythingAndLeavesTheDestinationForAfterTheEnd) {
    TFakeMachine machine = Installed();
    const TRemovalOutcome outcome = RunRemovalPlan(MakeRemovalPlan(InstalledLog(), Context()), Context(), machine);
    EXPECT_TRUE(outcome.Problems.empty());
    // The running uninstaller stays; its folder goes after it.
    EXPECT_EQ(machine.Files, (std::set<std::string>{std::string(kDest) + "\\Uninstall.exe"}));
    EXPECT_EQ(outcome.FoldersAfterExit, (std::vector<std::string>{kDest}));
    EXPECT_TRUE(machine.Keys.empty());
    EXPECT_EQ(machine.Calls.back(), std::string("file ") + kDest + "\\setup.log");
    EXPECT_EQ(machine.Calls[machine.Calls.size() - 2], "key App");
}

TEST(RemovalRun, ListsWhatStaysAndKeepsTheUsersFiles) {
    TFakeMachine machine = Installed();
    const std::string d = kDest;
    machine.AddFile(d + "\\Notes.txt");  // the user's own
    machine.InUse.insert(d + "\\App.exe");
    machine.Keys.clear();  // the setup had no right to write it: nothing to remove
    const TRemovalOutcome outcome = RunRemovalPlan(MakeRemovalPlan(InstalledLog(), Context()), Context(), machine);
    ASSERT_EQ(outcome.Problems.size(), 4u);
    EXPECT_EQ(outcome.Problems[0].Problem, TRemovalProblem::FileNotRemoved);
    EXPECT_EQ(outcome.Problems[0].What, d + "\\App.exe");
    EXPECT_EQ(outcome.Problems[0].Line, 12);
    EXPECT_EQ(outcome.Problems[1].Problem, TRemovalProblem::FolderNotEmpty);
    EXPECT_EQ(outcome.Problems[1].What, d);
    // The file in use keeps the entry and the log for another run.
    EXPECT_EQ(outcome.Problems[2].Problem, TRemovalProblem::KeyKept);
    EXPECT_EQ(outcome.Problems[3].Problem, TRemovalProblem::LogKept);
    EXPECT_TRUE(outcome.RewriteLog);
    EXPECT_TRUE(outcome.FoldersAfterExit.empty());
    EXPECT_TRUE(machine.Files.count(d + "\\Notes.txt"));
    EXPECT_TRUE(machine.Folders.count(d));
    EXPECT_EQ(std::count_if(machine.Calls.begin(), machine.Calls.end(),
                            [&](const std::string& c) { return c == "folder " + d; }),
              0);
}

TEST(RemovalRun, EmptyFoldersInsideARecordedFolderGoWithItAFileKeepsThemAll) {
    TFakeMachine machine = Installed();
    const std::string d = kDest;
    machine.Folders.insert(d + "\\Additional\\docs");  // made for a file in it, not recorded
    machine.Folders.insert(d + "\\Additional\\docs\\deeper");
    machine.AddFile(d + "\\Sounds\\mine\\song.wav");  // the user's, in a folder of his own
    machine.Folders.insert(d + "\\Sounds\\empty");
    const TRemovalOutcome outcome = RunRemovalPlan(MakeRemovalPlan(InstalledLog(), Context()), Context(), machine);
    ASSERT_EQ(outcome.Problems.size(), 2u);
    EXPECT_EQ(outcome.Problems[0].What, d + "\\Sounds");
    EXPECT_EQ(outcome.Problems[0].Problem, TRemovalProblem::FolderNotEmpty);
    EXPECT_EQ(outcome.Problems[1].What, d);
    EXPECT_FALSE(machine.Folders.count(d + "\\Additional"));
    EXPECT_FALSE(machine.Folders.count(d + "\\Additional\\docs\\deeper"));
    EXPECT_TRUE(machine.Files.count(d + "\\Sounds\\mine\\song.wav"));
    EXPECT_TRUE(machine.Folders.count(d + "\\Sounds\\empty"));  // nothing goes from a folder that stays
}

TEST(RemovalRun, ALinkToAFolderIsNeverFollowed) {
    TFakeMachine machine = Installed();
    const std::string d = kDest;
    machine.Links.insert(d + "\\Additional\\elsewhere");  // a junction to a folder outside
    machine.Folders.erase(d + "\\Sounds");
    machine.Links.insert(d + "\\Sounds");  // the recorded folder itself replaced by one
    const TRemovalOutcome outcome = RunRemovalPlan(MakeRemovalPlan(InstalledLog(), Context()), Context(), machine);
    ASSERT_EQ(outcome.Problems.size(), 3u);
    EXPECT_EQ(outcome.Problems[0].What, d + "\\Additional");
    EXPECT_EQ(outcome.Problems[0].Problem, TRemovalProblem::FolderNotEmpty);
    EXPECT_EQ(outcome.Problems[1].What, d + "\\Sounds");
    EXPECT_EQ(outcome.Problems[1].Problem, TRemovalProblem::FolderNotRemoved);
    EXPECT_TRUE(machine.Links.count(d + "\\Additional\\elsewhere"));
    EXPECT_TRUE(machine.Links.count(d + "\\Sounds"));
    for (const std::string& call : machine.Calls) EXPECT_EQ(call.find("elsewhere"), std::string::npos) << call;
}

TEST(RemovalRun, ATamperedLogRemovesNothingOutsideWhatTheSetupInstallsAndKeepsTheLog) {
    TFakeMachine machine = Installed();
    TSetupLog log = InstalledLog();
    const std::string d = kDest;
    struct TPlanted {
        TLogEntryKind Kind;
        const char* Path;
        TRemovalProblem Why;
    };
    const TPlanted planted[] = {
        {kFile, "C:\\Users\\Bob\\secret.txt", TRemovalProblem::OutsideInstallation},
        {kFile, "C:\\Apps\\AppOther\\x.exe", TRemovalProblem::OutsideInstallation},  // shares the prefix
        {kDir, "C:\\Windows\\System32\\drivers", TRemovalProblem::OutsideInstallation},
        {kDir, "C:\\Users\\Ann\\Documents", TRemovalProblem::OutsideInstallation},
        {kLink, "C:\\Users\\Ann\\Start Menu\\Programs\\App\\evil.exe", TRemovalProblem::NotAShortcut},
        {kLink, "C:\\Users\\Bob\\Desktop\\x.lnk", TRemovalProblem::OutsideInstallation},
        {kFile, "C:\\Users\\Ann\\Desktop\\x.lnk", TRemovalProblem::OutsideInstallation},  // a COPYFILE there
    };
    int line = 100;
    for (const TPlanted& p : planted) {
        log.Entries.push_back({p.Kind, p.Path, ++line});
        machine.AddFile(std::string(p.Path) + (p.Kind == kDir ? "\\f" : ""));
    }
    // Allowed: a shortcut on everyone's desktop and one in the destination.
    log.Entries.push_back({kLink, "C:\\Users\\Public\\Desktop\\App.lnk", ++line});
    machine.AddFile("C:\\Users\\Public\\Desktop\\App.lnk");
    const std::set<std::string> before = machine.Files;

    const TRemovalOutcome outcome = RunRemovalPlan(MakeRemovalPlan(log, Context()), Context(), machine);
    for (const TPlanted& p : planted) {
        const std::string path = std::string(p.Path) + (p.Kind == kDir ? "\\f" : "");
        EXPECT_TRUE(machine.Files.count(path)) << path;
        EXPECT_TRUE(std::any_of(outcome.Problems.begin(), outcome.Problems.end(), [&](const TProblemItem& item) {
            return item.What == p.Path && item.Problem == p.Why;
        })) << p.Path;
    }
    EXPECT_FALSE(machine.Files.count("C:\\Users\\Public\\Desktop\\App.lnk"));
    EXPECT_FALSE(machine.Files.count(d + "\\App.exe"));
    // The log stays with the entries it names, and says so.
    EXPECT_TRUE(machine.Files.count(d + "\\setup.log"));
    EXPECT_EQ(outcome.Problems.back().Problem, TRemovalProblem::LogKept);
}

TEST(RemovalRun, NothingIsRemovedThroughALinkBelowTheDestination) {
    TFakeMachine machine = Installed();
    const std::string d = kDest;
    machine.Folders.erase(d + "\\Graphics");
    machine.Links.insert(d + "\\Graphics");  // a junction to C:\Windows\System32, say
    const TRemovalOutcome outcome = RunRemovalPlan(MakeRemovalPlan(InstalledLog(), Context()), Context(), machine);
    EXPECT_TRUE(machine.Files.count(d + "\\Graphics\\a.gif"));
    ASSERT_FALSE(outcome.Problems.empty());
    EXPECT_EQ(outcome.Problems[0].Problem, TRemovalProblem::ThroughLink);
    EXPECT_EQ(outcome.Problems[0].What, d + "\\Graphics\\a.gif");
}

TEST(RemovalPlaces, ARemovalWaitsForTheRestartOnlyBelowFoldersNoUserCanChange) {
    const std::vector<std::string> folders = {"C:\\Program Files", "C:\\ProgramData\\Start Menu\\Programs"};
    const std::pair<const char*, bool> cases[] = {
        {"C:\\Program Files\\App\\App.exe", true},
        {"c:/program files/app", true},
        {"C:\\ProgramData\\Start Menu\\Programs\\App\\App.lnk", true},
        {"C:\\Program Files", false},  // the folder itself
        {"C:\\Program Files (x86)\\App", false},
        {"C:\\Program Files\\..\\Apps\\x.exe", false},
        {"C:\\Apps\\App\\App.exe", false},
        {"App\\App.exe", false},
    };
    for (const auto& [path, allowed] : cases) EXPECT_EQ(MayRemoveAtRestart(path, folders), allowed) << path;
}

TEST(RemovalPlaces, TheUninstallEntryIsRemovedOnlyWhenItStartsThisUninstaller) {
    const std::string self = "C:\\Apps\\App\\Uninstall.exe";
    EXPECT_TRUE(UninstallStringNames("\"C:\\Apps\\App\\Uninstall.exe\"", self));
    EXPECT_TRUE(UninstallStringNames("\"c:\\apps\\app\\uninstall.exe\" /S", self));
    EXPECT_TRUE(UninstallStringNames("C:\\Apps\\App\\Uninstall.exe /S", self));
    EXPECT_FALSE(UninstallStringNames("\"C:\\Other\\Uninstall.exe\"", self));
    EXPECT_FALSE(UninstallStringNames("\"C:\\Apps\\App\\Uninstall.exe", self));
    EXPECT_FALSE(UninstallStringNames("", self));
}

TEST(RemovalRun, SelfAndLogAreMatchedWithoutRegardToCase) {
    TFakeMachine machine = Installed();
    TRemovalContext context = Context();
    context.SelfPath = "c:\\apps\\app\\UNINSTALL.EXE";
    const TRemovalOutcome outcome = RunRemovalPlan(MakeRemovalPlan(InstalledLog(), context), context, machine);
    EXPECT_TRUE(outcome.Problems.empty());
    EXPECT_TRUE(machine.Files.count(std::string(kDest) + "\\Uninstall.exe"));
}

// The clean-up copy's work once the uninstaller has ended.
TEST(FinishAfterExit, RemovesTheUninstallerThenItsFolderAndWhatMayGoBeforeTheRestart) {
    const std::string d = "C:\\Program Files\\App", self = d + "\\Uninstall.exe", app = d + "\\App.exe";
    const std::vector<std::string> restart = {"C:\\Program Files"};
    {
        // The system lets go of the uninstaller's image after a moment; the program was closed meanwhile.
        TFakeMachine machine;
        machine.AddFile(self);
        machine.AddFile(app);
        machine.InUse = {self};
        int waits = 0;
        FinishAfterExit(self, {app, d}, restart, machine, [&] {
            machine.InUse.clear();
            return ++waits < 100;
        });
        EXPECT_EQ(waits, 1);
        EXPECT_TRUE(machine.Files.empty());
        EXPECT_FALSE(machine.Folders.count(d));
        EXPECT_TRUE(machine.AtRestart.empty());
    }
    {
        // The program still runs and the image is held for good: the folder goes at the restart, after both.
        TFakeMachine machine;
        machine.AddFile(self);
        machine.AddFile(app);
        machine.InUse = {self, app};
        int waits = 0;
        FinishAfterExit(self, {app, d}, restart, machine, [&] { return ++waits < 3; });
        EXPECT_EQ(waits, 3);
        EXPECT_EQ(machine.AtRestart, (std::vector<std::string>{self, d}));  // the program was arranged before
        EXPECT_TRUE(machine.Files.count(app));
    }
    {
        // Elsewhere only empty folders go: never a file, whatever the command line names.
        TFakeMachine machine;
        const std::string t = "C:\\Apps\\App";
        for (const std::string& file : {t + "\\Uninstall.exe", t + "\\Notes.txt", std::string("C:\\Users\\Ann\\x.txt")})
            machine.AddFile(file);
        FinishAfterExit(t + "\\Uninstall.exe", {"C:\\Users\\Ann\\x.txt", t}, restart, machine, [] { return false; });
        EXPECT_EQ(machine.Files, (std::set<std::string>{t + "\\Notes.txt", "C:\\Users\\Ann\\x.txt"}));
        EXPECT_TRUE(machine.Folders.count(t));
        EXPECT_TRUE(machine.AtRestart.empty());
    }
}

// The file side of the real machine, on a folder of the test's own.
class TDiskMachine : public TFileSystemMachine {
public:
    TResult RemoveUninstallKey(const std::string&) override { return TResult::Absent; }
    bool RemoveAfterExit(const std::string&, const std::vector<std::string>&) override { return false; }
    bool RemoveAtRestart(const std::string&) override { return false; }
};

TEST(FileSystemMachine, RemovesReadOnlyFilesAndOnlyEmptyFolders) {
    TTempFolder temp;
    TDiskMachine machine;
    test::WriteBytes(temp / "d/locked.txt", test::Bytes{1});
    ASSERT_TRUE(fs::SetReadOnly(temp / "d/locked.txt", true));
    EXPECT_EQ(machine.KindOf(temp / "d"), TDiskMachine::TKind::Folder);
    EXPECT_EQ(machine.KindOf(temp / "d/locked.txt"), TDiskMachine::TKind::File);
    EXPECT_EQ(machine.FolderEntries(temp / "d"), std::vector<std::string>{"locked.txt"});
    EXPECT_EQ(machine.RemoveEmptyFolder(temp / "d"), TDiskMachine::TResult::Failed);
    EXPECT_EQ(machine.RemoveFile(temp / "d"), TDiskMachine::TResult::Failed);  // a folder is no file
    EXPECT_EQ(machine.RemoveFile(temp / "d/locked.txt"), TDiskMachine::TResult::Removed);
    EXPECT_EQ(machine.RemoveFile(temp / "d/locked.txt"), TDiskMachine::TResult::Absent);
    EXPECT_EQ(machine.RemoveEmptyFolder(temp / "d"), TDiskMachine::TResult::Removed);
    EXPECT_EQ(machine.KindOf(temp / "d"), TDiskMachine::TKind::None);
}

TEST(FileSystemMachine, ReplacesTheLogThroughAFreshFileNeverThroughOnePlantedBeside) {
    TTempFolder temp;
    TDiskMachine machine;
    const std::string log = temp / "setup.log", victim = temp / "victim";
    test::WriteBytes(log, test::Bytes{'o', 'l', 'd'});
    test::WriteBytes(victim, test::Bytes{'v'});
    ASSERT_EQ(symlink(fs::NativePath(victim).c_str(), fs::NativePath(log + ".1.new").c_str()), 0);
    ASSERT_EQ(symlink(fs::NativePath(temp / "none").c_str(), fs::NativePath(log + ".2.new").c_str()), 0);
    EXPECT_TRUE(machine.ReplaceLog(log, "new"));
    EXPECT_EQ(test::ReadBytes(log), (test::Bytes{'n', 'e', 'w'}));
    EXPECT_EQ(test::ReadBytes(victim), test::Bytes{'v'});
    EXPECT_FALSE(fs::PathExists(temp / "none"));
    EXPECT_FALSE(fs::PathExists(log + ".3.new"));
    EXPECT_FALSE(machine.ReplaceLog(temp / "gone/setup.log", "new"));
}

// A user who answers as told and remembers what was said.
class TFakeUser : public IUninstallUser {
public:
    explicit TFakeUser(bool yes) : yes_(yes) {}
    bool Ask(const std::string&, const std::string& text) override {
        Said.push_back("? " + text);
        return yes_;
    }
    void Tell(const std::string&, const std::string& text, bool problem) override {
        Said.push_back((problem ? "! " : ". ") + text);
    }
    // Retry while this says so; Skip without it.
    std::function<bool()> Retry;
    bool AskRetry(const std::string&, const std::string& text, const std::string& retry,
                  const std::string& skip) override {
        Said.push_back("? " + text + " [" + retry + "|" + skip + "]");
        return Retry && Retry();
    }
    std::vector<std::string> Said;

private:
    bool yes_;
};

class UninstallRun : public ::testing::Test {
protected:
    void WriteLog(const std::string& text) {
        test::WriteBytes(context_.LogPath, test::Bytes(text.begin(), text.end()));
    }
    void WriteInstalledLog() {
        std::string text = "SetupLOG\r\nNAME=App\r\nKEY=App\r\n";
        for (const TSetupLogEntry& e : InstalledLog().Entries) text += FormatLogEntry(e.Kind, e.Path) + "\r\n";
        WriteLog(text);
    }
    int Run(IUninstallUser* user, TLanguage language = TLanguage::English) {
        return RunUninstall(context_, machine_, user, language);
    }

    TTempFolder folder_;
    TRemovalContext context_{folder_ / "setup.log", std::string(kDest) + "\\Uninstall.exe", kSystem, {kPrograms}};
    TFakeMachine machine_ = WithoutLog(Installed());

    // The log the fixture reads lies in the test's folder, not in the destination.
    static TFakeMachine WithoutLog(TFakeMachine machine) {
        machine.Files.erase(std::string(kDest) + "\\setup.log");
        return machine;
    }
};

TEST_F(UninstallRun, WithoutAUsableLogNothingIsAskedOrRemoved) {
    TFakeUser user(true);
    EXPECT_EQ(Run(&user), kUninstallNoLog);
    EXPECT_EQ(user.Said,
              (std::vector<std::string>{"! The setup log " + context_.LogPath +
                                        " cannot be used. The file does not exist.\r\nNothing was removed."}));
    WriteLog("Setup.log\r\nNAME=App\r\nKEY=App\r\nCOPYFILE=C:\\Apps\\App\\App.exe\r\n");
    EXPECT_EQ(Run(nullptr), kUninstallNoLog);
    EXPECT_TRUE(machine_.Calls.empty());
}

TEST_F(UninstallRun, NoMeansNothingIsRemoved) {
    WriteInstalledLog();
    TFakeUser user(false);
    EXPECT_EQ(Run(&user), kUninstallDeclined);
    EXPECT_EQ(user.Said, (std::vector<std::string>{"? Do you want to remove App and all of its components?"}));
    EXPECT_TRUE(machine_.Calls.empty());
}

TEST_F(UninstallRun, YesRemovesAndSaysSo) {
    WriteInstalledLog();
    TFakeUser user(true);
    EXPECT_EQ(Run(&user, TLanguage::German), kUninstallDone);
    EXPECT_EQ(machine_.Later, (std::vector<std::string>{context_.SelfPath, kDest}));
    EXPECT_EQ(user.Said, (std::vector<std::string>{"? Wollen Sie App und alle zugeh\xF6rigen Komponenten entfernen?",
                                                   ". App wurde entfernt."}));
}

TEST_F(UninstallRun, WhatStaysIsListedAndGivesExitCodeThree) {
    WriteInstalledLog();
    machine_.AddFile(std::string(kDest) + "\\Notes.txt");  // the user's own
    TFakeUser user(true);
    EXPECT_EQ(Run(&user), kUninstallIncomplete);
    ASSERT_EQ(user.Said.size(), 2u);
    EXPECT_EQ(user.Said[1], std::string("! App was removed, except:\r\n") + kDest + " (the folder is not empty)");
    EXPECT_TRUE(machine_.Keys.empty());  // nothing of the installation is left to run again for
    // The log in use, with no restart to wait for: it stays, and so does the uninstaller.
    machine_ = WithoutLog(Installed());
    machine_.InUse.insert(context_.LogPath);
    machine_.AddFile(context_.LogPath);
    EXPECT_EQ(Run(nullptr), kUninstallIncomplete);
    EXPECT_TRUE(machine_.Later.empty());  // the log is still there: so is the uninstaller
}

TEST_F(UninstallRun, AnUninstallerThatCannotGoAfterItsEndGoesAtTheRestartOrSaysSo) {
    WriteInstalledLog();
    machine_.CanRemoveLater = false;
    TFakeUser user(true);
    EXPECT_EQ(Run(&user), kUninstallIncomplete);
    EXPECT_EQ(user.Said.back(), std::string("! App was removed, except:\r\n") + kDest +
                                    "\\Uninstall.exe (in use or protected)\r\n" + kDest + " (the folder is not empty)");
    // Where it may wait for the restart it goes then, and its folder after it.
    machine_ = WithoutLog(Installed());
    machine_.CanRemoveLater = false;
    context_.RestartFolders = {"C:\\Apps"};
    EXPECT_EQ(Run(nullptr), kUninstallIncomplete);
    EXPECT_EQ(machine_.AtRestart, (std::vector<std::string>{context_.SelfPath, kDest}));
}

TEST_F(UninstallRun, AFileInUseIsNamedUntilItIsClosedAndThenRemoved) {
    WriteInstalledLog();
    const std::string app = std::string(kDest) + "\\App.exe";
    machine_.InUse.insert(app);
    TFakeUser user(true);
    int asked = 0;
    user.Retry = [&] {
        if (++asked == 2) machine_.InUse.clear();  // closed while the second question is open
        return true;
    };
    EXPECT_EQ(Run(&user), kUninstallDone);
    const std::string question = "? " + app +
                                 "\r\n\r\nThis file cannot be removed: it is in use or protected. Close the program "
                                 "and choose Retry, or Skip to remove it later. [&Retry|&Skip]";
    EXPECT_EQ(user.Said, (std::vector<std::string>{"? Do you want to remove App and all of its components?", question,
                                                   question, ". App was removed."}));
    EXPECT_FALSE(machine_.Files.count(app));
    EXPECT_TRUE(machine_.AtRestart.empty());
}

TEST_F(UninstallRun, WhatStaysInUseGoesAtTheRestartAndTheFoldersThatHoldItAfterIt) {
    const std::string d = kDest, app = d + "\\App.exe";
    const std::string told = "! App wurde entfernt. Ein Neustart schlie\xDFt das Entfernen ab, dann werden entfernt:\r\n" +
                             app + "\r\n" + d + "\\Sounds\r\n" + d;
    for (const bool silent : {true, false}) {
        machine_ = WithoutLog(Installed());
        machine_.InUse = {app, d + "\\Sounds"};  // the program runs; a window has that folder open
        context_.RestartFolders = {"C:\\Apps"};
        WriteInstalledLog();
        TFakeUser user(true);  // who skips
        EXPECT_EQ(Run(silent ? nullptr : &user, TLanguage::German), kUninstallIncomplete);
        EXPECT_EQ(machine_.AtRestart, (std::vector<std::string>{app, d + "\\Sounds", d}));
        EXPECT_TRUE(machine_.Keys.empty());
        // What was left to the restart is handed over too: it goes after the end if it may by then.
        EXPECT_EQ(machine_.Later, (std::vector<std::string>{context_.SelfPath, app, d + "\\Sounds", d}));
        EXPECT_EQ(machine_.Files, (std::set<std::string>{app, context_.SelfPath}));
        if (!silent) {
            ASSERT_EQ(user.Said.size(), 3u);
            EXPECT_EQ(user.Said[2], told);
        }
    }
}

TEST_F(UninstallRun, WhatCannotWaitForTheRestartKeepsTheEntryAndALogOfWhatStayedForASecondRun) {
    const std::string d = kDest, app = d + "\\App.exe";
    // Outside the folders where a removal may wait for the restart, and where the system refuses.
    for (const bool refused : {false, true}) {
        machine_ = WithoutLog(Installed());
        machine_.InUse = {app};
        machine_.CanRemoveAtRestart = !refused;
        context_.RestartFolders = refused ? std::vector<std::string>{"C:\\Apps"} : std::vector<std::string>{};
        WriteInstalledLog();
        TFakeUser user(true);
        EXPECT_EQ(Run(&user), kUninstallIncomplete);
        EXPECT_EQ(machine_.Keys, std::set<std::string>{"App"});
        EXPECT_TRUE(machine_.Later.empty()) << "the uninstaller must stay";
        EXPECT_EQ(machine_.ReplacedLog, "SetupLOG\r\nNAME=App\r\nKEY=App\r\nCOPYFILE=" + d + "\\Uninstall.exe\r\nCOPYFILE=" +
                                            app + "\r\nDIRECTORY=" + d + "\r\n");
        EXPECT_EQ(user.Said.back(), "! App was removed, except:\r\n" + app + " (in use or protected)\r\n" + d +
                                        " (the folder is not empty)\r\nHKEY_LOCAL_MACHINE\\" + kUninstallRootKey +
                                        "App (kept, so that the uninstaller can be run again)\r\n" + context_.LogPath +
                                        " (kept, as it names entries that were not removed)\r\n\r\nClose the program "
                                        "that uses them and run the uninstaller again to finish the removal.");
    }
    // Once the program is closed, a second run on the rewritten log finishes the job.
    WriteLog(machine_.ReplacedLog);
    machine_.InUse.clear();
    EXPECT_EQ(Run(nullptr), kUninstallDone);
    EXPECT_TRUE(machine_.Keys.empty());
    EXPECT_EQ(machine_.Later, (std::vector<std::string>{context_.SelfPath, d}));
    EXPECT_EQ(machine_.Files, std::set<std::string>{context_.SelfPath});
}

}  // namespace
}  // namespace zub
