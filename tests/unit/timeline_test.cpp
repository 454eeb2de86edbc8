#include "base/timeline.h"

#include <gtest/gtest.h>

#include <map>
#include <sstream>
#include <stdexcept>
#include <thread>

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

// The setup unpacks on a thread of its own while its window is made: records
// of both threads are all kept, each thread's in its own order.
TEST(TimelineTest, RecordsOfTwoThreadsAreAllKept) {
    TTempFolder dir;
    Enable(dir / "t.txt");
    constexpr int kEach = 40;  // 240 records in all: below the bound
    auto marks = [](const char* a, const char* b) {
        for (int i = 0; i < kEach; ++i) {
            TStep step(a);
            Mark(b);
        }
    };
    std::thread other(marks, "other", "other mark");
    marks("own", "own mark");
    other.join();
    const std::vector<TLine> lines = Lines(Format());
    Enable("");
    std::map<std::string, int> counts;
    std::map<std::string, double> last;
    for (const TLine& l : lines) {
        ++counts[l.kind + " " + l.name];
        const std::string thread = l.name.substr(0, l.name.find(' '));
        EXPECT_GE(l.ms, last[thread]) << l.name;
        last[thread] = l.ms;
    }
    EXPECT_EQ(lines.size(), 6u * kEach);
    for (const char* name : {"begin other", "end other", "at other mark", "begin own", "end own", "at own mark"})
        EXPECT_EQ(counts[name], kEach) << name;
}

}  // namespace
}  // namespace zub::timeline
