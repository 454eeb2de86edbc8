#include "setup/upgrade.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "formats/uninstall_entry.h"

namespace zub {
namespace {

using Lines = std::vector<std::string>;
using K = TLogEntryKind;

const TOwnFolders kFolders{"C:\\Apps\\App", "C:\\Users\\u\\Start Menu\\Programs", "C:\\Users\\u\\Desktop"};

TEST(Upgrade, ProposedDestination) {
    EXPECT_EQ(ProposedDestination(std::string("D:\\Cmd"), "C:\\Old", "C:\\Program Files\\App"), "D:\\Cmd");
    EXPECT_EQ(ProposedDestination(std::nullopt, "C:\\Old", "C:\\Program Files\\App"), "C:\\Old");
    for (const char* unusable : {"", "relative", "\\rooted"})
        EXPECT_EQ(ProposedDestination(std::nullopt, unusable, "C:\\Program Files\\App"), "C:\\Program Files\\App");
}

TEST(Upgrade, OnlyTheProgramsOwnPlacesAreEntries) {
    struct TCase {
        K Kind;
        const char* Path;
        bool Own;
    };
    const TCase cases[] = {
        {K::File, "C:\\Apps\\App\\old.dll", true},
        {K::File, "c:\\apps\\APP\\\\Graphics\\a.gif", true},  // case and doubled backslashes
        {K::File, "C:\\Apps\\App", false},                    // the folder itself is no file
        {K::File, "C:\\Apps\\Application\\x.dll", false},     // a sibling with the same start
        {K::File, "C:\\Apps\\App\\..\\..\\Windows\\system32\\x.dll", false},
        {K::File, "C:\\Apps\\App\\.\\x.dll", false},
        {K::File, "C:\\Apps\\App\\x.dll:stream", false},
        {K::File, "C:\\Apps\\App/../x.dll", false},
        {K::File, "C:\\Apps\\App\\*.dll", false},
        {K::File, "C:\\Windows\\x.dll", false},
        {K::File, "relative\\x.dll", false},
        {K::Directory, "C:\\Apps\\App", true},
        {K::Directory, "C:\\Apps\\App\\Old", true},
        {K::Directory, "C:\\Apps", false},
        {K::Directory, "C:\\Users\\u\\Start Menu\\Programs\\Old Group", true},
        {K::Directory, "C:\\Users\\u\\Start Menu\\Programs", false},
        {K::Link, "C:\\Users\\u\\Start Menu\\Programs\\Old Group\\App.lnk", true},
        {K::Link, "C:\\Users\\u\\Desktop\\App.LNK", true},
        {K::Link, "C:\\Users\\u\\Desktop\\App.exe", false},
        {K::Link, "C:\\Apps\\App\\App.lnk", false},
    };
    for (const TCase& c : cases) EXPECT_EQ(IsOwnEntry({c.Kind, c.Path}, kFolders), c.Own) << c.Path;
    EXPECT_FALSE(IsOwnEntry({K::Link, "C:\\x.lnk"}, TOwnFolders{"C:\\Apps\\App", "", ""}));
}

TEST(Upgrade, EarlierLogOfTheSameTitleOnly) {
    const std::string log = "SetupLOG\r\nNAME=App\r\nKEY=App\r\nCOPYFILE=C:\\a\r\nJUNK\r\nDIRECTORY=C:\\d\r\n";
    std::optional<std::vector<TLogEntryLine>> entries = EarlierLogEntries(log, "App");
    ASSERT_TRUE(entries);
    ASSERT_EQ(entries->size(), 2u);
    EXPECT_EQ((*entries)[0].Path, "C:\\a");
    EXPECT_EQ((*entries)[1].Kind, K::Directory);
    EXPECT_FALSE(EarlierLogEntries(log, "Other"));
    EXPECT_FALSE(EarlierLogEntries("Something\r\nNAME=App\r\nKEY=App\r\n", "App"));
    EXPECT_FALSE(EarlierLogEntries("", "App"));
}

TEST(Upgrade, MergeKeepsWhatIsStillThereOnceWithFilesBeforeTheirFolders) {
    const std::string d = kFolders.Destination, p = kFolders.Programs + "\\Old Group";
    TSetupLogBook book;  // the new version, as the run recorded it
    book.AddDirectoryEntry(d);
    book.AddDirectoryEntry(d + "\\Graphics");
    book.AddFileEntry(d + "\\App.exe");
    book.AddFileEntry(d + "\\Graphics\\new.gif");
    const std::vector<TLogEntryLine> earlier = {
        {K::Link, p + "\\App.lnk"},
        {K::Directory, p},
        {K::File, d + "\\Graphics\\old.gif"},
        {K::File, d + "\\APP.EXE"},          // the same file again
        {K::File, d + "\\Gone.dll"},         // removed since
        {K::File, "C:\\Windows\\win.ini"},   // not the program's
        {K::Directory, d + "\\Plugins\\Deep"},
        {K::Directory, d + "\\Plugins"},
        {K::Directory, d + "\\Graphics"},
        {K::Directory, d},
    };
    const std::set<std::string> gone = {d + "\\Gone.dll"};
    MergeEarlierEntries(book, earlier, kFolders, [&](const TLogEntryLine& e) { return !gone.count(e.Path); });
    EXPECT_EQ(Lines(book.Lines.begin(), book.Lines.end()), (Lines{
                                                                "COPYFILE=" + d + "\\Graphics\\new.gif",
                                                                "COPYFILE=" + d + "\\App.exe",
                                                                "LINK=" + p + "\\App.lnk",
                                                                "COPYFILE=" + d + "\\Graphics\\old.gif",
                                                                "DIRECTORY=" + p,
                                                                "DIRECTORY=" + d + "\\Plugins\\Deep",
                                                                "DIRECTORY=" + d + "\\Graphics",
                                                                "DIRECTORY=" + d + "\\Plugins",
                                                                "DIRECTORY=" + d,
                                                            }));
    // Merging the same log again changes nothing.
    const std::deque<std::string> once = book.Lines;
    MergeEarlierEntries(book, earlier, kFolders, [&](const TLogEntryLine& e) { return !gone.count(e.Path); });
    EXPECT_EQ(book.Lines, once);
}

TEST(UninstallEntry, VersionsAndSizes) {
    for (const char* good : {"1", "2.0", "10.4.1.77"}) EXPECT_TRUE(IsDottedVersion(good)) << good;
    for (const char* bad : {"", "1.", ".1", "1..2", "v1.2", "1.2 beta", "1,2"}) EXPECT_FALSE(IsDottedVersion(bad)) << bad;
    EXPECT_EQ(SizeInKiB(0), 0u);
    EXPECT_EQ(SizeInKiB(1), 1u);
    EXPECT_EQ(SizeInKiB(1024), 1u);
    EXPECT_EQ(SizeInKiB(1025), 2u);
    EXPECT_EQ(SizeInKiB(uint64_t(1) << 50), 0xFFFFFFFFu);
}

}  // namespace
}  // namespace zub
