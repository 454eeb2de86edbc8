#include "setup/install_run.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cerrno>
#include <cstring>
#include <string>
#include <vector>

#include "setup/install_copies.h"
#include "shell/shell.h"
#include "tests/unit/archive_test_util.h"
#include "tests/unit/install_test_system.h"

namespace zub {
namespace {

using Lines = std::vector<std::string>;

class InstallRunTest : public test::TInstallTest {
protected:
    void SetUp() override {
        data_.Destination = root_ + "\\Apps\\App";
        data_.Language = "English";
        system_.Programs = root_ + "\\Programs";
        ASSERT_TRUE(fs::ForceDirectories(system_.Programs));
    }

    void Source(const std::string& entry, const std::string& text) {
        test::WriteBytes(data_.WorkFolder + entry, test::Bytes(text.begin(), text.end()));
        data_.AddFiles.push_back(entry);
    }
    Lines LogLines() const { return Lines(log_.Lines.begin(), log_.Lines.end()); }
    void Install() { TInstallRun(data_, log_, system_, page_, journal_).InstallFiles(); }
    // Runs and expects it to fail with `message`.
    void InstallFails(const std::string& message) {
        try {
            Install();
            ADD_FAILURE() << "the run did not fail";
        } catch (const Error& e) {
            EXPECT_EQ(std::string(e.what()), message);
        }
    }

