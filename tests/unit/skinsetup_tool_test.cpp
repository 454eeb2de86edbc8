// skinsetup as a whole: its commands run in-process on temporary folders.
#include "tools/skinsetup.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>

#include "archive/payload_builder.h"
#include "archive/pe_resource.h"
#include "archive/zlb_archive.h"
#include "tests/unit/archive_test_util.h"
#include "tests/unit/pe_test_util.h"
#include "tests/unit/tool_test_util.h"
#include "base/strings.h"

namespace zub::tool {
namespace {

using test::Bytes;
using test::FilesUnder;
using test::ReadBytes;
using test::Tool;
using test::TResult;
using test::WriteBytes;

// The last line of a text that ends in a line break.
std::string LastLine(const std::string& text) {
    const std::string body = text.substr(0, text.size() - (text.empty() ? 0 : 1));
    return body.substr(body.rfind('\n') + 1);
}

void WriteSampleFiles(const std::string& folder) {
    WriteBytes(folder + "text.txt", test::TextData(100000));
    WriteBytes(folder + "noise.bin", test::NoiseData(70000));
    WriteBytes(folder + "empty", {});
    WriteBytes(folder + "sub/deeper/leaf.txt", test::ToBytes("leaf"));
}

TEST(SkinsetupPack, RoundTripsThroughListAndExtract) {
    struct TCase {
        std::vector<std::string> Options;
        std::vector<std::string> ExtractOptions;
        std::map<std::string, std::string> Expected;  // relative path -> sample file
    };
    const std::map<std::string, std::string> top = {{"text.txt", "text.txt"}, {"noise.bin", "noise.bin"}, {"empty", "empty"}};
    std::map<std::string, std::string> all = top;
    all["sub/deeper/leaf.txt"] = "sub/deeper/leaf.txt";
    std::map<std::string, std::string> flat = top;
    flat["leaf.txt"] = "sub/deeper/leaf.txt";
    const std::vector<TCase> cases = {
        {{}, {}, top},
        {{"--level", "best"}, {"--check-crc"}, top},
        {{"--level=none", "--plain-directory"}, {}, top},
        {{"--level", "fastest", "--recurse"}, {}, flat},
        {{"--recurse", "--with-paths"}, {"--with-paths"}, all},
    };
    for (const TCase& c : cases) {
        TTempFolder temp;
        WriteSampleFiles(temp / "in/");
        std::vector<std::string> pack = {"pack", temp / "in", "-o", temp / "a.x"};
        pack.insert(pack.end(), c.Options.begin(), c.Options.end());
        ASSERT_EQ(Tool(pack).Code, 0);
        const TResult list = Tool({"list", temp / "a.x"});
        EXPECT_EQ(list.Code, 0);
        const std::string summary = LastLine(list.Out);
        EXPECT_EQ(summary.substr(0, summary.find(',')), std::to_string(c.Expected.size()) + " entries") << list.Out;
        std::vector<std::string> extract = {"extract", temp / "a.x", temp / "out"};
        extract.insert(extract.end(), c.ExtractOptions.begin(), c.ExtractOptions.end());
        ASSERT_EQ(Tool(extract).Code, 0);
        std::map<std::string, Bytes> expected;
        for (const auto& [path, sample] : c.Expected) expected[path] = ReadBytes(temp / ("in/" + sample));
        EXPECT_EQ(FilesUnder(temp / "out"), expected) << c.Options.size();
    }
}

// An archive as other producers make it (padding bytes after Stored, plain
// directory) and the tool's own archive of the same files read the same.
TEST(SkinsetupPack, ToolMadeAndHandMadeArchivesReadTheSame) {
    TTempFolder temp;
    const Bytes text = test::TextData(30000), noise = test::NoiseData(4000), small = test::ToBytes("tiny");
    WriteBytes(temp / "in/a.txt", text);
    WriteBytes(temp / "in/b.bin", noise);
    WriteBytes(temp / "in/c.txt", small);
    test::RawEntry stored = test::RawEntry::Plain("b.bin", noise);
    stored.padding = {0xaa, 0xbb, 0xcc};
    WriteBytes(temp / "hand.x", test::BuildArchive({test::RawEntry::Compressed("a.txt", text, {3, 0, 0}), stored,
                                                    test::RawEntry::Compressed("c.txt", small, {2, 0, 0})},
                                                   false));
    ASSERT_EQ(Tool({"pack", temp / "in", "-o", temp / "tool.x", "--level", "best"}).Code, 0);

    for (const char* name : {"hand.x", "tool.x"}) {
        EXPECT_EQ(Tool({"verify", temp / name}).Code, 0) << name;
        ASSERT_EQ(Tool({"extract", temp / name, temp / (std::string(name) + ".out"), "--check-crc"}).Code, 0);
    }
    EXPECT_EQ(FilesUnder(temp / "hand.x.out"), FilesUnder(temp / "tool.x.out"));
    TZLBArchive hand, tool;
    hand.OpenArchive(temp / "hand.x");
    tool.OpenArchive(temp / "tool.x");
    ASSERT_EQ(hand.GetFileCount(), tool.GetFileCount());
    for (int i = 0; i < hand.GetFileCount(); ++i) {
        EXPECT_EQ(hand.GetFileEntry(i).Name, tool.GetFileEntry(i).Name);
        EXPECT_EQ(hand.GetFileEntry(i).UnpackedSize, tool.GetFileEntry(i).UnpackedSize);
        EXPECT_EQ(hand.GetFileEntry(i).CRC32, tool.GetFileEntry(i).CRC32);
    }
    EXPECT_NE(Tool({"list", temp / "hand.x"}).Out.find("directory plain"), std::string::npos);
}

TEST(SkinsetupExtract, KeepExistingLeavesFilesAlone) {
    TTempFolder temp;
    WriteSampleFiles(temp / "in/");
    ASSERT_EQ(Tool({"pack", temp / "in", "-o", temp / "a.x"}).Code, 0);
    WriteBytes(temp / "out/text.txt", test::ToBytes("mine"));
    const TResult result = Tool({"extract", temp / "a.x", temp / "out", "--keep-existing"});
    EXPECT_EQ(result.Code, 0);
    EXPECT_EQ(result.Out, "extracted 2 files into " + (temp / "out") + ", kept 1 existing ones\n");
    EXPECT_EQ(ReadBytes(temp / "out/text.txt"), test::ToBytes("mine"));
    EXPECT_EQ(ReadBytes(temp / "out/noise.bin"), test::NoiseData(70000));
}

TEST(SkinsetupCommandLine, UsageErrorsHelpAndFailures) {
    struct TCase {
        std::vector<std::string> Arguments;
        int Code;
        std::string Err;  // the whole of standard error
    };
    const std::string usage =
        "usage: skinsetup COMMAND [ARGUMENTS]\n\ncommands:\n  init APP_FOLDER PROJECT_FOLDER [options]\n"
        "  pack FOLDER -o OUT.x [options]\n  list ARCHIVE\n  extract ARCHIVE FOLDER [options]\n  verify FILE\n"
        "  build PROJECT -o SETUP.exe [options]\n\n'skinsetup COMMAND --help' describes a command.\n";
    // A refused command line of a command: the reason, its usage line and where its help is.
    const auto refused = [](const std::string& command, const std::string& reason, const std::string& arguments) {
        return "skinsetup " + command + ": " + reason + "\nusage: skinsetup " + command + " " + arguments +
               "\nTry 'skinsetup " + command + " --help'.\n";
    };
    const std::string pack = "FOLDER -o OUT.x [options]";
    const std::vector<TCase> cases = {
        {{}, 2, usage},
        {{"frobnicate"}, 2, "skinsetup: unknown command frobnicate\n" + usage},
        {{"pack", "folder"}, 2, refused("pack", "missing -o (the file to write)", pack)},
        {{"pack", "f", "-o", "x", "--level", "max"}, 2, refused("pack", "unknown level max (best, default, fast, none or ultra)", pack)},
        {{"pack", "f", "-o"}, 2, refused("pack", "option -o needs a value OUT.x", pack)},
        {{"pack", "f", "--recurse=yes", "-o", "x"}, 2, refused("pack", "option --recurse takes no value", pack)},
        {{"list"}, 2, refused("list", "missing arguments: ARCHIVE", "ARCHIVE")},
        {{"list", "a", "b"}, 2, refused("list", "unexpected argument b", "ARCHIVE")},
        {{"extract", "a.x", "out", "--force"}, 2, refused("extract", "unknown option --force", "ARCHIVE FOLDER [options]")},
        {{"list", "/nonexistent/a.x"}, 1, "skinsetup list: Archive file not found\n"},
        {{"pack", "/nonexistent", "-o", "x.x"}, 1, "skinsetup pack: No folder /nonexistent\n"},
        {{"build", "/nonexistent", "-o", "x.exe", "--stub", "s.exe"}, 1, "skinsetup build: No project folder /nonexistent\n"},
        {{"verify", "/nonexistent.exe"}, 1, "skinsetup verify: Unable to open file (/nonexistent.exe)\n"},
    };
    for (const TCase& c : cases) {
        const TResult result = Tool(c.Arguments);
        EXPECT_EQ(result.Code, c.Code) << result.Err;
        EXPECT_EQ(result.Err, c.Err);
        EXPECT_EQ(result.Out, "");
    }
    for (const char* command : {"init", "pack", "list", "extract", "verify", "build"}) {
        const TResult help = Tool({command, "--help"});
        EXPECT_EQ(help.Code, 0);
        EXPECT_EQ(help.Out.rfind(std::string("usage: skinsetup ") + command, 0), 0u) << help.Out;
    }
}

const char kSetupIni[] =
    "[demo]\r\nObject=Setup\r\nTargetFile=App.exe\r\nAddfile=App.exe\r\nAddfile=Read.txt\r\n"
    "Addfile=Additional\\docs\\guide.txt\r\nAddfile=Uninstall.exe\r\nReadMe=Read.txt\r\nLicence=Lic.txt\r\nLanguage=English\r\nend\r\n"
    "Object=Panel\r\nBitmap=Graphics\\panel.bmp\r\nInvisibleColor=16711935\r\nend\r\n"
    "Object=Button\r\nName=back\r\nAction=Back\r\nMask=Graphics\\b.bmp\r\nTouched=Graphics\\b.bmp\r\n"
    "Pressed=Graphics\\b.bmp\r\nDisabled=Graphics\\b.gif\r\nend\r\n"
    "Object=Button\r\nName=next\r\nAction=Forward\r\nMask=Graphics\\b.bmp\r\nTouched=Graphics\\b.bmp\r\n"
    "Pressed=Graphics\\b.bmp\r\nDisabled=Graphics\\b.gif\r\nend\r\n"
    "Object=Button\r\nName=cancel\r\nAction=Cancel\r\nMask=Graphics\\b.bmp\r\nTouched=Graphics\\b.bmp\r\n"
    "Pressed=Graphics\\b.bmp\r\nDisabled=Graphics\\b.gif\r\nend\r\n";

class SkinsetupBuild : public ::testing::Test {
protected:
    void SetUp() override {
        WriteBytes(temp_ / "stub.exe", test::MakeTestPe());
        WriteBytes(temp_ / "Uninstall.exe", test::ToBytes("MZ uninstaller"));
        WriteProject(temp_ / "project/", kSetupIni);
    }
    static void WriteProject(const std::string& project, const std::string& script) {
        WriteBytes(project + "Setup.ini", test::ToBytes(script));
        WriteBytes(project + "App.exe", test::ToBytes("MZ app"));
        WriteBytes(project + "Read.txt", test::ToBytes("read me"));
        WriteBytes(project + "Lic.txt", test::ToBytes("licence"));
        WriteBytes(project + "Graphics/panel.bmp", test::NoiseData(3000));
        WriteBytes(project + "Graphics/b.bmp", test::TextData(800));
        WriteBytes(project + "Graphics/b.gif", test::ToBytes("GIF89a"));
        WriteBytes(project + "Additional/docs/guide.txt", test::ToBytes("guide"));
    }
    TResult Build(const std::string& project, const std::string& out) {
        return Tool({"build", project, "-o", out, "--stub", temp_ / "stub.exe", "--uninstaller", temp_ / "Uninstall.exe"});
    }
    TTempFolder temp_;
};

TEST_F(SkinsetupBuild, MakesAReproducibleSetupThatVerifies) {
    const TResult first = Build(temp_ / "project", temp_ / "one.exe");
    ASSERT_EQ(first.Code, 0) << first.Err;
    EXPECT_EQ(first.Err, "");  // no warnings for a sound project
    ASSERT_EQ(Build(temp_ / "project/", temp_ / "two.exe").Code, 0);
    EXPECT_EQ(ReadBytes(temp_ / "one.exe"), ReadBytes(temp_ / "two.exe"));

    TPayloadOptions options;
    options.ExtraFiles.push_back({temp_ / "Uninstall.exe", "Uninstall.exe"});
    BuildPayload(temp_ / "project", temp_ / "payload.x", options);
    EXPECT_EQ(ReadPayloadResource(ReadBytes(temp_ / "one.exe")), ReadBytes(temp_ / "payload.x"));

    const TResult verify = Tool({"verify", temp_ / "one.exe"});
    EXPECT_EQ(verify.Code, 0) << verify.Out;
    for (const char* line : {"  payload: 7 entries, archive and entry CRCs correct\n",
                             "  gfx.x: 3 entries, archive and entry CRCs correct\n",
                             "  Additional\\docs.x: 1 entry, archive and entry CRCs correct\n",
                             "  Setup.ini: 39 lines, no findings\n", "one.exe: OK\n"})
        EXPECT_NE(verify.Out.find(line), std::string::npos) << line << verify.Out;
}

TEST_F(SkinsetupBuild, VerifyReportsTheFaultsOfBrokenProjects) {
    struct TCase {
        const char* What;
        std::string From, To;  // replaced in Setup.ini
        std::string Finding;
    };
    const std::vector<TCase> cases = {
        {"missing Addfile", "Addfile=Read.txt", "Addfile=Gone.txt",
         "Setup.ini:5: Addfile names \"Gone.txt\", which is not in the payload"},
        {"missing licence", "Licence=Lic.txt", "Licence=Licence.txt",
         "Setup.ini:9: Licence names \"Licence.txt\", which is not in the payload"},
        {"read-me not installed", "ReadMe=Read.txt", "ReadMe=Lic.txt",
         "Setup.ini:8: ReadMe names \"Lic.txt\", which no Addfile line installs"},
        {"missing panel bitmap", "Bitmap=Graphics\\panel.bmp", "Bitmap=Graphics\\panel.png",
         "Setup.ini:13: Bitmap names \"Graphics\\panel.png\", which is not in the payload"},
        {"missing button image", "Name=next\r\nAction=Forward\r\nMask=Graphics\\b.bmp", "Name=next\r\nAction=Forward\r\nMask=Graphics\\n.bmp",
         "Setup.ini:27: Mask names \"Graphics\\n.bmp\", which is not in the payload"},
        {"malformed integer", "InvisibleColor=16711935", "InvisibleColor=0xFF00FFh",
         "Setup.ini:14: InvisibleColor needs an integer, not \"0xFF00FFh\": the setup stops with an error"},
        {"Action not second", "Name=cancel\r\nAction=Cancel", "Action=Cancel\r\nName=cancel",
         "Setup.ini:34: warning: the Button block dresses no button: its second line must be Action=Back, Forward or Cancel, not "
         "\"Name=cancel\""},
        {"block without end", "Disabled=Graphics\\b.gif\r\nend\r\n\0", "Disabled=Graphics\\b.gif\r\n",
         "Setup.ini:32: the block \"Object=Button\" has no \"end\" line: the setup stops with an error"},
    };
    for (const TCase& c : cases) {
        std::string script = kSetupIni;
        std::string from = c.From.c_str();  // the last case cuts at the NUL: only the script's last end goes
        const size_t at = c.What == std::string("block without end") ? script.rfind(from) : script.find(from);
        ASSERT_NE(at, std::string::npos) << c.What;
        script.replace(at, from.size(), c.To);
        const std::string project = temp_ / (std::string("broken/") + c.What + "/");
        WriteProject(project, script);
        // build refuses to write a setup with errors, and warns of the rest.
        const bool warning = c.Finding.find(": warning: ") != std::string::npos;
        const TResult build = Build(project, project + "Setup.exe");
        ASSERT_EQ(build.Code, warning ? 0 : 1) << c.What << build.Err;
        EXPECT_NE(build.Err.find(warning ? "skinsetup build: warning: the setup has " : "the setup would fail: "),
                  std::string::npos) << c.What;
        BuildSetup(project, project + "Setup.exe", {temp_ / "stub.exe", temp_ / "Uninstall.exe"});
        const TResult verify = Tool({"verify", project + "Setup.exe"});
        // Warnings fail the check only with --strict.
        EXPECT_EQ(verify.Code, warning ? 0 : 1) << c.What;
        EXPECT_EQ(Tool({"verify", "--strict", project + "Setup.exe"}).Code, 1) << c.What;
        EXPECT_NE(verify.Out.find("  " + c.Finding + "\n"), std::string::npos) << c.What << "\n" << verify.Out;
    }
}

TEST_F(SkinsetupBuild, VerifyReportsDamagedSetupsAndArchives) {
    ASSERT_EQ(Build(temp_ / "project", temp_ / "setup.exe").Code, 0);
    Bytes exe = ReadBytes(temp_ / "setup.exe");
    const TResourceLocation at = FindPayloadResource(exe.data(), exe.size());
    exe[at.FileOffset + 10] ^= 1;
    WriteBytes(temp_ / "damaged.exe", exe);
    EXPECT_NE(Tool({"verify", temp_ / "damaged.exe"}).Out.find("  payload: The archive file appears to be corrupted\n"),
              std::string::npos);

    const TResult bare = Tool({"verify", temp_ / "stub.exe"});
    EXPECT_EQ(bare.Code, 1);
    EXPECT_NE(bare.Out.find("  payload resource: The executable has no resource ZUBTRESOR\n"), std::string::npos);

    test::RawEntry wrongCrc = test::RawEntry::Compressed("x.txt", test::TextData(500));
    wrongCrc.crc ^= 1;
    WriteBytes(temp_ / "bad.x", test::BuildArchive({wrongCrc}, true));
    const TResult bad = Tool({"verify", temp_ / "bad.x"});
    EXPECT_EQ(bad.Code, 1);
    EXPECT_NE(bad.Out.find("  archive: File (0) is corrupt (entry \"x.txt\")\n"), std::string::npos) << bad.Out;
}

// verify names the entries the setup refuses to unpack, as the setup unpacks:
// by name alone, so that a folder in an entry's Path is no fault.
TEST(SkinsetupVerify, NamesTheEntriesTheSetupRefuses) {
    TTempFolder temp;
    test::RawEntry device = test::RawEntry::Plain("aux.txt", test::ToBytes("a"));
    test::RawEntry climbing = test::RawEntry::Plain("x.txt", test::ToBytes("x"));
    climbing.path = "..\\elsewhere";
    WriteBytes(temp / "bad.x", test::BuildArchive({climbing, device}, false));
    WriteBytes(temp / "good.x", test::BuildArchive({climbing}, false));
    const TResult bad = Tool({"verify", temp / "bad.x"});
    EXPECT_EQ(bad.Code, 1);
    EXPECT_EQ(bad.Out, temp / "bad.x: archive\n" +
                           "  archive: entry \"aux.txt\" names a device (CON, NUL, COM1, LPT1, AUX, PRN, ...): the "
                           "setup refuses to unpack it\n" +
                           temp / "bad.x: 1 error\n");
    const TResult good = Tool({"verify", temp / "good.x"});
    EXPECT_EQ(good.Code, 0);
    EXPECT_EQ(good.Out, temp / "good.x: archive\n" + "  archive: 1 entry, archive and entry CRCs correct\n" +
                            temp / "good.x: OK\n");
}

TEST(SkinsetupBuildStub, DefaultsToTheSetupBesideTheTool) {
    TTempFolder temp;
    EXPECT_EQ(test::ErrorOf([&] { DefaultStub(temp / "bin/"); }),
              "No setup.exe beside the tool (" + temp / "bin/" + "): name the stub with --stub");
    WriteBytes(temp / "setup/setup.exe", {});
    WriteBytes(temp / "tools/skinsetup", {});
    EXPECT_EQ(DefaultStub(temp / "tools/"), temp / "tools/../setup/setup.exe");
    WriteBytes(temp / "tools/setup.exe", {});
    EXPECT_EQ(DefaultStub(temp / "tools/"), temp / "tools/setup.exe");
}

}  // namespace
}  // namespace zub::tool

