#include "base/timeline.h"

#include <gtest/gtest.h>

#include <sstream>
#include <stdexcept>

#include "archive_test_util.h"

namespace zub::timeline {
namespace {

struct TLine {
    double ms;
    std::string kind, name;
};

std::vector<TLine> Lines(const std::string& text) {
    std::vector<TLine> lines;
    std::istringstream in(text);
    TLine l;
    while (in >> l.ms >> l.kind && std::getline(in, l.name)) {
        l.name.erase(0, 1);
        lines.push_back(l);
    }
    return lines;
}

// Steps end also when left by an exception, and the times never go back.
TEST(TimelineTest, WritesStepsAndMarksInTheirOrder) {
    TTempFolder dir;
    const std::string path = dir / "t.txt";
    Enable(path);
    Mark("main");
    try {
        TStep outer("outer");
        Begin("inner");
        End("inner");
        throw std::runtime_error("gone");
    } catch (const std::exception&) {
    }
    Write();
    Enable("");
    const std::vector<TLine> lines = Lines([&] { test::Bytes b = test::ReadBytes(dir / "t.txt"); return std::string(b.begin(), b.end()); }());
    ASSERT_EQ(lines.size(), 5u);
    const char* expected[][2] = {{"at", "main"}, {"begin", "outer"}, {"begin", "inner"}, {"end", "inner"}, {"end", "outer"}};
    for (size_t i = 0; i < lines.size(); ++i) {
        EXPECT_EQ(lines[i].kind, expected[i][0]) << i;
        EXPECT_EQ(lines[i].name, expected[i][1]) << i;
        if (i) EXPECT_GE(lines[i].ms, lines[i - 1].ms) << i;
    }
}

// Off, nothing is kept or written; a runaway loop of marks stops at a bound.
TEST(TimelineTest, OffRecordsNothingAndOnIsBounded) {
    TTempFolder dir;
    Enable("");
    Mark("ignored");
    { TStep step("ignored"); }
    EXPECT_EQ(Format(), "");
    Write();
    Enable(dir / "t.txt");
    for (int i = 0; i < 100000; ++i) Mark("again");
    EXPECT_LT(Lines(Format()).size(), 1000u);
    Enable("");
    EXPECT_TRUE(std::filesystem::is_empty(test::Native(dir.Path())));
}

}  // namespace
}  // namespace zub::timeline
