#include "formats/setup_script.h"

#include <gtest/gtest.h>

#include <climits>
#include <fstream>
#include <map>

#include "base/error.h"
#include "base/file.h"
#include "base/strings.h"
#include "shell/temp_folder.h"

namespace zub {
namespace {

// Records every call as one line of text, e.g. "Back.Top 340".
class RecordingButton : public ISkinButtonTarget {
public:
    RecordingButton(std::string name, std::vector<std::string>& log) : name_(std::move(name)), log_(log) {}
    void SetTop(int32_t v) override { Add("Top", std::to_string(v)); }
    void SetLeft(int32_t v) override { Add("Left", std::to_string(v)); }
    void SetImageNormal(const std::string& f) override { Add("ImageNormal", f); }
    void SetImageOver(const std::string& f) override { Add("ImageOver", f); }
    void SetImagePressed(const std::string& f) override { Add("ImagePressed", f); }
    void SetImageDisabled(const std::string& f) override { Add("ImageDisabled", f); }
    void SetInvisibleColor(int32_t v) override { Add("InvisibleColor", std::to_string(v)); }

private:
    void Add(const char* what, const std::string& v) { log_.push_back(name_ + "." + what + " " + v); }
    std::string name_;
    std::vector<std::string>& log_;
};

class RecordingForm : public ISetupScriptTarget {
public:
    RecordingForm() { Data.WorkFolder = "W\\"; }
    RecordingForm(const RecordingForm&) = delete;  // the buttons log into this object
    RecordingForm& operator=(const RecordingForm&) = delete;
    TSetupData& SetupData() override { return Data; }
    void SetPageAreaTop(int32_t v) override { Log.push_back("PageAreaTop " + std::to_string(v)); }
    void SetPageAreaLeft(int32_t v) override { Log.push_back("PageAreaLeft " + std::to_string(v)); }
    void SetPageAreaWidth(int32_t v) override { Log.push_back("PageAreaWidth " + std::to_string(v)); }
    void SetPageAreaHeight(int32_t v) override { Log.push_back("PageAreaHeight " + std::to_string(v)); }
    void SetPanelBitmap(const std::string& f) override { Log.push_back("PanelBitmap " + f); }
    void SetPanelInvisibleColor(int32_t v) override { Log.push_back("PanelInvisibleColor " + std::to_string(v)); }
    ISkinButtonTarget& Button(TButtonKind kind) override { return buttons_.at(kind); }

