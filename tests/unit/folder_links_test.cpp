// Links in the folders the authoring tool packs, made with symlink(2): those
// that stay inside the project are followed, those that lead out of it, to
// nothing or round in a circle stop the tool with the link named, before
// anything is written.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <sstream>

#include "archive/payload.h"
#include "archive/payload_builder.h"
#include "archive/zlb_archive.h"
#include "archive/zlb_writer.h"
#include "tests/unit/archive_test_util.h"
#include "tests/unit/pe_test_util.h"
#include "tools/skinsetup.h"

namespace zub {
namespace {

using test::ReadBytes;
using test::ToBytes;
using test::WriteBytes;

bool Has(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

void Link(const std::string& target, const std::string& link) {
    std::filesystem::create_directories(std::filesystem::path(link).parent_path());
    ASSERT_EQ(::symlink(target.c_str(), link.c_str()), 0) << link;
}

struct TRun {
    int Code;
    std::string Err;
};

TRun Tool(const std::vector<std::string>& arguments) {
    std::ostringstream out, err;
    tool::TConsole console{out, err, false};
    return {tool::RunSkinsetup(arguments, console), err.str()};
}

class FolderLinks : public ::testing::Test {
protected:
    void SetUp() override {
        WriteBytes(outside_ / "secret.key", ToBytes("not for the setup"));
        WriteBytes(outside_ / "docs/other.txt", ToBytes("someone else's"));
        WriteBytes(temp_ / "stub.exe", test::MakeTestPe());
        WriteBytes(temp_ / "Uninstall.exe", ToBytes("MZ uninstaller"));
    }
    std::string Project(const std::string& name) {
        const std::string project = temp_ / (name + "/");
        WriteBytes(project + "Setup.ini", ToBytes("[t]\r\nObject=Setup\r\nend\r\n"));
        WriteBytes(project + "App.exe", ToBytes("MZ app"));
        WriteBytes(project + "Graphics/panel.bmp", test::TextData(300));
        WriteBytes(project + "Additional/docs/guide.txt", ToBytes("guide"));
        return project;
    }
    std::string Unpacked(const std::string& project) {
        const std::string work = temp_ / ("work-" + std::filesystem::path(project).parent_path().filename().string() + "/");
        for (const char* sub : {"Graphics", "Sounds", "Additional"}) std::filesystem::create_directories(work + sub);
        BuildPayload(project, work + "Data.Zub");
        TZLBArchive archiver;
        UnpackPayloadArchive(archiver, work);
        return work;
    }
    TTempFolder temp_, outside_;
};

TEST_F(FolderLinks, LinksThatStayInsideTheProjectAreFollowed) {
    const std::string project = Project("inside");
    Link("../App.exe", project + "Graphics/app-copy.bmp");            // a file elsewhere in the project
    Link(project + "Graphics", project + "Additional/skin");          // a folder elsewhere in the project
    Link("docs/guide.txt", project + "Additional/guide-again.txt");   // beside it
    const std::string work = Unpacked(project);
    EXPECT_EQ(ReadBytes(work + "Graphics/app-copy.bmp"), ToBytes("MZ app"));
    EXPECT_EQ(ReadBytes(work + "Additional/skin/panel.bmp"), test::TextData(300));
    EXPECT_EQ(ReadBytes(work + "Additional/guide-again.txt"), ToBytes("guide"));

    // The project folder itself may be reached through a link.
    Link(project, temp_ / "project-link");
    EXPECT_EQ(ReadBytes(Unpacked(temp_ / "project-link/") + "Graphics/app-copy.bmp"), ToBytes("MZ app"));
}

TEST_F(FolderLinks, ALinkOutOfTheProjectToNothingOrInACircleStopsTheBuildAndNoSetupIsWritten) {
    const std::string secret = std::filesystem::canonical(outside_ / "secret.key").string();
    const std::string docs = std::filesystem::canonical(outside_ / "docs").string();
    const std::string out = ", outside PROJECT: what lies outside is not packed; copy it in instead of linking it";
    struct TCase {
        const char* What;
        std::string Target, Link;  // Link relative to the project
        std::string Message;       // PROJECT stands for the project's folder
    };
    const std::vector<TCase> cases = {
        {"a top-level file", secret, "Read.txt", "PROJECT/Read.txt leads through a link to " + secret + out},
        {"a picture", secret, "Graphics/key.bmp", "PROJECT/Graphics/key.bmp leads through a link to " + secret + out},
        {"a relative link", "RELATIVE", "Additional/docs/key.txt",
         "PROJECT/Additional/docs/key.txt leads through a link to " + secret + out},
        {"a nested folder", docs, "Additional/more", "PROJECT/Additional/more leads through a link to " + docs + out},
        {"the sounds folder", docs, "Sounds", "PROJECT/Sounds leads through a link to " + docs + out},
        {"nowhere", temp_ / "gone.txt", "Graphics/gone.bmp", "PROJECT/Graphics/gone.bmp is a link that leads nowhere: remove it"},
        {"a circle", "..", "Additional/docs/up",
         "PROJECT/Additional/docs/up leads through a link back into PROJECT/Additional, a folder that holds it: "
         "it would be packed without end"},
    };
    for (const TCase& c : cases) {
        const std::string project = Project(std::string("bad ") + c.What);
        const std::string link = project + c.Link;
        const std::string target =
            c.Target != "RELATIVE"
                ? c.Target
                : std::filesystem::relative(secret, std::filesystem::path(link).parent_path()).string();
        Link(target, link);
        const std::string setup = temp_ / "Setup.exe";
        const TRun build = Tool({"build", project, "-o", setup, "--stub", temp_ / "stub.exe", "--uninstaller",
                                 temp_ / "Uninstall.exe"});
        EXPECT_EQ(build.Code, 1) << c.What;
        std::string message = c.Message;
        const std::string folder = std::filesystem::canonical(project).string();
        for (size_t at; (at = message.find("PROJECT")) != std::string::npos;) message.replace(at, 7, folder);
        EXPECT_TRUE(Has(build.Err, "skinsetup build: " + message + "\n")) << c.What << "\n" << build.Err;
        EXPECT_FALSE(test::Exists(setup)) << c.What;
    }
}

TEST_F(FolderLinks, PackAndInitRefuseALinkOutOfTheirFolderAndWriteNothing) {
    const std::string folder = temp_ / "files/";
    WriteBytes(folder + "a.txt", ToBytes("a"));
    Link(outside_ / "docs", folder + "sub/elsewhere");
    const TRun pack = Tool({"pack", folder, "-o", temp_ / "out.x", "--recurse", "--with-paths"});
    EXPECT_EQ(pack.Code, 1);
    EXPECT_TRUE(Has(pack.Err, "sub/elsewhere leads through a link to ")) << pack.Err;
    EXPECT_FALSE(test::Exists(temp_ / "out.x"));
    // Without --recurse the sub-folder is not packed, and the link not followed.
    EXPECT_EQ(Tool({"pack", folder, "-o", temp_ / "out.x"}).Code, 0);

    const std::string app = temp_ / "app/";
    WriteBytes(app + "App.exe", ToBytes("MZ app"));
    Link(outside_ / "secret.key", app + "data/key.dat");
    const TRun init = Tool({"init", app, temp_ / "project"});
    EXPECT_EQ(init.Code, 1);
    EXPECT_TRUE(Has(init.Err, "app/data/key.dat leads through a link to ")) << init.Err;
    EXPECT_FALSE(test::Exists(temp_ / "project"));
}

}  // namespace
}  // namespace zub
