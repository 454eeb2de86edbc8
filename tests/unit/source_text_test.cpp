// Built-in texts reach the windows as Windows-1252 bytes, so a literal must
// spell a non-ASCII character with an escape ("f\xFCr"): raw UTF-8 in a
// literal would put two bytes where the window expects one. Comments may use
// any character.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace {

namespace fsys = std::filesystem;

// The places in a source text where a byte above 0x7F stands outside comments.
std::vector<int> NonAsciiOutsideComments(const std::string& text) {
    std::vector<int> lines;
    enum { kCode, kLineComment, kBlockComment, kString, kChar } state = kCode;
    int line = 1;
    for (size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        const char next = i + 1 < text.size() ? text[i + 1] : '\0';
        if (c == '\n') {
            ++line;
            if (state == kLineComment) state = kCode;
            continue;
        }
        const bool inComment = state == kLineComment || state == kBlockComment;
        if ((static_cast<unsigned char>(c) & 0x80) && !inComment) {
            if (lines.empty() || lines.back() != line) lines.push_back(line);
        }
        switch (state) {
            case kCode:
                if (c == '/' && next == '/') state = kLineComment, ++i;
                else if (c == '/' && next == '*') state = kBlockComment, ++i;
                else if (c == '"') state = kString;
                else if (c == '\'') state = kChar;
                break;
            case kBlockComment:
                if (c == '*' && next == '/') state = kCode, ++i;
                break;
            case kString:
            case kChar:
                if (c == '\\') ++i;
                else if (c == (state == kString ? '"' : '\'')) state = kCode;
                break;
            case kLineComment: break;
        }
    }
    return lines;
}

TEST(SourceText, TheScannerFindsRawBytesOnlyOutsideComments) {
    EXPECT_TRUE(NonAsciiOutsideComments("// f\xC3\xBCr\nint a; /* \xC3\xA4\n\xC3\xB6 */ const char* t = \"f\\xFCr\";").empty());
    EXPECT_EQ(NonAsciiOutsideComments("int a;\nconst char* t = \"f\xC3\xBCr\"; // ok\n"), std::vector<int>{2});
    EXPECT_EQ(NonAsciiOutsideComments("const char* t = \"// \\\" \xC3\xBC\";"), std::vector<int>{1});
    EXPECT_EQ(NonAsciiOutsideComments("char c = '\xFC';"), std::vector<int>{1});
}

TEST(SourceText, LiteralsSpellNonAsciiCharactersWithEscapes) {
    const fsys::path root = SKINSETUP_SOURCE_DIR;
    std::vector<std::string> findings;
    size_t files = 0;
    for (const char* folder : {"base", "archive", "folders", "setup", "skin", "ui", "uninstall", "tools", "tests"}) {
        if (!fsys::exists(root / folder)) continue;
        for (const auto& entry : fsys::recursive_directory_iterator(root / folder)) {
            const std::string ext = entry.path().extension().string();
            if (!entry.is_regular_file() || (ext != ".cpp" && ext != ".h")) continue;
            ++files;
            std::ifstream in(entry.path(), std::ios::binary);
            std::stringstream content;
            content << in.rdbuf();
            for (int line : NonAsciiOutsideComments(content.str()))
                findings.push_back(entry.path().string() + ":" + std::to_string(line));
        }
    }
    EXPECT_GT(files, 50u);
    EXPECT_TRUE(findings.empty()) << ::testing::PrintToString(findings);
}

}  // namespace
