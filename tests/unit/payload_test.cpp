#include "archive/payload.h"

#include <gtest/gtest.h>

#include <sstream>

#include "archive/zlb_archive.h"
#include "archive/zlb_writer.h"
#include "base/strings.h"
#include "base/timeline.h"
#include "archive_test_util.h"

namespace zub {
namespace {

using test::ArchiveOf;
using test::Bytes;
using test::ErrorOf;

class PayloadTest : public ::testing::Test {
protected:
    // A work folder as start-up leaves it, with the payload copied out.
    void MakePayload(bool withSounds, bool withAdditional) {
        for (const char* sub : {"Graphics", "Sounds", "Additional"}) std::filesystem::create_directories(work / sub);
        std::vector<std::pair<std::string, Bytes>> payload = {
            {"Setup.ini", test::ToBytes("[Setup]\n")},
            {"gfx.x", ArchiveOf({{"panel.bmp", test::TextData(4000)}}, scratch)}};
        if (withSounds) payload.push_back({"snd.x", ArchiveOf({{"click.wav", test::NoiseData(900)}}, scratch)});
        if (withAdditional) {
            Bytes other = ArchiveOf({{"inner.txt", test::ToBytes("inner")}}, scratch);
            Bytes upper = ArchiveOf({{"loud.txt", test::ToBytes("LOUD")}}, scratch);
            payload.push_back({"Additional.x", ArchiveOf({{"page.html", test::ToBytes("<p>")},
                                                          {"other.x", other}, {"UPPER.X", upper}},
                                                         scratch)});
        }
        test::WriteBytes(work / "Data.Zub", ArchiveOf(payload, scratch));
    }

