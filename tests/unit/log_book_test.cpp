#include "formats/log_book.h"

#include <gtest/gtest.h>

#include <fstream>
#include <vector>

#include "base/error.h"
#include "base/file.h"
#include "shell/shell.h"
#include "shell/temp_folder.h"

namespace zub {
namespace {

std::string Joined(const std::vector<std::string>& lines) {
    std::string text;
    for (const std::string& line : lines) text += line + "\r\n";
    return text;
}

std::string ReadText(const std::string& path) {
    std::vector<unsigned char> bytes = fs::ReadWholeFile(path);
    return std::string(bytes.begin(), bytes.end());
}

// What the installation run and the finishing actions record, in the order
// they make things.
void RecordDestination(TSetupLogBook& book, const std::string& d) {
    book.AddDirectoryEntry(d);
    for (const char* sub : {"\\Graphics", "\\Sounds", "\\Additional"}) book.AddDirectoryEntry(d + sub);
}

class LogBookTest : public ::testing::Test {
protected:
    void SetUp() override { book_.LogFileName = folder_ / "setup.log"; }

    void SetTitle(const std::string& title) { book_.UninstallKeyName = book_.DisplayName = title; }

    TTempFolder folder_;
    TSetupLogBook book_;
};

TEST_F(LogBookTest, WorkedExampleGivesItsFourteenLines) {
    const std::string d = "C:\\Apps\\App", p = "P", k = "K";
    RecordDestination(book_, d);
    for (const char* file : {"Graphics\\a.gif", "App.exe", "Uninstall.exe"}) book_.AddFileEntry(d + "\\" + file);
    book_.AddDirectoryEntry(p);
    book_.AddLinkEntry(p + "\\App Title.lnk");
    book_.AddLinkEntry(p + "\\Uninstall.lnk");
    book_.AddLinkEntry(k + "\\App Title.lnk");
    SetTitle("App Title");

    book_.SaveLog();
    EXPECT_EQ(ReadText(book_.LogFileName), Joined({
                                               "SetupLOG",
                                               "NAME=App Title",
                                               "KEY=App Title",
                                               "LINK=K\\App Title.lnk",
                                               "LINK=P\\Uninstall.lnk",
                                               "LINK=P\\App Title.lnk",
                                               "DIRECTORY=P",
                                               "COPYFILE=C:\\Apps\\App\\Uninstall.exe",
                                               "COPYFILE=C:\\Apps\\App\\App.exe",
                                               "COPYFILE=C:\\Apps\\App\\Graphics\\a.gif",
                                               "DIRECTORY=C:\\Apps\\App\\Additional",
                                               "DIRECTORY=C:\\Apps\\App\\Sounds",
                                               "DIRECTORY=C:\\Apps\\App\\Graphics",
                                               "DIRECTORY=C:\\Apps\\App",
                                           }));
}

TEST_F(LogBookTest, SetupWithoutFilesFolderOrLinkWritesSevenLines) {
    RecordDestination(book_, "D:\\X");
    SetTitle("X");
    book_.SaveLog();
    EXPECT_EQ(ReadText(book_.LogFileName),
              Joined({"SetupLOG", "NAME=X", "KEY=X", "DIRECTORY=D:\\X\\Additional", "DIRECTORY=D:\\X\\Sounds",
                      "DIRECTORY=D:\\X\\Graphics", "DIRECTORY=D:\\X"}));
}

TEST_F(LogBookTest, ValuesAreWrittenUnchanged) {
    // Nothing is escaped, quoted or trimmed; a doubled backslash stays.
    for (const std::string title : {"A=B", " spaced  title ", "x==y =", "Maker\\App", "M\xfcller & S\xf6hne"}) {
        SCOPED_TRACE(title);
        TSetupLogBook book;
        book.LogFileName = book_.LogFileName;
        book.UninstallKeyName = book.DisplayName = title;
        book.AddFileEntry("C:\\a=b\\\\c d.txt");
        book.SaveLog();
        EXPECT_EQ(ReadText(book.LogFileName),
                  Joined({"SetupLOG", "NAME=" + title, "KEY=" + title, "COPYFILE=C:\\a=b\\\\c d.txt"}));
    }
}

TEST_F(LogBookTest, SavingAgainWritesTheSameFileAndKeepsLines) {
    RecordDestination(book_, "C:\\A");
    book_.AddLinkEntry("K\\A.lnk");
    SetTitle("A");
    const std::deque<std::string> before = book_.Lines;
    book_.SaveLog();
    const std::string first = ReadText(book_.LogFileName);
    book_.SaveLog();
    book_.SaveLog();
    EXPECT_EQ(ReadText(book_.LogFileName), first);
    EXPECT_EQ(book_.Lines, before);
    EXPECT_EQ(book_.LogText(), first);
}

TEST_F(LogBookTest, ExistingLogIsReplacedNotAppended) {
    {
        std::ofstream old(fs::NativePath(book_.LogFileName), std::ios::binary);
        old << std::string(5000, 'x') << "\r\nDIRECTORY=C:\\Old\r\n";
    }
    SetTitle("New");
    book_.AddDirectoryEntry("C:\\New");
    book_.SaveLog();
    EXPECT_EQ(ReadText(book_.LogFileName), Joined({"SetupLOG", "NAME=New", "KEY=New", "DIRECTORY=C:\\New"}));
}

TEST_F(LogBookTest, UncreatableLogRaisesTheFileCreationError) {
    book_.LogFileName = folder_ / "missing\\setup.log";
    try {
        book_.SaveLog();
        FAIL() << "no error";
    } catch (const Error& e) {
        EXPECT_EQ(std::string(e.what()), "Datei " + book_.LogFileName + " kann nicht erstellt werden");
    }
}

TEST_F(LogBookTest, BlankKeyNameNeverNamesTheUninstallKeyItself) {
    for (const char* name : {"", "\\", "\\\\", " \\ \t"}) {
        SCOPED_TRACE(name);
        book_.UninstallKeyName = name;
        EXPECT_EQ(book_.EffectiveUninstallKeyName(), kFallbackUninstallKeyName);
        EXPECT_EQ(book_.LogText(), "SetupLOG\r\nNAME=\r\nKEY=SkinSetup Application\r\n");
    }
}

TEST(ChooseUninstallKeyName, FallsBackToTheProgramNameThenAFixedName) {
    struct Case {
        const char* title;
        const char* targetFile;
        const char* expected;
    } cases[] = {
        {"App Title", "App.exe", "App Title"},
        {" App ", "", " App "},           // a sound title is used unchanged
        {"Maker\\App", "", "Maker\\App"},  // a nested key below the Uninstall key
        {"\\App", "", "\\App"},
        {"", "App.exe", "App"},
        {"  ", "bin\\My Tool.exe", "My Tool"},
        {"\\\\", "x.y.exe", "x.y"},
        {"", "Program", "Program"},
        {"", ".exe", "SkinSetup Application"},
        {"", "bin\\", "SkinSetup Application"},
        {"\t", " \\ .exe", "SkinSetup Application"},
        {"", "", "SkinSetup Application"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.title) + " / " + c.targetFile);
        EXPECT_EQ(ChooseUninstallKeyName(c.title, c.targetFile), c.expected);
    }
}

TEST(UninstallCommand, IsTheLogFolderWithUninstallExeInQuotes) {
    EXPECT_EQ(UninstallCommand("C:\\Apps\\App\\setup.log"), "\"C:\\Apps\\App\\Uninstall.exe\"");
    EXPECT_EQ(UninstallCommand("C:\\Apps\\\\setup.log"), "\"C:\\Apps\\\\Uninstall.exe\"");  // as the run built it
    EXPECT_EQ(UninstallCommand("C:\\Program Files\\A B\\setup.log"), "\"C:\\Program Files\\A B\\Uninstall.exe\"");
}

}  // namespace
}  // namespace zub