namespace zub::tool {
namespace {

const char kGroesse[] = "Gr\xC3\xB6\xC3\x9F" "e.txt";     // in UTF-8, as the file system here holds it
const char kGroesse1252[] = "Gr\xF6\xDF" "e.txt";         // as the archive and Windows hold it

TEST(SkinsetupNames, PackWritesWindows1252AndListAndExtractConvertBack) {
    TTempFolder temp;
    WriteBytes(temp / "in/" + kGroesse, test::ToBytes("size"));
    WriteBytes(temp / "in/\xC3\x84rger/x.txt", test::ToBytes("nested"));
    ASSERT_EQ(Tool({"pack", temp / "in", "-o", temp / "a.x", "--recurse", "--with-paths"}).Code, 0);

    TZLBArchive archive;
    archive.OpenArchive(temp / "a.x");
    ASSERT_EQ(archive.GetFileCount(), 2);
    EXPECT_EQ(archive.GetFileEntry(0).Name, kGroesse1252);
    EXPECT_EQ(archive.GetFileEntry(1).Path, "\xC4rger");
    archive.CloseArchive();

    const TResult list = Tool({"list", temp / "a.x"});
    EXPECT_NE(list.Out.find(kGroesse), std::string::npos) << list.Out;
    ASSERT_EQ(Tool({"extract", temp / "a.x", temp / "out", "--with-paths"}).Code, 0);
    EXPECT_EQ(ReadBytes(temp / "out/" + kGroesse), test::ToBytes("size"));
    EXPECT_EQ(ReadBytes(temp / "out/\xC3\x84rger/x.txt"), test::ToBytes("nested"));
}

TEST(SkinsetupNames, ANameWindows1252CannotHoldIsRefused) {
    TTempFolder temp;
    WriteBytes(temp / "in/ok.txt", test::ToBytes("ok"));
    WriteBytes(temp / "in/\xE6\x97\xA5.txt", test::ToBytes("day"));
    const TResult pack = Tool({"pack", temp / "in", "-o", temp / "a.x"});
    EXPECT_EQ(pack.Code, 1);
    EXPECT_EQ(pack.Err, "skinsetup pack: The name of " + temp / "in/\xE6\x97\xA5.txt" +
                            " cannot be written in Windows-1252, the setup's character set: rename it\n");
    EXPECT_FALSE(std::filesystem::exists(temp / "a.x"));
}

class SkinsetupUninstaller : public SkinsetupBuild {
protected:
    // The payload entry "Uninstall.exe" of a setup.
    Bytes UninstallerIn(const std::string& setup) {
        WriteBytes(setup + ".payload", ReadPayloadResource(ReadBytes(setup)));
        TZLBArchive archive;
        archive.OpenArchive(setup + ".payload");
        for (int i = 0; i < archive.GetFileCount(); ++i)
            if (LowerAscii(archive.GetFileEntry(i).Name) == "uninstall.exe") {
                archive.ExtractArchive(setup + ".unpacked/");
                return ReadBytes(setup + ".unpacked/" + archive.GetFileEntry(i).Name);
            }
        return {};
    }
};

TEST_F(SkinsetupUninstaller, ProjectsOwnOrOurs) {
    ASSERT_EQ(Build(temp_ / "project", temp_ / "ours.exe").Code, 0);
    EXPECT_EQ(UninstallerIn(temp_ / "ours.exe"), test::ToBytes("MZ uninstaller"));

    WriteBytes(temp_ / "project/uninstall.EXE", test::ToBytes("MZ the project's own"));
    const TResult both = Build(temp_ / "project", temp_ / "own.exe");
    EXPECT_EQ(both.Code, 2);
    EXPECT_NE(both.Err.find("which --uninstaller would replace"), std::string::npos) << both.Err;
    EXPECT_FALSE(std::filesystem::exists(temp_ / "own.exe"));
    const TResult own = Tool({"build", temp_ / "project", "-o", temp_ / "own.exe", "--stub", temp_ / "stub.exe"});
    ASSERT_EQ(own.Code, 0) << own.Err;
    EXPECT_EQ(UninstallerIn(temp_ / "own.exe"), test::ToBytes("MZ the project's own"));
}

TEST(SkinsetupUninstallerDefault, BesideTheToolOrInTheBuildTree) {
    TTempFolder temp;
    EXPECT_EQ(test::ErrorOf([&] { DefaultUninstaller(temp / "bin/"); }),
              "No Uninstall.exe in the project, beside the stub, beside the tool (" + temp / "bin/" +
                  ") or in the build tree: name one with --uninstaller");
    WriteBytes(temp / "uninstall/Uninstall.exe", {});
    WriteBytes(temp / "tools/skinsetup", {});
    EXPECT_EQ(DefaultUninstaller(temp / "tools/"), temp / "tools/../uninstall/Uninstall.exe");
    WriteBytes(temp / "tools/Uninstall.exe", {});
    EXPECT_EQ(DefaultUninstaller(temp / "tools/"), temp / "tools/Uninstall.exe");
}

TEST_F(SkinsetupBuild, WarningsPassVerifyUnlessStrictErrorsFailIt) {
    // A minimal setup: a panel and files, no Button blocks, a licence in UTF-8,
    // a Windows-1252 file name, and no Addfile for the uninstaller.
    const std::string project = temp_ / "minimal/";
    WriteProject(project, "[m]\r\nObject=Setup\r\nRazederodezTitle=Caf\xC3\xA9\r\nAddfile=App.exe\r\nAddfile=" +
                              std::string(kGroesse1252) +
                              "\r\nLicence=Lic.txt\r\nend\r\nObject=Panel\r\nBitmap=Graphics\\panel.bmp\r\nend\r\n");
    WriteBytes(project + "Lic.txt", test::ToBytes("Licence\r\nf\xC3\xBCr alle\r\n"));
    WriteBytes(project + kGroesse, test::ToBytes("size"));
    ASSERT_EQ(Build(project, project + "Setup.exe").Code, 0);
    const TResult verify = Tool({"verify", project + "Setup.exe"});
    EXPECT_EQ(verify.Code, 0) << verify.Out;
    for (const std::string line :
         {"  Setup.ini:3: warning: Setup.ini holds UTF-8 from this line on, which the setup shows as Windows-1252: "
          "save it in Windows-1252\n",
          "  Setup.ini:6: warning: the licence Lic.txt holds UTF-8 from its line 2 on, which the setup shows as "
          "Windows-1252: save it in Windows-1252\n",
          "  Setup.ini: warning: no Button block dresses the Back button\n",
          "  Setup.ini: warning: no Addfile line installs Uninstall.exe, which the uninstall shortcut and the "
          "uninstall entry start: add \"Addfile=Uninstall.exe\"\n",
          "Setup.exe: 6 warnings\n"})
        EXPECT_NE(verify.Out.find(line), std::string::npos) << line << verify.Out;
    EXPECT_EQ(Tool({"verify", "--strict", project + "Setup.exe"}).Code, 1);
}

}  // namespace
}  // namespace zub::tool
