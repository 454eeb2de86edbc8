#include "setup/silent_run.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <string>

#include "setup/command_line.h"
#include "tests/unit/archive_test_util.h"
#include "tests/unit/install_test_system.h"

namespace zub {
namespace {

class SilentRunTest : public test::TInstallTest {
protected:
    void SetUp() override {
        data_.Destination = root_ + "\\App";
        data_.ReadMe = "App.exe";
        data_.LaunchProg = true;
        data_.DesktopIcon = true;
        data_.Folder = "Group";
        test::WriteBytes(data_.WorkFolder + "App.exe", {'x'});
        data_.AddFiles.push_back("App.exe");
        system_.Programs = root_ + "\\Programs";
        system_.Desktop = root_ + "\\Desktop";
        ASSERT_TRUE(fs::ForceDirectories(system_.Programs));
        ASSERT_TRUE(fs::ForceDirectories(system_.Desktop));
        trace_.Open(root_ + "\\trace.txt");
    }
    int Run() { return RunSilentInstall(data_, log_, system_, trace_); }
    std::string Trace() { return test::ReadText(root_ + "\\trace.txt"); }

    TRunTrace trace_;
};

TEST_F(SilentRunTest, InstallsWithTheProposedChoicesAndStartsNothing) {
    EXPECT_EQ(Run(), kExitInstalled);
    EXPECT_TRUE(fs::FileExists(data_.Destination + "\\setup.log"));
    EXPECT_TRUE(fs::FileExists(system_.Programs + "\\Group\\App Title.lnk"));
    EXPECT_TRUE(fs::FileExists(system_.Desktop + "\\App Title.lnk"));
    for (const std::string& event : system_.Events) EXPECT_NE(event.substr(0, 5), "open ") << event;
    const std::string d = data_.Destination;
    EXPECT_EQ(Trace(), "destination: " + d + "\r\nwrote: " + d + "\\setup.log\r\ninstalled\r\n");
}

TEST_F(SilentRunTest, FailedCopyIsAnsweredCancelAndLeavesNothing) {
    data_.AddFiles.push_back("Missing.dat");
    EXPECT_EQ(Run(), kExitFailed);
    EXPECT_FALSE(fs::PathExists(data_.Destination));
    EXPECT_TRUE(system_.UninstallEntries.empty());
    const std::string d = data_.Destination;
    EXPECT_EQ(Trace(), "destination: " + d + "\r\nanswered Cancel: The file " + d + "\\Missing.dat could not be copied:\n" +
                           std::strerror(ENOENT) +
                           "\n\nRetry tries again; Cancel ends the setup and removes what it has installed so far.\r\n"
                           "error: Setup was cancelled. What it had installed so far has been removed.\r\n");
}

TEST_F(SilentRunTest, FailedRegistrationRollsBackTheInstallationAndTheDesktopShortcut) {
    system_.UninstallError = "no registry";
    EXPECT_EQ(Run(), kExitFailed);
    EXPECT_FALSE(fs::PathExists(data_.Destination));
    EXPECT_FALSE(fs::PathExists(system_.Programs + "\\Group"));
    EXPECT_FALSE(fs::PathExists(system_.Desktop + "\\App Title.lnk"));
    EXPECT_EQ(Trace(), "destination: " + data_.Destination + "\r\nerror: no registry\r\n");
}

}  // namespace
}  // namespace zub
