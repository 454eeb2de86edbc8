// The Setup.ini check of `skinsetup verify`: broken scripts, each with the
// line the finding names.
#include "tools/script_check.h"

#include <gtest/gtest.h>

#include <set>

#include "formats/setup_script.h"

namespace zub::tool {
namespace {

// A sound script: every check passes against kPayloadFiles.
const char kButtons[] =
    "Object=Button\nName=back\nAction=Back\nMask=Graphics\\b.bmp\nTouched=Graphics\\b.bmp\n"
    "Pressed=Graphics\\b.bmp\nDisabled=Graphics\\b.bmp\nend\n"
    "Object=Button\nName=next\nAction=Forward\nMask=Graphics\\b.bmp\nTouched=Graphics\\b.bmp\n"
    "Pressed=Graphics\\b.bmp\nDisabled=Graphics\\b.bmp\nend\n"
    "Object=Button\nName=cancel\nAction=Cancel\nMask=Graphics\\b.bmp\nTouched=Graphics\\b.bmp\n"
    "Pressed=Graphics\\b.bmp\nDisabled=Graphics\\b.bmp\nend\n";

const std::set<std::string> kPayloadFiles = {"App.exe", "Read.txt", "Lic.txt", "Graphics\\panel.bmp", "Graphics\\b.bmp"};

// The findings as verify prints them, without the one about the uninstaller
// (which has a test of its own).
std::vector<std::string> Formatted(const std::vector<TScriptFinding>& findings) {
    std::vector<std::string> out;
    for (const TScriptFinding& finding : findings)
        if (finding.Text.find("installs Uninstall.exe") == std::string::npos)
            out.push_back(FormatFinding("Setup.ini", finding));
    return out;
}

std::vector<std::string> Check(const std::string& head) {
    const std::string script = "[header]\n" + head + "Object=Panel\nBitmap=Graphics\\panel.bmp\nend\n" + kButtons;
    return Formatted(
        CheckSetupScript(SplitLines(script), [](const std::string& path) { return kPayloadFiles.count(path) != 0; }));
}

const char kSetup[] = "Object=Setup\nTargetFile=App.exe\nAddfile=App.exe\nAddfile=Read.txt\nReadMe=Read.txt\nLicence=Lic.txt\nend\n";

struct TCase {
    const char* What;
    std::string Head;  // lines 2.. of the script; the Panel and Buttons follow
    std::vector<std::string> Findings;
};

TEST(ScriptCheck, SoundScriptHasNoFindings) { EXPECT_EQ(Check(kSetup), std::vector<std::string>{}); }

TEST(ScriptCheck, BrokenScriptsNameTheirLine) {
    const std::vector<TCase> cases = {
        {"Addfile missing from the payload", "Object=Setup\nAddfile=Gone.dll\nend\n",
         {"Setup.ini:3: Addfile names \"Gone.dll\", which is not in the payload"}},
        {"Addfile climbing out of the work folder", "Object=Setup\nAddfile=..\\x.dll\nend\n",
         {"Setup.ini:3: Addfile names \"..\\x.dll\", which is not in the payload",
          "Setup.ini:3: Addfile=..\\x.dll climbs out of its folder with \"..\" or \".\": the setup refuses to install it"}},
        {"Addfile naming a device", "Object=Setup\nAddfile=App.exe\nAddfile=nul.txt\nend\n",
         {"Setup.ini:4: Addfile names \"nul.txt\", which is not in the payload",
          "Setup.ini:4: Addfile=nul.txt names a device (CON, NUL, COM1, LPT1, AUX, PRN, ...): the setup refuses to install it"}},
        {"a target after > is what TargetFile and ReadMe name",
         "Object=Setup\nAddfile=App.exe>bin\\Viewer.exe\nTargetFile=bin\\viewer.exe\nReadMe=App.exe\nend\n",
         {"Setup.ini:5: ReadMe names \"App.exe\", which no Addfile line installs"}},
        {"the source before > must be in the payload", "Object=Setup\nAddfile=Gone.dll>App.exe\nend\n",
         {"Setup.ini:3: Addfile names \"Gone.dll\", which is not in the payload"}},
        {"a target that leaves the destination", "Object=Setup\nAddfile=App.exe>..\\App.exe\nend\n",
         {"Setup.ini:3: Addfile=App.exe>..\\App.exe climbs out of its folder with \"..\" or \".\": the setup refuses "
          "to install it"}},
        {"Licence missing", "Object=Setup\nLicence=Nope.txt\nend\n",
         {"Setup.ini:3: Licence names \"Nope.txt\", which is not in the payload"}},
        {"blank Licence is no licence", "Object=Setup\nLicence= \nend\n", {}},
        {"ReadMe not installed", "Object=Setup\nReadMe=Read.txt\nend\n",
         {"Setup.ini:3: ReadMe names \"Read.txt\", which no Addfile line installs"}},
        {"ReadMe matched ignoring case", "Object=Setup\nAddfile=Read.txt\nReadMe=READ.TXT\nend\n", {}},
        {"TargetFile not installed", "Object=Setup\nTargetFile=App.exe\nend\n",
         {"Setup.ini:3: TargetFile names \"App.exe\", which no Addfile line installs"}},
        {"malformed integers", "Object=Setup\nFontheight=11px\nend\nObject=Toolweb\nTop=$10\nWidth=\nend\n",
         {"Setup.ini:3: Fontheight needs an integer, not \"11px\": the setup stops with an error",
          "Setup.ini:7: Width needs an integer, not \"\": the setup stops with an error"}},
        {"keys without effect are not checked", "Object=Setup\nTop=x\nend\nObject=Toolweb\nName=x\nend\n", {}},
        {"unknown language", "Object=Setup\nLanguage=german\nend\n",
         {"Setup.ini:3: warning: Language=german selects no texts (English, French, German or Spanish)"}},
        {"versions", "Object=Setup\nVersion=2.1.0\nVersion=\nVersion=2.1 beta\nPublisher=x\nWebsite=y\nend\n",
         {"Setup.ini:5: warning: Version=2.1 beta is not dotted numbers (such as 2.1.0): deployment tools cannot "
          "compare it with others"}},
        {"object with a trailing blank", "Object=Setup \nAddfile=Gone.dll\nend\n",
         {"Setup.ini:2: \"Object=Setup \" is not the object Setup (blanks and case matter): its block is ignored"}},
        {"block without end swallows the next object",
         "Object=Setup\nAddfile=App.exe\nObject=Toolweb\nTop=1\nend\n",
         {"Setup.ini:4: this Object line lies inside the block of line 2, which has no \"end\" before it: its object is "
          "ignored"}},
        {"end with a blank does not end", "Object=Toolweb\nTop=1\nend \nend\n", {}},
    };
    for (const TCase& c : cases) EXPECT_EQ(Check(c.Head), c.Findings) << c.What;
}

TEST(ScriptCheck, BlocksAndButtonsTheSetupWouldMisread) {
    const auto check = [](const std::string& script) {
        return Formatted(CheckSetupScript(SplitLines(script), [](const std::string&) { return true; }));
    };
    const std::string panel = "Object=Panel\nBitmap=p.bmp\nend\n";
    const std::string images = "Mask=m\nTouched=t\nPressed=p\nDisabled=d\n";
    const std::string back = "Object=Button\nName=b\nAction=Back\n" + images + "end\n";
    const std::string next = "Object=Button\nName=n\nAction=Forward\n" + images + "end\n";
    const std::string cancel = "Object=Button\nName=c\nAction=Cancel\n" + images + "end\n";
    EXPECT_EQ(check("h\n" + panel + back + next + cancel), std::vector<std::string>{});
    EXPECT_EQ(check("h\n" + panel + back + next + cancel + "Object=Setup\nAddfile=x\n"),
              std::vector<std::string>{
                  "Setup.ini:29: the block \"Object=Setup\" has no \"end\" line: the setup stops with an error"});
    EXPECT_EQ(check("h\n" + panel + back + next + "Object=Button\nAction=Cancel\nName=c\n" + images + "end\n"),
              (std::vector<std::string>{"Setup.ini:23: warning: the Button block dresses no button: its second line must be "
                                        "Action=Back, Forward or Cancel, not \"Name=c\"",
                                        "Setup.ini: warning: no Button block dresses the Cancel button"}));
    EXPECT_EQ(check("h\n" + panel + back + next + "Object=Button\nName=c\nAction=Cancel\nMask=m\nend\n"),
              (std::vector<std::string>{"Setup.ini:21: warning: the Cancel button has no Touched image",
                                        "Setup.ini:21: warning: the Cancel button has no Pressed image",
                                        "Setup.ini:21: warning: the Cancel button has no Disabled image"}));
    EXPECT_EQ(check("h\n" + back + next + cancel + "Object=Button\nName=x"),
              (std::vector<std::string>{"Setup.ini:26: the Button block ends before its second line: the setup stops "
                                        "with an error",
                                        "Setup.ini: no Panel object names a Bitmap: the window has no skin and no size"}));
    EXPECT_EQ(check("h\n" + panel + back + back + next + cancel),
              std::vector<std::string>{"Setup.ini:13: warning: a second Button block dresses the Back button again"});
    // The setup takes the selector line's value whatever its key: the block
    // dresses the Cancel button and is checked as such.
    EXPECT_EQ(check("h\n" + panel + back + next + "Object=Button\nAction=c\nName=Cancel\nMask=m\nend\n"),
              (std::vector<std::string>{"Setup.ini:23: warning: the Button block's second line \"Name=Cancel\" is not "
                                        "its Action: the setup dresses the Cancel button by its value all the same",
                                        "Setup.ini:21: warning: the Cancel button has no Touched image",
                                        "Setup.ini:21: warning: the Cancel button has no Pressed image",
                                        "Setup.ini:21: warning: the Cancel button has no Disabled image"}));
}

}  // namespace
}  // namespace zub::tool