    test::TFakeCopyPage page_;
};

TEST_F(InstallRunTest, CopiesEveryFileMakesProgramFolderAndRecordsInOrder) {
    Source("App.exe", "program");
    Source("Uninstall.exe", "uninstaller");
    Source("Additional\\docs\\Manual.txt", "manual");
    Source("App.exe", "program");  // listed twice: copied and recorded twice
    data_.Folder = "My App";
    data_.ReadMe = "Additional\\docs\\Manual.txt";
    Install();

    const std::string d = data_.Destination, p = system_.Programs + "\\My App";
    EXPECT_EQ(LogLines(), (Lines{
                              "LINK=" + p + "\\Manual.txt.lnk",
                              "LINK=" + p + "\\Uninstall.lnk",
                              "LINK=" + p + "\\App Title.lnk",
                              "DIRECTORY=" + p,
                              "COPYFILE=" + d + "\\App.exe",
                              "COPYFILE=" + d + "\\Additional\\docs\\Manual.txt",
                              "DIRECTORY=" + d + "\\Additional\\docs",
                              "COPYFILE=" + d + "\\Uninstall.exe",
                              "COPYFILE=" + d + "\\App.exe",
                              "DIRECTORY=" + d + "\\Additional",
                              "DIRECTORY=" + d + "\\Sounds",
                              "DIRECTORY=" + d + "\\Graphics",
                              "DIRECTORY=" + d,
                          }));
    EXPECT_EQ(test::ReadText(d + "\\App.exe"), "program");
    EXPECT_EQ(test::ReadText(d + "\\Additional\\docs\\Manual.txt"), "manual");
    EXPECT_TRUE(fs::DirectoryExists(d + "\\Sounds"));
    EXPECT_EQ(page_.Messages, (Lines{"copying App.exe", "copying Uninstall.exe",
                                     "copying Additional\\docs\\Manual.txt", "copying App.exe"}));

    const TShortcut& program = system_.Shortcuts.at(p + "\\App Title.lnk");
    EXPECT_EQ(program.Target, d + "\\App.exe");
    EXPECT_EQ(program.Arguments, "");
    EXPECT_EQ(program.WorkingFolder, d);
    EXPECT_EQ(program.Description, "App Title");
    EXPECT_EQ(program.ShowCommand, 1);
    const TShortcut& uninstall = system_.Shortcuts.at(p + "\\Uninstall.lnk");
    EXPECT_EQ(uninstall.Target, d + "\\uninstall.exe");
    EXPECT_EQ(uninstall.WorkingFolder, d);
    EXPECT_EQ(uninstall.Description, "Uninstall App Title");
    const TShortcut& readMe = system_.Shortcuts.at(p + "\\Manual.txt.lnk");
    EXPECT_EQ(readMe.Target, "C:\\WINDOWS\\notepad.exe");
    EXPECT_EQ(readMe.Arguments, d + "\\Additional\\docs\\Manual.txt");
    EXPECT_EQ(readMe.WorkingFolder, "");
    EXPECT_EQ(readMe.Description, "Manual.txt");
}

TEST_F(InstallRunTest, DestinationWithTrailingBackslashGivesDoubledBackslashesAsBuilt) {
    data_.Destination += "\\";
    Source("Graphics\\a.gif", "gif");
    Install();
    const std::string d = data_.Destination;
    EXPECT_EQ(LogLines(), (Lines{"COPYFILE=" + d + "\\Graphics\\a.gif", "DIRECTORY=" + d + "\\Additional",
                                 "DIRECTORY=" + d + "\\Sounds", "DIRECTORY=" + d + "\\Graphics", "DIRECTORY=" + d}));
    EXPECT_NE(LogLines()[0].find("App\\\\Graphics"), std::string::npos);
    EXPECT_EQ(test::ReadText(d + "Graphics\\a.gif"), "gif");
}

TEST_F(InstallRunTest, ExistingProgramFolderIsUsedButNotRecorded) {
    data_.Folder = "Existing";
    ASSERT_TRUE(fs::CreateDir(system_.Programs + "\\Existing"));
    system_.Programs += "\\";  // a trailing backslash from the shell is not doubled
    Install();
    const std::string p = system_.Programs + "Existing";
    EXPECT_EQ(LogLines()[0], "LINK=" + p + "\\Uninstall.lnk");
    EXPECT_EQ(LogLines()[1], "LINK=" + p + "\\App Title.lnk");
    EXPECT_EQ(LogLines()[2], "DIRECTORY=" + data_.Destination + "\\Additional");
    EXPECT_EQ(system_.Shortcuts.size(), 2u);  // no read-me shortcut without ReadMe
}

TEST_F(InstallRunTest, NoProgramFolderWhenFolderIsBlankOrTheShellKnowsNone) {
    for (const char* folder : {"", " \t "}) {
        SCOPED_TRACE(folder);
        log_.Lines.clear();
        data_.Folder = folder;
        Install();
        EXPECT_EQ(log_.Lines.size(), 4u);
    }
    data_.Folder = "My App";
    system_.Programs = "";
    log_.Lines.clear();
    Install();
    EXPECT_EQ(log_.Lines.size(), 4u);
    EXPECT_TRUE(system_.Shortcuts.empty());
}

TEST_F(InstallRunTest, ReadMeShortcutQuotesAPathWithBlanks) {
    data_.Destination = root_ + "\\Program Files\\App";
    data_.Folder = "App";
    data_.ReadMe = "Read Me.txt";
    Source("Read Me.txt", "read me");
    Install();
    const TShortcut& link = system_.Shortcuts.at(system_.Programs + "\\App\\Read Me.txt.lnk");
    EXPECT_EQ(link.Arguments, "\"" + data_.Destination + "\\Read Me.txt\"");
}

TEST_F(InstallRunTest, ProgressIsSetBeforeEachFileAndReaches100) {
    struct Case {
        size_t files;
        std::vector<int> expected;
    };
    std::vector<int> of150;
    for (int i = 0; i < 150; ++i) of150.push_back(i * 100 / 150);
    of150.push_back(100);
    for (const Case& c : {Case{0, {}}, Case{1, {0, 100}}, Case{3, {0, 33, 66, 100}}, Case{150, of150}}) {
        SCOPED_TRACE(c.files);
        data_.AddFiles.clear();
        page_.Positions.clear();
        for (size_t i = 0; i < c.files; ++i) Source("f" + std::to_string(i) + ".txt", "x");
        Install();
        EXPECT_EQ(page_.Positions, c.expected);
    }
    EXPECT_GT(page_.Pumps, 150);  // between files and, through the copy, while a file copies
    EXPECT_GT(system_.PumpsDuringCopy, 0);
}

TEST_F(InstallRunTest, MissingSourceAsksAndRetrySucceedsOnceTheFileIsThere) {
    Source("App.exe", "program");
    data_.AddFiles.push_back("Late.dat");
    page_.Answers = {[] { return true; },  // retried while still missing
                     [this] {
                         test::WriteBytes(data_.WorkFolder + "Late.dat", {'o', 'k'});
                         return true;
                     }};
    Install();
    ASSERT_EQ(page_.Questions.size(), 2u);
    const std::string target = data_.Destination + "\\Late.dat";
    EXPECT_EQ(page_.Questions[0], "The file " + target + " could not be copied:\n" + std::strerror(ENOENT) +
                                      "\n\nRetry tries again; Cancel ends the setup and removes what it has installed so far.");
    EXPECT_EQ(test::ReadText(target), "ok");
    EXPECT_EQ(LogLines()[0], "COPYFILE=" + target);
    EXPECT_EQ(LogLines()[1], "COPYFILE=" + data_.Destination + "\\App.exe");
}

TEST_F(InstallRunTest, QuestionIsInTheWizardsLanguage) {
    data_.Language = "German";
    data_.AddFiles.push_back("Missing.dat");
    InstallFails(InstallCancelledText("German"));
    ASSERT_EQ(page_.Questions.size(), 1u);
    EXPECT_EQ(page_.Questions[0], "Die Datei " + data_.Destination + "\\Missing.dat konnte nicht kopiert werden:\n" +
                                      std::strerror(ENOENT) +
                                      "\n\n\"Wiederholen\" versucht es noch einmal, \"Abbrechen\" beendet das Setup und "
                                      "entfernt, was es bis jetzt installiert hat.");
}

TEST_F(InstallRunTest, CancelRemovesWhatTheRunMadeAndKeepsWhatWasThere) {
    // The destination exists with a file of the user's and an older copy of App.exe.
    const std::string d = data_.Destination;
    test::WriteBytes(d + "\\user.txt", {'u'});
    test::WriteBytes(d + "\\App.exe", {'o', 'l', 'd'});
    ASSERT_TRUE(fs::CreateDir(d + "\\Sounds"));
    Source("App.exe", "new");
    Source("Additional\\docs\\Manual.txt", "manual");
    Source("Graphics\\a.gif", "gif");
    data_.AddFiles.push_back("Missing.dat");
    data_.Folder = "My App";
    InstallFails(InstallCancelledText("English"));

    EXPECT_TRUE(log_.Lines.empty());
    EXPECT_EQ(test::ReadText(d + "\\user.txt"), "u");
    EXPECT_EQ(test::ReadText(d + "\\App.exe"), "old");  // it was there before: back byte for byte
    EXPECT_FALSE(fs::PathExists(BackupName(d + "\\App.exe", 1)));
    EXPECT_TRUE(fs::DirectoryExists(d + "\\Sounds"));
    for (const char* gone : {"\\Additional\\docs\\Manual.txt", "\\Graphics\\a.gif", "\\Missing.dat"})
        EXPECT_FALSE(fs::PathExists(d + gone)) << gone;
    for (const char* gone : {"\\Additional\\docs", "\\Additional", "\\Graphics"})
        EXPECT_FALSE(fs::PathExists(d + gone)) << gone;
    EXPECT_FALSE(fs::PathExists(system_.Programs + "\\My App"));
}

TEST_F(InstallRunTest, ProgramFolderSeveralLevelsDeepHasEveryMissingLevelMadeAndRecordedOutermostFirst) {
    Source("App.exe", "program");
    data_.Folder = "Company\\App";
    Install();
    const std::string p = system_.Programs;
    EXPECT_EQ(LogLines()[1], "LINK=" + p + "\\Company\\App\\App Title.lnk");
    EXPECT_EQ(LogLines()[2], "DIRECTORY=" + p + "\\Company\\App");
    EXPECT_EQ(LogLines()[3], "DIRECTORY=" + p + "\\Company");
    EXPECT_EQ(LogLines()[4], "COPYFILE=" + data_.Destination + "\\App.exe");

    // A level that is there already is used and not recorded.
    log_.Lines.clear();
    data_.Folder = "Company\\Other\\";
    Install();
    EXPECT_EQ(LogLines()[2], "DIRECTORY=" + p + "\\Company\\Other");
    EXPECT_EQ(LogLines()[3], "COPYFILE=" + data_.Destination + "\\App.exe");
}

// Refuses folder names with "|", as the platform refuses characters a folder cannot hold.
class TRefusingFolders : public test::TFakeInstallSystem {
public:
    int CreateDir(const std::string& path) override {
        return path.find('|') != std::string::npos ? 123 : TFakeInstallSystem::CreateDir(path);
    }
};

TEST_F(InstallRunTest, ProgramFolderThePlatformRefusesRollsBackEverythingAndTheLevelsMade) {
    TRefusingFolders system;
    system.Programs = system_.Programs;
    Source("App.exe", "program");
    data_.Folder = "New\\Bad|Name";
    try {
        TInstallRun(data_, log_, system, page_, journal_).InstallFiles();
        ADD_FAILURE() << "the run did not fail";
    } catch (const Error& e) {
        EXPECT_STREQ(e.what(), "E/A-Fehler 123");
    }
    EXPECT_FALSE(fs::PathExists(system_.Programs + "\\New"));
    EXPECT_FALSE(fs::PathExists(root_ + "\\Apps"));  // created by the run, with its parent
    EXPECT_TRUE(fs::DirectoryExists(system_.Programs));
    EXPECT_TRUE(log_.Lines.empty());
    EXPECT_TRUE(journal_.Empty());
}

TEST_F(InstallRunTest, ReplacedFilesAreKeptAsideUntilCommitAndThenGo) {
    const std::string d = data_.Destination, app = d + "\\App.exe";
    test::WriteBytes(app, {'o', 'l', 'd'});
    test::WriteBytes(BackupName(app, 1), {'p'});  // a name already taken is never used
    Source("App.exe", "new");
    Source("App.exe", "newer");  // listed twice: the earlier file is kept once
    Install();
    EXPECT_EQ(test::ReadText(app), "newer");
    EXPECT_EQ(test::ReadText(BackupName(app, 1)), "p");
    EXPECT_EQ(test::ReadText(BackupName(app, 2)), "old");
    EXPECT_FALSE(fs::PathExists(BackupName(app, 3)));
    journal_.Commit(system_);
    EXPECT_FALSE(fs::PathExists(BackupName(app, 2)));
    EXPECT_EQ(test::ReadText(BackupName(app, 1)), "p");
    EXPECT_EQ(test::ReadText(app), "newer");
}

TEST_F(InstallRunTest, UndoThatCannotPutAFileBackSaysWhichInTheWizardsLanguage) {
    const std::string d = data_.Destination, app = d + "\\App.exe";
    test::WriteBytes(app, {'o', 'l', 'd'});
    Source("App.exe", "new");
    data_.AddFiles.push_back("Missing.dat");
    data_.Language = "German";
    system_.RefuseRename.insert(BackupName(app, 1));  // the way back is refused
    try {
        Install();
        ADD_FAILURE() << "the run did not fail";
    } catch (const TInstallAborted& e) {
        EXPECT_TRUE(e.Incomplete);
        EXPECT_EQ(std::string(e.what()), "Das Setup wurde abgebrochen.\n\n" + NotUndoneText("German", {app}));
        EXPECT_NE(std::string(e.what()).find("konnte nicht entfernt oder wiederhergestellt"), std::string::npos);
    }
    EXPECT_EQ(test::ReadText(BackupName(app, 1)), "old");  // not lost: still beside it
}

TEST_F(InstallRunTest, EarlierFileThatCannotBeMovedAsideIsNeverOverwritten) {
    const std::string app = data_.Destination + "\\App.exe";
    test::WriteBytes(app, {'o', 'l', 'd'});
    system_.RefuseRename.insert(app);
    Source("App.exe", "new");
    InstallFails(InstallCancelledText("English"));
    ASSERT_EQ(page_.Questions.size(), 1u);
    EXPECT_EQ(page_.Questions[0], "The file " + app + " could not be copied:\nrefused\n\n"
                                  "Retry tries again; Cancel ends the setup and removes what it has installed so far.");
    EXPECT_EQ(test::ReadText(app), "old");
}

// The third shortcut raises, as a shell without a link object would.
class TRaisingShell : public test::TFakeInstallSystem {
public:
    bool CreateShortcut(const std::string& linkFile, const TShortcut& link) override {
        if (++calls_ == 3) throw Error("Schnittstelle nicht unterst\xfctzt");
        return TFakeInstallSystem::CreateShortcut(linkFile, link);
    }

private:
    int calls_ = 0;
};

TEST_F(InstallRunTest, AnyErrorRemovesTheShortcutsMadeButKeepsThoseAndTheFolderThatWereThere) {
    TRaisingShell shell;
    shell.Programs = system_.Programs;
    data_.Folder = "My App";
    data_.ReadMe = "ReadMe.txt";
    const std::string p = system_.Programs + "\\My App";
    ASSERT_TRUE(fs::CreateDir(p));
    test::WriteBytes(p + "\\Uninstall.lnk", {'o'});  // an earlier installation's
    try {
        TInstallRun(data_, log_, shell, page_, journal_).InstallFiles();
        ADD_FAILURE() << "no error";
    } catch (const Error& e) {
        EXPECT_STREQ(e.what(), "Schnittstelle nicht unterst\xfctzt");
    }
    EXPECT_FALSE(fs::PathExists(p + "\\App Title.lnk"));
    EXPECT_TRUE(fs::FileExists(p + "\\Uninstall.lnk"));
    EXPECT_TRUE(fs::DirectoryExists(p));
    EXPECT_FALSE(fs::PathExists(data_.Destination));
}

TEST_F(InstallRunTest, EmptyDestinationIsRefusedBeforeAnythingIsMade) {
    Source("App.exe", "program");
    for (const char* destination : {"", "  "}) {
        data_.Destination = destination;
        InstallFails(NoDestinationText("English"));
    }
    EXPECT_TRUE(page_.Messages.empty());
}

TEST_F(InstallRunTest, NamesThatLeaveTheirFolderStopTheRunBeforeAnythingIsCopied) {
    // A file beside the work folder, where an entry climbing out would copy from.
    test::WriteBytes(root_ + "\\outside.txt", {'x'});
    struct Case {
        const char* entry;
        TNameProblem problem;
    };
    const Case cases[] = {
        {"..\\outside.txt", TNameProblem::Parent},  {"Additional\\..\\..\\outside.txt", TNameProblem::Parent},
        {"C:\\x", TNameProblem::Rooted},             {"\\\\server\\x", TNameProblem::Rooted},
        {"NUL.txt", TNameProblem::Device},           {"App.exe:stream", TNameProblem::Colon},
        {"App.exe.", TNameProblem::TrailingDot},     {"A\x01pp.exe", TNameProblem::Control},
    };
    for (const Case& c : cases) {
        data_.AddFiles.clear();
        Source("App.exe", "program");  // sound, and first: still nothing is copied
        data_.AddFiles.push_back(c.entry);
        InstallFails(BadNameText("English", c.entry, c.problem));
        EXPECT_FALSE(fs::PathExists(data_.Destination)) << c.entry;
        EXPECT_TRUE(log_.Lines.empty());
    }
    EXPECT_TRUE(page_.Messages.empty());
}

TEST_F(InstallRunTest, TargetsAfterTheMarkGoWhereTheyNameWithEachFolderLevelRecorded) {
    data_.AddFiles.push_back("Additional\\app\\x.dll>plugins\\x.dll");
    test::WriteBytes(data_.WorkFolder + "Additional\\app\\x.dll", test::ToBytes("plugin"));
    data_.AddFiles.push_back("Additional\\app\\y.ttf>data\\fonts\\y.ttf");
    test::WriteBytes(data_.WorkFolder + "Additional\\app\\y.ttf", test::ToBytes("font"));
    data_.AddFiles.push_back("Additional\\app\\z.ttf>data\\fonts\\z.ttf");
    test::WriteBytes(data_.WorkFolder + "Additional\\app\\z.ttf", test::ToBytes("font z"));
    Install();
    const std::string d = data_.Destination;
    EXPECT_EQ(test::ReadText(d + "\\plugins\\x.dll"), "plugin");
    EXPECT_EQ(test::ReadText(d + "\\data\\fonts\\y.ttf"), "font");
    EXPECT_FALSE(fs::PathExists(d + "\\Additional\\app"));
    // Newest first: the uninstaller meets each file before its folders.
    const Lines lines = LogLines();
    const Lines expected = {"COPYFILE=" + d + "\\data\\fonts\\z.ttf", "COPYFILE=" + d + "\\data\\fonts\\y.ttf",
                            "DIRECTORY=" + d + "\\data\\fonts", "DIRECTORY=" + d + "\\data",
                            "COPYFILE=" + d + "\\plugins\\x.dll", "DIRECTORY=" + d + "\\plugins"};
    EXPECT_EQ(Lines(lines.begin(), lines.begin() + 6), expected);
    EXPECT_EQ(page_.Messages[0], "copying plugins\\x.dll");

    // The target obeys the same rules as the source.
    for (const char* entry : {"Additional\\app\\x.dll>..\\x.dll", "Additional\\app\\x.dll>C:\\x.dll",
                              "Additional\\app\\x.dll>", "Additional\\app\\x.dll>x.dll:s"}) {
        data_.AddFiles = {entry};
        log_.Lines.clear();
        EXPECT_THROW(Install(), TInstallAborted) << entry;
        EXPECT_TRUE(log_.Lines.empty()) << entry;
    }
}

TEST_F(InstallRunTest, ADestinationThatIsNoFullPathIsRefused) {
    Source("App.exe", "program");
    data_.Destination = "Apps\\App";
    InstallFails(OutsideFolderText("English", "Apps\\App\\App.exe", "Apps\\App"));
    EXPECT_FALSE(fs::PathExists("Apps"));
}

// The outermost level made for a destination outside the program files
// folder gets that folder's rights (natively: only its owner may use it);
// inside it, or in a folder that is there, everything inherits.
TEST_F(InstallRunTest, ANewDestinationOutsideTheProgramFilesFolderGetsItsRightsAtItsOutermostLevel) {
    struct Case {
        const char* destination;  // below root_
        const char* programFiles;
        const char* protectedLevel;  // "" for none
    };
    const Case cases[] = {
        {"\\Apps\\Vendor\\App", "\\Program Files", "\\Apps"},
        {"\\Program Files\\Vendor\\App", "\\Program Files", ""},
        {"\\Existing\\App", "\\Program Files", "\\Existing\\App"},
        {"\\Existing", "\\Program Files", ""},
        {"\\Apps\\App", "", "\\Apps"},  // where the program files folder is unknown
    };
    Source("App.exe", "program");
    for (const Case& c : cases) {
        ASSERT_TRUE(fs::ForceDirectories(root_ + "\\Program Files") && fs::ForceDirectories(root_ + "\\Existing"));
        test::TFakeInstallSystem system;
        system.ProgramFiles = *c.programFiles ? root_ + c.programFiles : "";
        TSetupData data = data_;
        data.Destination = root_ + c.destination;
        TSetupLogBook log;
        TInstallJournal journal;
        TInstallRun(data, log, system, page_, journal).InstallFiles();

        EXPECT_EQ(test::ReadText(data.Destination + "\\App.exe"), "program") << c.destination;
        const std::vector<std::string> expected =
            *c.protectedLevel ? std::vector<std::string>{root_ + c.protectedLevel} : std::vector<std::string>{};
        EXPECT_EQ(system.InstallationFolders, expected) << c.destination;
        struct stat st {};
        if (!expected.empty() && stat(fs::NativePath(expected[0]).c_str(), &st) == 0)
            EXPECT_EQ(st.st_mode & 0777, 0700u) << c.destination;
        for (const char* top : {"\\Apps", "\\Program Files", "\\Existing"}) DeleteFolderTree(root_ + top);
    }
}

TEST_F(InstallRunTest, CancelRemovesTheProtectedDestinationLevelToo) {
    Source("App.exe", "program");
    data_.AddFiles.push_back("Missing.dat");
    data_.Destination = root_ + "\\Apps\\Vendor\\App";
    InstallFails(InstallCancelledText("English"));
    EXPECT_EQ(system_.InstallationFolders, std::vector<std::string>{root_ + "\\Apps"});
    EXPECT_FALSE(fs::PathExists(root_ + "\\Apps"));
}

TEST(InstallTexts, NotepadIsNamedByItsFullPath) {
    EXPECT_EQ(NotepadPath("C:\\WINDOWS"), "C:\\WINDOWS\\notepad.exe");
    EXPECT_EQ(NotepadPath("C:\\"), "C:\\notepad.exe");
    EXPECT_EQ(QuoteIfBlank("C:\\A\\b.txt"), "C:\\A\\b.txt");
    EXPECT_EQ(QuoteIfBlank("C:\\A B\\b.txt"), "\"C:\\A B\\b.txt\"");
}

}  // namespace
}  // namespace zub
