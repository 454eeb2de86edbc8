// setup.log as the uninstaller reads it: what the log book writes reads back
// entry for entry, and damaged logs are refused or passed over line by line.
#include <gtest/gtest.h>

#include "formats/log_book.h"
#include "uninstall/setup_log_reader.h"

namespace zub {
namespace {

TEST(SetupLogReader, ReadsBackWhatTheLogBookWrites) {
    TSetupLogBook book;
    book.DisplayName = "App = Title";
    book.UninstallKeyName = "Vendor\\App";
    book.AddDirectoryEntry("C:\\Apps\\App");
    book.AddFileEntry("C:\\Apps\\App\\a=b.exe");
    book.AddLinkEntry("P\\App.lnk");

    const TSetupLog log = ParseSetupLog(book.LogText());
    EXPECT_EQ(log.Name, "App = Title");
    EXPECT_EQ(log.KeyName, "Vendor\\App");
    ASSERT_EQ(log.Entries.size(), 3u);
    EXPECT_EQ(log.Entries[0].Kind, TLogEntryKind::Link);
    EXPECT_EQ(log.Entries[0].Path, "P\\App.lnk");
    EXPECT_EQ(log.Entries[0].Line, 4);
    EXPECT_EQ(log.Entries[1].Kind, TLogEntryKind::File);
    EXPECT_EQ(log.Entries[1].Path, "C:\\Apps\\App\\a=b.exe");
    EXPECT_EQ(log.Entries[2].Kind, TLogEntryKind::Directory);
    EXPECT_EQ(log.Entries[2].Line, 6);
    EXPECT_TRUE(log.Unusable.empty());
}

TEST(SetupLogReader, RefusesLogsWithADamagedHeader) {
    struct TCase {
        const char* Text;
        TLogFault Fault;
        int Line;
        const char* Message;
    };
    const TCase cases[] = {
        {"", TLogFault::NoSignature, 1, "the first line of setup.log is not \"SetupLOG\""},
        {"setuplog\r\nNAME=A\r\nKEY=A\r\n", TLogFault::NoSignature, 1, nullptr},
        {"\xEF\xBB\xBFSetupLOG\r\nNAME=A\r\nKEY=A\r\n", TLogFault::NoSignature, 1, nullptr},
        {" SetupLOG\r\nNAME=A\r\nKEY=A\r\n", TLogFault::NoSignature, 1, nullptr},
        {"SetupLOG", TLogFault::NoHeaderLine, 2, "line 2 of setup.log is not its NAME= or KEY= line"},
        {"SetupLOG\r\nKEY=A\r\nNAME=A\r\n", TLogFault::NoHeaderLine, 2, nullptr},
        {"SetupLOG\r\nNAME=A\r\n", TLogFault::NoHeaderLine, 3, nullptr},
        {"SetupLOG\r\nNAME=A\r\nCOPYFILE=C:\\x\r\n", TLogFault::NoHeaderLine, 3, nullptr},
        {"SetupLOG\r\nNAME=A\r\nKEY=A", TLogFault::CutOff, 3, "line 3 of setup.log is cut off"},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Text);
        try {
            ParseSetupLog(c.Text);
            ADD_FAILURE() << "accepted";
        } catch (const TSetupLogError& e) {
            EXPECT_EQ(e.Fault, c.Fault);
            EXPECT_EQ(e.Line, c.Line);
            if (c.Message) {
                EXPECT_STREQ(e.what(), c.Message);
            }
        }
    }
}

TEST(SetupLogReader, NulInAKeyLineRefusesTheLog) {
    const std::string text("SetupLOG\r\nNAME=A\r\nKEY=A\0B\r\n", 25);
    EXPECT_THROW(ParseSetupLog(text), TSetupLogError);
}

TEST(SetupLogReader, PassesOverUnusableEntryLinesAndKeepsTheRest) {
    const std::string text = std::string("SetupLOG\nNAME=A\r\nKEY=K\r\n") +
                             "LINK=C:\\P\\A.lnk\r\n"                     // 4
                             "\r\n"                                      // 5: blank, passed over quietly
                             "copyfile=C:\\x\r\n"                        // 6: prefixes are exact
                             "REGISTRY=HKLM\\X\r\n"                      // 7
                             "DIRECTORY=C:\\P\n" +                       // 8: a bare LF ends a line too
                             std::string("COPYFILE=C:\\a\0b\r\n", 17) +  // 9
                             "COPYFILE=C:\\Apps\\App\\Uni";              // 10: cut off
    const TSetupLog log = ParseSetupLog(text);
    ASSERT_EQ(log.Entries.size(), 2u);
    EXPECT_EQ(log.Entries[0].Path, "C:\\P\\A.lnk");
    EXPECT_EQ(log.Entries[1].Path, "C:\\P");
    EXPECT_EQ(log.Entries[1].Line, 8);
    ASSERT_EQ(log.Unusable.size(), 4u);
    EXPECT_EQ(log.Unusable[0].Line, 6);
    EXPECT_EQ(log.Unusable[1].Text, "REGISTRY=HKLM\\X");
    EXPECT_EQ(log.Unusable[2].Line, 9);
    EXPECT_EQ(log.Unusable[3].Line, 10);
    EXPECT_EQ(log.Unusable[3].Text, "COPYFILE=C:\\Apps\\App\\Uni");
}

TEST(SetupLogReader, MissingFileIsAFaultOfItsOwn) {
    try {
        ReadSetupLog("/nonexistent/setup.log");
        ADD_FAILURE() << "read";
    } catch (const TSetupLogError& e) {
        EXPECT_EQ(e.Fault, TLogFault::Missing);
    }
}

}  // namespace
}  // namespace zub