    TTempFolder work, scratch;
    TZLBArchive archiver;
};

TEST_F(PayloadTest, UnpacksEveryArchiveIntoItsFolder) {
    MakePayload(true, true);
    UnpackPayloadArchive(archiver, work.Path());
    EXPECT_EQ(test::ReadBytes(work / "Setup.ini"), test::ToBytes("[Setup]\n"));
    EXPECT_EQ(test::ReadBytes(work / "Graphics/panel.bmp"), test::TextData(4000));
    EXPECT_EQ(test::ReadBytes(work / "Sounds/click.wav"), test::NoiseData(900));
    EXPECT_EQ(test::ReadBytes(work / "Additional/page.html"), test::ToBytes("<p>"));
    EXPECT_EQ(test::ReadBytes(work / "Additional/other/inner.txt"), test::ToBytes("inner"));
    EXPECT_EQ(test::ReadBytes(work / "Additional/UPPER/loud.txt"), test::ToBytes("LOUD"));
    // The archive of additional files and those nested in it are gone; the others stay.
    for (const char* gone : {"Additional.x", "Additional/other.x", "Additional/UPPER.X"})
        EXPECT_FALSE(test::Exists(work / gone)) << gone;
    for (const char* kept : {"Data.Zub", "gfx.x", "snd.x"}) EXPECT_TRUE(test::Exists(work / kept)) << kept;
}

// The steps of the start-up timeline, in order: each archive's CRC pass and
// extraction, then the nested archives as one step.
TEST_F(PayloadTest, UnpackingRecordsItsStepsOnTheTimeline) {
    MakePayload(true, true);
    timeline::Enable(scratch / "timeline.txt");
    UnpackPayloadArchive(archiver, work.Path());
    std::string steps;
    for (std::istringstream lines(timeline::Format()); lines.good();) {
        std::string ms, kind, name;
        lines >> ms >> kind;
        std::getline(lines, name);
        if (!kind.empty()) steps += kind + name + ";";
    }
    timeline::Enable("");
    const std::string archive = "begin CRC pass;end CRC pass;begin extraction;end extraction;";
    EXPECT_EQ(steps, archive + archive + archive + "begin nested archives;end nested archives;");
}

TEST_F(PayloadTest, SoundsAndAdditionalFilesAreOptional) {
    MakePayload(false, false);
    UnpackPayloadArchive(archiver, work.Path());
    EXPECT_TRUE(test::Exists(work / "Graphics/panel.bmp"));
    EXPECT_TRUE(std::filesystem::is_empty(work / "Sounds"));
    EXPECT_TRUE(std::filesystem::is_empty(work / "Additional"));
}

TEST_F(PayloadTest, GraphicsAreRequired) {
    test::WriteBytes(work / "Data.Zub", ArchiveOf({{"Setup.ini", test::ToBytes("x")}}, scratch));
    EXPECT_EQ(ErrorOf([&] { UnpackPayloadArchive(archiver, work.Path()); }), "Archive file not found");
}

// Every level counts: the payload's entries, and the contents of gfx.x,
// snd.x, Additional.x and of the archives inside it.
TEST_F(PayloadTest, WhatEveryLevelDeclaresMustFitTheFreeSpaceBeforeItIsExtracted) {
    MakePayload(true, true);
    TUnpackRoom measure(-1);
    UnpackPayloadArchive(archiver, work.Path(), nullptr, nullptr, &measure);
    const int64_t top = 8 + int64_t(test::ReadBytes(work / "gfx.x").size() + test::ReadBytes(work / "snd.x").size()) +
                        int64_t(ArchiveOf({{"page.html", test::ToBytes("<p>")},
                                           {"other.x", ArchiveOf({{"inner.txt", test::ToBytes("inner")}}, scratch)},
                                           {"UPPER.X", ArchiveOf({{"loud.txt", test::ToBytes("LOUD")}}, scratch)}},
                                          scratch)
                                    .size());
    const int64_t additional = 3 + int64_t(ArchiveOf({{"inner.txt", test::ToBytes("inner")}}, scratch).size()) +
                               int64_t(ArchiveOf({{"loud.txt", test::ToBytes("LOUD")}}, scratch).size());
    EXPECT_EQ(measure.Taken(), top + 4000 + 900 + additional + 5 + 4);

    struct Case {
        int64_t room;
        const char* stoppedAt;  // the archive that no longer fits; nothing of it is extracted
        const char* empty;
    };
    const Case cases[] = {
        {top - 1, "Data.Zub", ""},
        {top + 3999, "gfx.x", "Graphics"},
        {measure.Taken() - 1, "Additional\\other.x", ""},  // the last of the two nested ones
    };
    for (const Case& c : cases) {
        std::filesystem::remove_all(work.Path());
        std::filesystem::create_directories(work.Path());
        MakePayload(true, true);
        TUnpackRoom room(c.room);
        const std::string error = ErrorOf([&] { UnpackPayloadArchive(archiver, work.Path(), nullptr, nullptr, &room); });
        EXPECT_EQ(error, Format("Not enough free space to unpack %s%s: the setup needs %lld bytes, the drive has %lld",
                                work.Path().c_str(), c.stoppedAt, (long long)(room.Taken()), (long long)(c.room)));
        if (*c.empty) EXPECT_TRUE(std::filesystem::is_empty(work / c.empty)) << c.empty;
    }
}

TEST_F(PayloadTest, ArchivesNestedDeeperThanTheLimitStopTheUnpacking) {
    // Additional.x holds l2.x, which holds l3.x, ..., down to `levels`.
    const auto chain = [&](int levels) {
        Bytes inner = ArchiveOf({{"deep.txt", test::ToBytes("deep")}}, scratch);
        for (int level = levels; level >= 2; --level)
            inner = ArchiveOf({{Format("l%d.x", level), inner}}, scratch);
        test::WriteBytes(work / "Additional.x", inner);
    };
    chain(kMaxNestingDepth);
    UnpackNestedArchive(work / "Additional.x");
    std::string deepest = "Additional";
    for (int level = 2; level <= kMaxNestingDepth; ++level) deepest += Format("/l%d", level);
    EXPECT_EQ(test::ReadBytes(work / (deepest + "/deep.txt")), test::ToBytes("deep"));

    std::filesystem::remove_all(work / "Additional");
    chain(kMaxNestingDepth + 1);
    const std::string error = ErrorOf([&] { UnpackNestedArchive(work / "Additional.x"); });
    EXPECT_NE(error.find(Format("l%d.x lies more than %d archives deep", kMaxNestingDepth + 1, kMaxNestingDepth)),
              std::string::npos)
        << error;
    EXPECT_FALSE(test::Exists(work / (deepest + Format("/l%d", kMaxNestingDepth + 1))));
}

TEST_F(PayloadTest, FolderNamedLikeAnArchiveIsTakenForOne) {
    std::filesystem::create_directories(work / "Additional/fake.x");
    test::WriteBytes(work / "Additional.x", ArchiveOf({{"page.html", test::ToBytes("<p>")}}, scratch));
    EXPECT_EQ(ErrorOf([&] { UnpackNestedArchive(work / "Additional.x"); }), "Archive file not found");
}

}  // namespace
}  // namespace zub
