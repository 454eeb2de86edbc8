#include "setup/finish_setup.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "setup/install_run.h"
#include "setup/run_trace.h"
#include "tests/unit/archive_test_util.h"
#include "tests/unit/install_test_system.h"

namespace zub {
namespace {

using Lines = std::vector<std::string>;

// "Name=text", "Name:number" or "Name (absent)", in the entry's order.
Lines ValuesOf(const TUninstallEntry& entry) {
    Lines values;
    for (const TRegistryValue& v : entry.Values) {
        switch (v.Kind) {
            case TRegistryValue::TKind::Text: values.push_back(v.Name + "=" + v.Text); break;
            case TRegistryValue::TKind::Number: values.push_back(v.Name + ":" + std::to_string(v.Number)); break;
            case TRegistryValue::TKind::Absent: values.push_back(v.Name + " (absent)"); break;
        }
    }
    return values;
}

class FinishSetupTest : public test::TInstallTest {
protected:
    void SetUp() override {
        data_.Destination = root_ + "\\App";
        data_.ReadMe = "Read Me.txt";
        ASSERT_TRUE(fs::ForceDirectories(data_.Destination));
        system_.Desktop = root_ + "\\Desktop";
        ASSERT_TRUE(fs::CreateDir(system_.Desktop));
        log_.AddDirectoryEntry(data_.Destination);
        log_.AddFileEntry(data_.Destination + "\\App.exe");
        for (const char* file : {"\\App.exe", "\\Read Me.txt"}) test::WriteBytes(data_.Destination + file, {'x'});
    }
    std::string LogText() { return test::ReadText(data_.Destination + "\\setup.log"); }
    void Finish(const TFinishChoices& choices) { FinishSetup(data_, log_, choices, system_, journal_); }
};

TEST_F(FinishSetupTest, AllOptionsInTheirOrder) {
    Finish({true, true, true});
    const std::string d = data_.Destination, link = system_.Desktop + "\\App Title.lnk";
    EXPECT_EQ(system_.Events, (Lines{
                                  "link " + link,
                                  "registry",
                                  "open C:\\WINDOWS\\notepad.exe " + d + "\\Read Me.txt",
                                  "cd " + d,
                                  "open " + d + "\\App.exe",
                              }));
    const TShortcut& shortcut = system_.Shortcuts.at(link);
    EXPECT_EQ(shortcut.Target, d + "\\App.exe");
    EXPECT_EQ(shortcut.WorkingFolder, d);
    EXPECT_EQ(shortcut.Description, "App Title");
    EXPECT_EQ(shortcut.Arguments, "");
    EXPECT_EQ(LogText(), "SetupLOG\r\nNAME=App Title\r\nKEY=App Title\r\nLINK=" + link + "\r\nCOPYFILE=" + d +
                             "\\App.exe\r\nDIRECTORY=" + d + "\r\n");
    ASSERT_EQ(system_.UninstallEntries.size(), 1u);
    EXPECT_EQ(system_.UninstallEntries[0].KeyName, "App Title");
    const std::string uninstaller = "\"" + d + "\\Uninstall.exe\"";
    EXPECT_EQ(ValuesOf(system_.UninstallEntries[0]), (Lines{
                                                          "DisplayName=App Title",
                                                          "UninstallString=" + uninstaller,
                                                          "QuietUninstallString=" + uninstaller + " /S",
                                                          "DisplayVersion (absent)",
                                                          "Publisher (absent)",
                                                          "URLInfoAbout (absent)",
                                                          "DisplayIcon=" + d + "\\App.exe,0",
                                                          "InstallLocation=" + d,
                                                          "EstimatedSize:1",  // App.exe: one byte, one KiB
                                                          "InstallDate=20260102",
                                                          "NoModify:1",
                                                          "NoRepair:1",
                                                      }));
}

TEST_F(FinishSetupTest, SetupIniValuesAndSizeGoIntoTheEntry) {
    data_.Version = "2.1";
    data_.Publisher = "Maker";
    data_.Website = "https://example.org/";
    test::WriteBytes(data_.Destination + "\\Big.dat", test::Bytes(2049, 'b'));
    log_.AddFileEntry(data_.Destination + "\\Big.dat");
    log_.AddFileEntry(data_.Destination + "\\Big.dat");  // listed twice, counted once
    log_.AddFileEntry(data_.Destination + "\\Missing.dat");
    Finish({});
    const Lines values = ValuesOf(system_.UninstallEntries.at(0));
    EXPECT_EQ(Lines(values.begin() + 3, values.begin() + 6),
              (Lines{"DisplayVersion=2.1", "Publisher=Maker", "URLInfoAbout=https://example.org/"}));
    EXPECT_EQ(values.at(8), "EstimatedSize:3");  // 1 + 2049 bytes, rounded up
}

TEST_F(FinishSetupTest, NothingTickedWritesOnlyEntryAndLog) {
    Finish({});
    EXPECT_EQ(system_.Events, Lines{"registry"});
    const std::string d = data_.Destination;
    EXPECT_EQ(LogText(), "SetupLOG\r\nNAME=App Title\r\nKEY=App Title\r\nCOPYFILE=" + d + "\\App.exe\r\nDIRECTORY=" + d + "\r\n");
}

TEST_F(FinishSetupTest, DesktopBackslashIsNotDoubledAndNoDesktopFolderMeansNoShortcut) {
    system_.Desktop += "\\";
    Finish({true, false, false});
    EXPECT_EQ(system_.Events[0], "link " + system_.Desktop + "App Title.lnk");

    system_.Desktop = "";
    system_.Events.clear();
    log_.Lines.pop_front();
    Finish({true, false, false});
    EXPECT_EQ(system_.Events, Lines{"registry"});
    EXPECT_EQ(log_.Lines.front(), "COPYFILE=" + data_.Destination + "\\App.exe");
}

TEST_F(FinishSetupTest, RegistryErrorComesAfterTheLogStopsBeforeTheStartsAndCanBeRunAgain) {
    system_.UninstallError = "Unable to open or create the registry key";
    EXPECT_THROW(Finish({true, true, true}), Error);
    EXPECT_EQ(system_.Events, (Lines{"link " + system_.Desktop + "\\App Title.lnk", "registry"}));
    EXPECT_TRUE(fs::FileExists(data_.Destination + "\\setup.log"));  // never an entry without its log

    system_.UninstallError.clear();
    Finish({true, true, true});
    // The shortcut was made again, but is listed once; the header is there once.
    const std::string text = LogText();
    EXPECT_EQ(text.find("LINK="), text.rfind("LINK="));
    EXPECT_EQ(text.find("SetupLOG"), text.rfind("SetupLOG"));
    EXPECT_EQ(system_.Events.back(), "open " + data_.Destination + "\\App.exe");
    EXPECT_TRUE(journal_.Empty());  // complete: nothing left to undo
}

TEST_F(FinishSetupTest, AfterARegistryErrorTheUndoRemovesTheLogAndShortcutAndPutsBackTheEarlierLog) {
    const std::string logFile = data_.Destination + "\\setup.log", link = system_.Desktop + "\\App Title.lnk";
    test::WriteBytes(logFile, {'o', 'l', 'd'});
    system_.UninstallError = "Unable to open or create the registry key";
    EXPECT_THROW(Finish({true, false, false}), Error);
    const std::string d = data_.Destination;
    EXPECT_EQ(LogText(), "SetupLOG\r\nNAME=App Title\r\nKEY=App Title\r\nLINK=" + link + "\r\nCOPYFILE=" + d +
                             "\\App.exe\r\nDIRECTORY=" + d + "\r\n");
    TInstallAborted undone = UndoInstallation(journal_, log_, system_, "English", "");
    EXPECT_FALSE(undone.Incomplete);
    EXPECT_EQ(std::string(undone.what()), InstallCancelledText("English"));
    EXPECT_EQ(LogText(), "old");
    EXPECT_FALSE(fs::PathExists(link));
    EXPECT_TRUE(log_.Lines.empty());
}

TEST_F(FinishSetupTest, LogThatCannotBeWrittenStopsBeforeTheEntryAndTheStarts) {
    data_.Destination = root_ + "\\Gone";
    try {
        Finish({false, true, true});
        ADD_FAILURE() << "no error";
    } catch (const Error& e) {
        EXPECT_EQ(std::string(e.what()), "Datei " + data_.Destination + "\\setup.log kann nicht erstellt werden");
    }
    EXPECT_TRUE(system_.Events.empty());
}

TEST_F(FinishSetupTest, NothingIsStartedThatWasNotInstalled) {
    fs::RemoveFile(data_.Destination + "\\Read Me.txt");
    fs::RemoveFile(data_.Destination + "\\App.exe");
    Finish({false, true, true});
    EXPECT_EQ(system_.Events, Lines{"registry"});

    data_.TargetFile = "";  // blank: the destination folder itself would open
    Finish({false, false, true});
    EXPECT_EQ(system_.Events, (Lines{"registry", "registry"}));
}

TEST_F(FinishSetupTest, ElevatedTheDesktopsShellStartsBothAndTheSetupOnlyWhatTheShellCannot) {
    system_.Elevated = true;
    system_.DesktopStart = {true, ""};
    const std::string d = data_.Destination, notepad = "C:\\WINDOWS\\notepad.exe";
    TFinishStarts starts = FinishSetup(data_, log_, {false, true, true}, system_, journal_);
    EXPECT_EQ(system_.Events, (Lines{"registry", "desktop " + notepad + " " + d + "\\Read Me.txt in ",
                                     "desktop " + d + "\\App.exe in " + d}));
    ASSERT_TRUE(starts.ReadMe && starts.Program);
    EXPECT_EQ(starts.Program->Route, TStartRoute::DesktopUser);

    // No desktop shell to ask: the setup starts them itself, the program in its folder.
    system_.DesktopStart = {false, "no window list"};
    system_.Events.clear();
    starts = FinishSetup(data_, log_, {false, true, true}, system_, journal_);
    EXPECT_EQ(system_.Events, (Lines{"registry", "desktop " + notepad + " " + d + "\\Read Me.txt in ",
                                     "open " + notepad + " " + d + "\\Read Me.txt", "desktop " + d + "\\App.exe in " + d,
                                     "cd " + d, "open " + d + "\\App.exe"}));
    EXPECT_EQ(starts.ReadMe->Route, TStartRoute::Direct);
    EXPECT_EQ(starts.Program->DesktopFailure, "no window list");

    // Neither can: both reasons come back, and the setup still ends as installed.
    system_.DirectStart = {false, "refused"};
    starts = FinishSetup(data_, log_, {false, false, true}, system_, journal_);
    EXPECT_FALSE(starts.ReadMe);
    EXPECT_EQ(starts.Program->Route, TStartRoute::NotStarted);
    EXPECT_EQ(starts.Program->DesktopFailure + "; " + starts.Program->Failure, "no window list; refused");
    EXPECT_TRUE(journal_.Empty());
}

TEST_F(FinishSetupTest, NotElevatedTheSetupStartsThemItselfAndTheTraceTellsEachStart) {
    TTempFolder traceFolder;
    TRunTrace trace;
    trace.Open(traceFolder / "trace.txt");
    TTracingInstallSystem traced(system_, trace);
    const std::string app = data_.Destination + "\\App.exe";
    EXPECT_EQ(StartProgram(traced, app, "", data_.Destination).Route, TStartRoute::Direct);
    EXPECT_EQ(system_.Events, (Lines{"cd " + data_.Destination, "open " + app}));

    system_.Elevated = true;
    system_.DesktopStart = {false, "no window list"};
    system_.DirectStart = {false, "refused"};
    StartProgram(traced, app, "-x", "");
    system_.DesktopStart = {true, ""};
    StartProgram(traced, app, "", "");
    const test::Bytes text = test::ReadBytes(traceFolder / "trace.txt");
    EXPECT_EQ(std::string(text.begin(), text.end()),
              "started: " + app + "\r\n"
              "not started through the desktop's shell: " + app + " -x: no window list\r\n"
              "error: " + app + " -x could not be started: refused\r\n"
              "started as the desktop's user: " + app + "\r\n");
}

TEST_F(FinishSetupTest, BlankTitleTakesTheProgramNameAsKey) {
    data_.RazederodezTitle = "";
    Finish({});
    EXPECT_EQ(system_.UninstallEntries.at(0).KeyName, "App");
    const std::string d = data_.Destination;
    EXPECT_EQ(LogText(), "SetupLOG\r\nNAME=\r\nKEY=App\r\nCOPYFILE=" + d + "\\App.exe\r\nDIRECTORY=" + d + "\r\n");
}

}  // namespace
}  // namespace zub
