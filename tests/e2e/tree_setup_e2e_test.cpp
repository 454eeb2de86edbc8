// End-to-end: setups made by the installed skinsetup with init and build from
// an application folder of a few hundred files in nested folders. Each is
// clicked through; the destination must hold the application's tree file for
// file, and the installed uninstaller must remove all of it. The signed
// setup starts and installs the same way.
#include <windows.h>

#include <gtest/gtest.h>

#include <map>
#include <string>

#include "archive/payload_layout.h"
#include "base/file.h"
#include "tests/e2e/arguments_win.h"
#include "tests/e2e/machine_win.h"
#include "tests/e2e/process_driver_win.h"
#include "tests/e2e/wizard_driver_win.h"

namespace zub::e2e {
namespace {

const char kTitle[] = "TreeApp";

class TreeSetup : public ::testing::Test {
protected:
    // Clicks the setup through every page, with nothing started at the end.
    void InstallWith(const std::string& exe) {
        TSetupProcess setup(exe, folder_.Temp());
        auto wizard = StartWizard(setup, std::string("Welcome to the Setup Wizard for ") + kTitle);
        ASSERT_TRUE(wizard);
        ASSERT_TRUE(wizard->ClickToTheCopy());  // a project of init's has no licence
        ASSERT_TRUE(wizard->WaitForPage("Setup Complete", 120000)) << wizard->Heading();
        wizard->UntickOptions();
        wizard->Click(wizard->Forward());
        EXPECT_TRUE(setup.Ends(0, 30000));
    }

    // The application's tree, plus what the setup adds: its uninstaller and its log.
    void ExpectTheApplicationsTree() {
        std::map<std::string, std::string> installed = TreeOf(installation_.Destination);
        EXPECT_EQ(installed.erase(kUninstallerName), 1u);
        EXPECT_EQ(installed.erase(kSetupLogName), 1u);
        const std::map<std::string, std::string> expected = TreeOf(Argument("app"));
        EXPECT_GT(expected.size(), 300u);
        EXPECT_EQ(installed.size(), expected.size());
        EXPECT_TRUE(installed == expected);
    }

    TTestFolder folder_;
    TFreshInstallation installation_{kTitle};
};

TEST_F(TreeSetup, InstallsTheApplicationsTreeFileForFileAndTheUninstallerRemovesIt) {
    InstallWith(Argument("setup"));
    ExpectTheApplicationsTree();

    EXPECT_EQ(RunCommand("\"" + installation_.In(kUninstallerName) + "\" /S"), 0u);
    // The uninstaller removes itself and its folder once it has ended.
    EXPECT_TRUE(WaitFor([&] { return !fs::PathExists(installation_.Destination); }, 20000))
        << TreeOf(installation_.Destination).size() << " files stayed";
    EXPECT_FALSE(fs::PathExists(installation_.ProgramFolder));
}

TEST_F(TreeSetup, TheSignedSetupStartsAndInstalls) {
    InstallWith(Argument("signed-setup"));
    ExpectTheApplicationsTree();
}

}  // namespace
}  // namespace zub::e2e
