// A project folder packed into a payload unpacks, as the setup does it, into
// the same files.
#include "archive/payload_builder.h"

#include <gtest/gtest.h>

#include "archive/payload.h"
#include "archive/zlb_archive.h"
#include "archive/zlb_writer.h"
#include "archive_test_util.h"

namespace zub {
namespace {

class PayloadBuilderTest : public ::testing::Test {
protected:
    void SetUp() override {
        files_ = {{"Setup.ini", test::ToBytes("[header]\r\nObject=Setup\r\nend\r\n")},
                  {"App.exe", test::NoiseData(70000)},
                  {"Graphics/panel.bmp", test::TextData(30000)},
                  {"Sounds/click.wav", test::NoiseData(500, 7)},
                  {"Additional/page.html", test::ToBytes("<p>")},
                  {"Additional/docs/guide.txt", test::TextData(2000)},
                  {"Additional/docs/deep/leaf.txt", test::ToBytes("leaf")}};
        for (const auto& [name, bytes] : files_) test::WriteBytes(project_ / name, bytes);
    }

    std::vector<std::pair<std::string, test::Bytes>> files_;
    TTempFolder project_, out_, work_;
};

TEST_F(PayloadBuilderTest, UnpacksIntoTheProjectsFiles) {
    BuildPayload(project_.Path(), out_ / "payload.x");
    test::WriteBytes(work_ / "Data.Zub", test::ReadBytes(out_ / "payload.x"));
    for (const char* sub : {"Graphics", "Sounds", "Additional"}) std::filesystem::create_directories(work_ / sub);
    TZLBArchive archiver;
    UnpackPayloadArchive(archiver, work_.Path());
    for (const auto& [name, bytes] : files_) EXPECT_EQ(test::ReadBytes(work_ / name), bytes) << name;
    EXPECT_FALSE(test::Exists(work_ / "Additional.x"));
    EXPECT_FALSE(test::Exists(work_ / "Additional/docs.x"));
}

TEST_F(PayloadBuilderTest, PayloadHoldsTopFilesAndTheNestedArchives) {
    BuildPayload(project_.Path(), out_ / "payload.x");
    TZLBArchive archive;
    ASSERT_TRUE(archive.OpenArchive(out_ / "payload.x"));
    std::vector<std::string> names;
    for (int i = 0; i < archive.GetFileCount(); ++i) {
        TZLBFileEntry entry = archive.GetFileEntry(i);
        names.push_back(entry.Name);
        if (entry.Name == "Additional.x") EXPECT_TRUE(entry.Stored);
    }
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"Additional.x", "App.exe", "Setup.ini", "gfx.x", "snd.x"}));
}

TEST_F(PayloadBuilderTest, EntryLevelOverridesTheArchiveLevel) {
    TZLBWriter writer;
    writer.CompressionLevel = fcMaximum;
    writer.AddFile(project_ / "Graphics/panel.bmp", "kept.bmp", "", fcNone);
    writer.AddFile(project_ / "Graphics/panel.bmp", "packed.bmp");
    writer.Save(out_ / "levels.x");
    TZLBArchive archive;
    ASSERT_TRUE(archive.OpenArchive(out_ / "levels.x"));
    EXPECT_TRUE(archive.GetFileEntry(0).Stored);
    EXPECT_FALSE(archive.GetFileEntry(1).Stored);
}

TEST_F(PayloadBuilderTest, SameProjectGivesSameBytes) {
    BuildPayload(project_.Path(), out_ / "a.x");
    BuildPayload(project_.Path(), out_ / "b.x");
    EXPECT_EQ(test::ReadBytes(out_ / "a.x"), test::ReadBytes(out_ / "b.x"));
    // No temporary archives are left beside the output.
    size_t count = 0;
    for (auto& e : std::filesystem::directory_iterator(out_.Path())) count += e.is_regular_file();
    EXPECT_EQ(count, 2u);
}

TEST_F(PayloadBuilderTest, ProjectWithoutSetupIniIsRefused) {
    std::filesystem::remove(project_ / "Setup.ini");
    EXPECT_EQ(test::ErrorOf([&] { BuildPayload(project_.Path(), out_ / "p.x"); }),
              "The project folder " + project_.Path().substr(0, project_.Path().size() - 1) + " has no Setup.ini");
}

}  // namespace
}  // namespace zub