    TSetupData Data;
    std::vector<std::string> Log;

private:
    std::map<TButtonKind, RecordingButton> buttons_{{TButtonKind::Back, {"Back", Log}},
                                                    {TButtonKind::Forward, {"Forward", Log}},
                                                    {TButtonKind::Cancel, {"Cancel", Log}}};
};

// `text` as Setup.ini in a folder of this test process, removed again afterwards.
struct TScriptFile {
    explicit TScriptFile(const std::string& text) { std::ofstream(path, std::ios::binary) << text; }
    const TTempFolder folder;
    const std::string path = folder / "Setup.ini";
};

struct TReadResult {
    TSetupData Data;
    std::vector<std::string> Log;
};

TReadResult Read(const std::string& text) {
    RecordingForm form;
    ReadSetupScript(TScriptFile(text).path, form);
    return {form.Data, form.Log};
}

// The setup data after a script whose only block is a Setup block with `body`.
TSetupData ReadSetup(const std::string& body) { return Read("H\nObject=Setup\n" + body + "\nend\n").Data; }

using Lines = std::vector<std::string>;

TEST(SetupScript, KeyAndValueSplitAtFirstEquals) {
    const struct { const char* line; const char* key; const char* value; } cases[] = {
        {"A=B=C", "A", "B=C"}, {"noequals", "", "noequals"}, {"=v", "", "v"}, {"k=", "k", ""}, {"", "", ""}};
    for (const auto& c : cases) {
        EXPECT_EQ(KeyOf(c.line), c.key) << c.line;
        EXPECT_EQ(ValueOf(c.line), c.value) << c.line;
    }
}

TEST(SetupScript, SplitLines) {
    using namespace std::string_literals;
    const struct { std::string text; Lines lines; } cases[] = {
        {"", {}},           {"a", {"a"}},
        {"a\n", {"a"}},     {"a\r\nb", {"a", "b"}},
        {"a\rb\nc", {"a", "b", "c"}},
        {"a\n\rb", {"a", "", "b"}},  // LF CR is two line ends
        {"a\r\n\r\n", {"a", ""}},    {" a \t", {" a \t"}},
        {"a\0b\nc"s, {"a"}},  // NUL ends the text
    };
    for (const auto& c : cases) EXPECT_EQ(SplitLines(c.text), c.lines) << c.text;
}

TEST(SetupScript, StrToIntAcceptsDecimalAndHex) {
    const struct { const char* text; int32_t value; } cases[] = {
        {"0", 0},           {"007", 7},           {"   42", 42},          {"+7", 7},
        {"-7", -7},         {"2147483647", INT32_MAX}, {"-2147483648", INT32_MIN},
        {"-2147483640", clWindowText},             {"$10", 16},           {"x1f", 31},
        {"X1F", 31},        {"0x10", 16},         {"0XfF", 255},         {"$FFFFFFFF", -1},
        {"$80000000", INT32_MIN}, {"$000000010", 16}, {"-$10", -16},      {" +0x7FFFFFFF", INT32_MAX},
    };
    for (const auto& c : cases) EXPECT_EQ(StrToInt(c.text), c.value) << c.text;
}

TEST(SetupScript, StrToIntRejectsMalformed) {
    const char* cases[] = {"",   "   ", "1 ",  "1 2", "12a", "\t1", "1.0", "+",   "-",   "--1", "+-1",
                           "- 1", "2147483648", "-2147483649", "99999999999", "$", "x", "0x", "$ 1",
                           "$G", "0x-1", "$100000000", "$-1", "$$1"};
    for (const char* text : cases) {
        try {
            StrToInt(text);
            ADD_FAILURE() << "accepted '" << text << "'";
        } catch (const Error& e) {
            EXPECT_EQ(e.what(), Format("'%s' ist kein g\xfcltiger Integerwert", text));
        }
    }
}

TEST(SetupScript, SetupKeysFillTheSetupData) {
    const TSetupData d = ReadSetup(
        "TargetFile=App.exe\nAddfile=a.dll\nAddfile=Graphics\\b.gif\nAddfile=a.dll\nLanguage=german\n"
        "RazederodezTitle=A=B\nFontname=Arial\nFontcolor=-2147483640\nFontheight=$10\nTextBoxColor=255\n"
        "Licence= lic.txt\nDestination=App\nFolder=Old\nFolder=New\nReadMe=read.txt\nAlphaColor=5\n"
        "Method=x\nfontname=lower\nFontname =spaced\nObject=Toolweb");
    EXPECT_EQ(d.TargetFile, "App.exe");
    EXPECT_EQ(d.AddFiles, (Lines{"a.dll", "Graphics\\b.gif", "a.dll"}));  // not prefixed, duplicates kept
    EXPECT_EQ(d.Language, "german");
    EXPECT_EQ(d.RazederodezTitle, "A=B");
    EXPECT_EQ(d.SetupFont, (TFont{"Arial", clWindowText, 16, 0}));
    EXPECT_EQ(d.TextBoxColor, 255);
    EXPECT_EQ(d.Licence, " lic.txt");
    EXPECT_EQ(d.Destination, "App");
    EXPECT_EQ(d.Folder, "New");
    EXPECT_EQ(d.ReadMe, "read.txt");
}

TEST(SetupScript, FontstyleClearsThenSetsOneStyle) {
    const struct { const char* value; unsigned style; } cases[] = {
        {"Bold", fsBold}, {"Italic", fsItalic}, {"Underline", fsUnderline}, {"StrikeOut", fsStrikeOut},
        {"Bold,Italic", 0}, {"", 0}, {"bold", 0}, {"Bold ", 0}};
    for (const auto& c : cases)  // the first line sets a style the second must clear
        EXPECT_EQ(ReadSetup(std::string("Fontstyle=Underline\nFontstyle=") + c.value).SetupFont.Style, c.style)
            << c.value;
}

TEST(SetupScript, BooleansAreTrueOnlyForOne) {
    const struct { const char* value; bool flag; } cases[] = {{"1", true}, {"true", false}, {" 1", false},
                                                              {"1 ", false}, {"", false}, {"01", false}};
    for (const auto& c : cases) {
        const TSetupData d = ReadSetup(std::string("LaunchProg=") + c.value + "\nDesktopIcon=" + c.value);
        EXPECT_EQ(d.LaunchProg, c.flag) << c.value;
        EXPECT_EQ(d.DesktopIcon, c.flag) << c.value;
    }
}

TEST(SetupScript, BlocksDriveTheWindow) {
    using namespace std::string_literals;
    const struct { const char* name; std::string text; Lines log; } cases[] = {
        {"toolweb bounds", "H\nObject=Toolweb\nName=t\nTop=$10\nLeft=-3\nWidth=0x20\nHeight=7\nZOrder=1\nend",
         {"PageAreaTop 16", "PageAreaLeft -3", "PageAreaWidth 32", "PageAreaHeight 7"}},
        {"panel files get the work folder",
         "H\nObject=Panel\nName=p\nBitmap=Graphics\\p.bmp\nInvisibleColor=13093064\nend",
         {"PanelBitmap W\\Graphics\\p.bmp", "PanelInvisibleColor 13093064"}},
        {"button keys", "H\nObject=Button\nName=b\nAction=Back\nTop=340\nLeft=$A\nMask=m\nTouched=t\nPressed=p\n"
                        "Disabled=d\nInvisibleColor=-1\nSound=s\nend",
         {"Back.Top 340", "Back.Left 10", "Back.ImageNormal W\\m", "Back.ImageOver W\\t", "Back.ImagePressed W\\p",
          "Back.ImageDisabled W\\d", "Back.InvisibleColor -1"}},
        {"selector is the second line, later Action ignored",
         "H\nObject=Button\nName=b\nAction=Forward\nAction=Back\nTop=1\nend",
         {"Forward.Top 1"}},
        {"selector line's key does not matter", "H\nObject=Button\nx\nAnything=Cancel\nTop=2\nend", {"Cancel.Top 2"}},
        {"Action on the third line selects nothing", "H\nObject=Button\nName=b\nZOrder=1\nAction=Back\nTop=1\nend", {}},
        {"unselected button lines are passed one by one",
         "H\nObject=Button\nName=b\nAction=Help\nObject=Toolweb\nTop=4\nend",
         {"PageAreaTop 4"}},
        {"header skipped", "Object=Toolweb\nTop=1\nend", {}},
        {"trailing blank after the kind", "H\nObject=Toolweb \nTop=1\nend", {}},
        {"unknown kinds, outside lines and case",
         "H\nTop=1\nObject=Sound\nTop=2\nend\nObject=toolweb\nTop=3\nend\nobject=Panel\nBitmap=b\nend", {}},
        {"'end ' does not end a block", "H\nObject=Toolweb\nTop=1\nend \nTop=2\nend", {"PageAreaTop 1", "PageAreaTop 2"}},
        {"missing end swallows the next block", "H\nObject=Toolweb\nTop=1\nObject=Panel\nBitmap=b\nend\nTop=9",
         {"PageAreaTop 1"}},
        {"blocks repeat in file order", "H\nObject=Toolweb\nTop=1\nend\nObject=Toolweb\nTop=2\nend",
         {"PageAreaTop 1", "PageAreaTop 2"}},
        {"CR, LF and CR LF", "H\rObject=Toolweb\r\nTop=1\nLeft=2\r\rend", {"PageAreaTop 1", "PageAreaLeft 2"}},
        {"NUL ends the text", "H\nObject=Toolweb\nTop=1\nend\n\0Object=Panel\nBitmap=b"s, {"PageAreaTop 1"}},
    };
    for (const auto& c : cases) EXPECT_EQ(Read(c.text).Log, c.log) << c.name;
}

TEST(SetupScript, SettingsKeepTheirDefaultsWithoutASetupBlock) {
    const TSetupData d = Read("Object=Setup\nFolder=x\nend\nObject=Setup \nAddfile=a\nLaunchProg=1\nend").Data;
    EXPECT_TRUE(d.AddFiles.empty());
    EXPECT_EQ(d.Folder, "");
    EXPECT_FALSE(d.LaunchProg);
    EXPECT_EQ(d.SetupFont, TFont{});
}

TEST(SetupScript, FailuresNameTheFileAndLine) {
    const struct { std::string text; std::string message; } cases[] = {
        {"H\nObject=Setup\nFolder=x", "Setup.ini, line 2: the block \"Object=Setup\" has no \"end\" line"},
        {"H\r\nTop=1\r\nObject=Panel\r\nBitmap=x\r\nend \r\n",
         "Setup.ini, line 3: the block \"Object=Panel\" has no \"end\" line"},
        {"H\nObject=Button\nName=b\nAction=Back\nTop=1",
         "Setup.ini, line 2: the block \"Object=Button\" has no \"end\" line"},
        {"H\nObject=Toolweb\nend\nObject=Button\nName=b",
         "Setup.ini, line 4: the block \"Object=Button\" ends before line 6, which names its button"},
        {"H\nObject=Setup\nAlphaColor=abc\nend", "'abc' ist kein g\xfcltiger Integerwert"},
        {"H\nObject=Toolweb\nHeight=\nend", "'' ist kein g\xfcltiger Integerwert"},
        {"H\nObject=Button\nName=b\nAction=Cancel\nInvisibleColor=1 \nend", "'1 ' ist kein g\xfcltiger Integerwert"},
    };
    for (const auto& c : cases) {
        RecordingForm form;
        try {
            ReadSetupScript(TScriptFile(c.text).path, form);
            ADD_FAILURE() << "no error for: " << c.message;
        } catch (const Error& e) {
            EXPECT_EQ(e.what(), c.message);
        }
    }
}

TEST(SetupScript, MissingFileIsNamed) {
    RecordingForm form;
    const std::string path = testing::TempDir() + "zub_no_such_folder/Setup.ini";
    try {
        ReadSetupScript(path, form);
        ADD_FAILURE() << "no error";
    } catch (const Error& e) {
        EXPECT_EQ(e.what(), "Setup script not found (" + path + ")");
    }
}

}  // namespace
}  // namespace zub
