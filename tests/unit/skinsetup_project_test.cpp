// skinsetup init, build options, signing: an application folder made into a
// project, the project into a setup, in-process on temporary folders.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <sstream>

#include "archive/pe_resource.h"
#include "archive/zlb_archive.h"
#include "base/strings.h"
#include "tests/unit/archive_test_util.h"
#include "tests/unit/pe_test_util.h"
#include "tests/unit/tool_test_util.h"
#include "tools/skinsetup.h"

namespace zub::tool {
namespace {

using test::Bytes;
using test::ReadBytes;
using test::ReadText;
using test::Tool;
using test::TResult;
using test::WriteBytes;

bool Has(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

// An application of `count` small files in nested folders, with a program,
// a read-me and a licence at the top.
void WriteApplication(const std::string& app, int count) {
    WriteBytes(app + "Viewer.exe", test::ToBytes("MZ viewer"));
    WriteBytes(app + "README.txt", test::ToBytes("read me"));
    WriteBytes(app + "LICENSE", test::ToBytes("licence"));
    for (int i = 0; i < count; ++i)
        WriteBytes(app + Format("data/set%d/level%d/file%03d.dat", i % 7, i % 3, i), test::TextData(size_t(40 + i)));
}

class SkinsetupInit : public ::testing::Test {
protected:
    void SetUp() override {
        WriteBytes(temp_ / "stub.exe", test::MakeTestPe());
        WriteBytes(temp_ / "Uninstall.exe", test::ToBytes("MZ uninstaller"));
    }
    TResult Init(const std::string& app, std::vector<std::string> options = {}) {
        std::vector<std::string> arguments = {"init", app, temp_ / "project"};
        arguments.insert(arguments.end(), options.begin(), options.end());
        return Tool(arguments);
    }
    TResult Build(const std::string& out, std::vector<std::string> options = {}) {
        std::vector<std::string> arguments = {"build", temp_ / "project", "-o", out, "--stub", temp_ / "stub.exe"};
        arguments.insert(arguments.end(), options.begin(), options.end());
        return Tool(arguments);
    }
    TTempFolder temp_;
};

TEST_F(SkinsetupInit, AFolderOfHundredsOfFilesBuildsVerifiesAndListsEveryFile) {
    WriteApplication(temp_ / "Photo Viewer/", 300);
    const TResult init = Init(temp_ / "Photo Viewer");
    ASSERT_EQ(init.Code, 0) << init.Err;
    EXPECT_EQ(init.Err, "");
    const std::string script = ReadText(temp_ / "project/Setup.ini");
    for (const char* line : {"TargetFile=Viewer.exe\r\n", "Addfile=Additional\\app\\Viewer.exe>Viewer.exe\r\n",
                             "Addfile=Additional\\app\\data\\set0\\level0\\file000.dat>data\\set0\\level0\\file000.dat\r\n",
                             "Addfile=Uninstall.exe\r\n", "RazederodezTitle=Photo Viewer\r\n", "Language=English\r\n",
                             "Licence=Additional\\app\\LICENSE\r\n", "ReadMe=README.txt\r\n",
                             "Destination=Photo Viewer\r\n", "Object=Panel\r\n", "Bitmap=Graphics\\panel.bmp\r\n"})
        EXPECT_TRUE(Has(script, line)) << line;
    // One line per file, in a stable order: a second init writes the same script.
    size_t addfiles = 0;
    for (size_t at = script.find("Addfile="); at != std::string::npos; at = script.find("Addfile=", at + 1)) ++addfiles;
    EXPECT_EQ(addfiles, 304u);

    const TResult build = Build(temp_ / "Setup.exe", {"--uninstaller", temp_ / "Uninstall.exe"});
    ASSERT_EQ(build.Code, 0) << build.Err;
    EXPECT_EQ(build.Err, "");
    const TResult verify = Tool({"verify", temp_ / "Setup.exe"});
    EXPECT_EQ(verify.Code, 0) << verify.Out;
    EXPECT_TRUE(Has(verify.Out, "  signature: none\n")) << verify.Out;
    EXPECT_TRUE(Has(verify.Out, "  Additional\\app\\data\\set6\\level2.x: ")) << verify.Out;

    // The application's files as they travel: every one with its size.
    WriteBytes(temp_ / "payload.x", ReadPayloadResource(ReadBytes(temp_ / "Setup.exe")));
    ASSERT_EQ(Tool({"extract", temp_ / "payload.x", temp_ / "unpacked"}).Code, 0);
    ASSERT_EQ(Tool({"extract", temp_ / "unpacked/Additional.x", temp_ / "additional"}).Code, 0);
    const TResult list = Tool({"list", temp_ / "additional/app.x"});
    EXPECT_TRUE(Has(list.Out, "Viewer.exe")) << list.Out;
    EXPECT_TRUE(Has(list.Out, "data.x")) << list.Out;

    ASSERT_EQ(Init(temp_ / "Photo Viewer", {"--force"}).Code, 0);
    EXPECT_EQ(ReadText(temp_ / "project/Setup.ini"), script);
}

TEST_F(SkinsetupInit, RefusesWhatItCannotMakeAndWritesNothing) {
    struct TCase {
        const char* What;
        std::vector<std::string> Files;  // relative to the application folder
        std::vector<std::string> Options;
        std::string Err;  // a part of standard error
    };
    const std::vector<TCase> cases = {
        {"no program", {"a.txt"}, {}, "No .exe at the top of"},
        {"two programs", {"a.exe", "b.exe"}, {}, "Several programs at the top of " },
        {"a program not there", {"a.exe"}, {"--program", "c.exe"}, "--program names c.exe, which is not a file of"},
        {"a name outside Windows-1252", {"a.exe", "\xE6\x97\xA5.txt"}, {}, "\xE6\x97\xA5.txt: the name cannot be written in Windows-1252"},
        {"a device name", {"a.exe", "sub/aux.txt"}, {}, "aux.txt: Windows refuses the name: it "},
        {"a trailing dot", {"a.exe", "notes."}, {}, "notes.: Windows refuses the name: it "},
        {"a colon", {"a.exe", "a:b"}, {}, "a:b: Windows refuses the name: it "},
        {"an archive's name", {"a.exe", "lib/core.x"}, {}, "core.x: the setup would unpack a file ending in .x"},
        {"names that differ in case", {"a.exe", "Data.txt", "data.txt"}, {}, "Windows does not tell its name from"},
        {"its own uninstaller", {"a.exe", "Uninstall.exe"}, {}, "the setup installs its own Uninstall.exe there"},
        {"a title no folder can have", {"a.exe"}, {"--title", "A/B"}, "Windows refuses it as a folder name"},
        {"an unknown language", {"a.exe"}, {"--language", "Klingon"}, "unknown language Klingon"},
    };
    for (const TCase& c : cases) {
        const std::string app = temp_ / (std::string("app-") + c.What + "/");
        for (const std::string& file : c.Files) WriteBytes(app + file, test::ToBytes("x"));
        const TResult init = Init(app, c.Options);
        EXPECT_NE(init.Code, 0) << c.What;
        EXPECT_TRUE(Has(init.Err, c.Err)) << c.What << ": " << init.Err;
        EXPECT_FALSE(std::filesystem::exists(temp_ / "project")) << c.What;
    }
}

TEST_F(SkinsetupInit, ChoosesTheProgramAndKeepsAnExistingProject) {
    const std::string app = temp_ / "app/";
    for (const char* file : {"a.exe", "b.exe", "bin/tool.exe", "readme.md", "README.txt", "LICENCE.rtf"})
        WriteBytes(app + file, test::ToBytes("x"));
    ASSERT_EQ(Init(app, {"--program", "bin/tool.exe", "--title", "Tools", "--language", "German"}).Code, 0);
    const std::string script = ReadText(temp_ / "project/Setup.ini");
    for (const char* line : {"TargetFile=bin\\tool.exe\r\n", "Language=German\r\n", "ReadMe=README.txt\r\n",
                             "Licence=Additional\\app\\LICENCE.rtf\r\n", "Folder=Tools\r\n"})
        EXPECT_TRUE(Has(script, line)) << line << script;

    WriteBytes(temp_ / "project/mine.txt", test::ToBytes("mine"));
    const TResult again = Init(app, {"--program", "a.exe"});
    EXPECT_EQ(again.Code, 1);
    EXPECT_TRUE(Has(again.Err, "exists already: pass --force to replace it")) << again.Err;
    EXPECT_EQ(ReadText(temp_ / "project/mine.txt"), "mine");
    // Never over the application itself.
    const TResult inside = Tool({"init", app, app + "bin", "--force", "--program", "a.exe"});
    EXPECT_EQ(inside.Code, 1);
    EXPECT_TRUE(Has(inside.Err, "lie in each other")) << inside.Err;
    EXPECT_TRUE(std::filesystem::exists(app + "bin/tool.exe"));
}

TEST_F(SkinsetupInit, LevelsGiveSizesInTheirOrderAndOptionsAreChecked) {
    WriteApplication(temp_ / "app/", 60);
    WriteBytes(temp_ / "app/manual.txt", test::TextData(300000));
    // A small skin keeps zopfli quick.
    WriteBytes(temp_ / "skin/Setup.ini", test::ToBytes("[s]\r\nObject=Panel\r\nBitmap=Graphics\\p.bmp\r\nend\r\n"));
    WriteBytes(temp_ / "skin/Graphics/p.bmp", test::TextData(2000));
    ASSERT_EQ(Init(temp_ / "app", {"--skin", temp_ / "skin"}).Code, 0);
    std::map<std::string, uintmax_t> sizes;
    for (const char* level : {"fast", "best", "ultra"}) {
        const std::string out = temp_ / (std::string(level) + ".exe");
        const TResult build = Build(out, {"--uninstaller", temp_ / "Uninstall.exe", "--level", level});
        ASSERT_EQ(build.Code, 0) << level << build.Err;
        sizes[level] = ReadPayloadResource(ReadBytes(out)).size();  // the image itself is padded
    }
    EXPECT_GT(sizes["fast"], sizes["best"]);
    EXPECT_GT(sizes["best"], sizes["ultra"]);

    struct TCase {
        std::vector<std::string> Options;
        std::string Err;
    };
    const std::vector<TCase> cases = {
        {{"--level", "bogus"}, "unknown level bogus (best, default, fast, none or ultra)"},
        {{"--level"}, "option --level needs a value LEVEL"},
        {{"--frobnicate"}, "unknown option --frobnicate"},
        {{"--sign-password-file", "p.txt"}, "--sign-password-file needs --sign (the certificate)"},
    };
    for (const TCase& c : cases) {
        std::vector<std::string> options = {"--uninstaller", temp_ / "Uninstall.exe"};
        options.insert(options.end(), c.Options.begin(), c.Options.end());
        const TResult build = Build(temp_ / "bad.exe", options);
        EXPECT_EQ(build.Code, 2) << c.Err;
        EXPECT_EQ(build.Err, "skinsetup build: " + c.Err +
                                 "\nusage: skinsetup build PROJECT -o SETUP.exe [options]\nTry 'skinsetup build --help'.\n");
        EXPECT_TRUE(Has(build.Err, "\nusage: skinsetup build PROJECT -o SETUP.exe [options]\n")) << build.Err;
        EXPECT_FALSE(std::filesystem::exists(temp_ / "bad.exe"));
    }
}

TEST_F(SkinsetupInit, ABuildWhoseCheckFindsAnErrorFailsAndWritesNoSetup) {
    WriteApplication(temp_ / "app/", 3);
    ASSERT_EQ(Init(temp_ / "app").Code, 0);
    std::string script = ReadText(temp_ / "project/Setup.ini");
    script.replace(script.find("TargetFile=Viewer.exe"), 21, "TargetFile=Gone.exe");
    WriteBytes(temp_ / "project/Setup.ini", test::ToBytes(script));
    const TResult build = Build(temp_ / "Setup.exe", {"--uninstaller", temp_ / "Uninstall.exe"});
    EXPECT_EQ(build.Code, 1);
    EXPECT_TRUE(Has(build.Err, "TargetFile names \"Gone.exe\", which no Addfile line installs")) << build.Err;
    EXPECT_FALSE(std::filesystem::exists(temp_ / "Setup.exe"));
}

// A throwaway certificate made by openssl; the signatures are checked by
// osslsigncode against it.
class SkinsetupSign : public SkinsetupInit {
protected:
    void SetUp() override {
        SkinsetupInit::SetUp();
        WriteBytes(temp_ / "Uninstall.exe", test::MakeTestPe());
        WriteBytes(temp_ / "password.txt", test::ToBytes("secret\n"));
        const std::string d = temp_.Path();
        ASSERT_EQ(Shell("openssl req -x509 -newkey rsa:2048 -nodes -days 2 -subj /CN=SkinSetupTest -keyout " + d +
                        "key.pem -out " + d + "cert.pem"),
                  0);
        ASSERT_EQ(Shell("openssl pkcs12 -export -inkey " + d + "key.pem -in " + d + "cert.pem -out " + d +
                        "cert.pfx -passout file:" + d + "password.txt"),
                  0);
        WriteApplication(temp_ / "app/", 5);
        ASSERT_EQ(Init(temp_ / "app").Code, 0);
    }
    static int Shell(const std::string& command) { return std::system((command + " >/dev/null 2>&1").c_str()); }
    int VerifySignature(const std::string& file) {
        return Shell("osslsigncode verify -CAfile " + temp_ / "cert.pem" + " -in " + file);
    }
    TResult SignedBuild(const std::string& out) {
        return Build(out, {"--uninstaller", temp_ / "Uninstall.exe", "--sign", temp_ / "cert.pfx",
                           "--sign-password-file", temp_ / "password.txt"});
    }
};

TEST_F(SkinsetupSign, TheSetupAndItsUninstallerAreSignedAndReadable) {
    const TResult build = SignedBuild(temp_ / "Setup.exe");
    ASSERT_EQ(build.Code, 0) << build.Err;
    EXPECT_TRUE(Has(build.Out, ", signed\n")) << build.Out;
    EXPECT_EQ(VerifySignature(temp_ / "Setup.exe"), 0);
    const TResult verify = Tool({"verify", temp_ / "Setup.exe"});
    EXPECT_EQ(verify.Code, 0) << verify.Out;
    EXPECT_TRUE(Has(verify.Out, "  signature: signed (certificate table of ")) << verify.Out;

    WriteBytes(temp_ / "payload.x", ReadPayloadResource(ReadBytes(temp_ / "Setup.exe")));
    ASSERT_EQ(Tool({"extract", temp_ / "payload.x", temp_ / "unpacked"}).Code, 0);
    EXPECT_EQ(VerifySignature(temp_ / "unpacked/Uninstall.exe"), 0);
    EXPECT_NE(VerifySignature(temp_ / "Uninstall.exe"), 0);  // the original is left alone

    // A signed setup as the stub of another: its signature is dropped, the image stays sound.
    const TResult again = Build(temp_ / "Again.exe", {"--uninstaller", temp_ / "Uninstall.exe", "--stub", temp_ / "Setup.exe"});
    ASSERT_EQ(again.Code, 0) << again.Err;
    EXPECT_TRUE(Has(Tool({"verify", temp_ / "Again.exe"}).Out, "  signature: none\n"));
    const Bytes resigned = ReadBytes(temp_ / "Again.exe");
    EXPECT_EQ(FindCertificateTable(resigned.data(), resigned.size()).Size, 0u);
}

TEST_F(SkinsetupSign, AMissingSignerOrAWrongPasswordIsAnError) {
    setenv("SKINSETUP_OSSLSIGNCODE", "/nonexistent/osslsigncode", 1);
    const TResult missing = SignedBuild(temp_ / "Setup.exe");
    unsetenv("SKINSETUP_OSSLSIGNCODE");
    EXPECT_EQ(missing.Code, 1);
    EXPECT_TRUE(Has(missing.Err, "Cannot run /nonexistent/osslsigncode, which signs the setup: install it")) << missing.Err;
    EXPECT_FALSE(std::filesystem::exists(temp_ / "Setup.exe"));

    WriteBytes(temp_ / "password.txt", test::ToBytes("wrong\n"));
    const TResult wrong = SignedBuild(temp_ / "Setup.exe");
    EXPECT_EQ(wrong.Code, 1);
    EXPECT_TRUE(Has(wrong.Err, "could not sign")) << wrong.Err;
    EXPECT_FALSE(std::filesystem::exists(temp_ / "Setup.exe"));
}

TEST(SkinsetupLayout, TheInstalledLayoutAndBesideTheStub) {
    TTempFolder temp;
    WriteBytes(temp / "prefix/bin/skinsetup", {});
    WriteBytes(temp / "prefix/share/skinsetup/setup.exe", {});
    WriteBytes(temp / "prefix/share/skinsetup/Uninstall.exe", {});
    WriteBytes(temp / "prefix/share/skinsetup/skin/Setup.ini", {});
    WriteBytes(temp / "prefix/share/skinsetup/skin/Graphics/panel.bmp", {});
    const std::string bin = temp / "prefix/bin/";
    EXPECT_EQ(DefaultStub(bin), bin + "../share/skinsetup/setup.exe");
    EXPECT_EQ(DefaultUninstaller(bin), bin + "../share/skinsetup/Uninstall.exe");
    EXPECT_EQ(DefaultSkin(bin, ""), bin + "../share/skinsetup/skin");
    WriteBytes(temp / "stubs/Uninstall.exe", {});
    EXPECT_EQ(DefaultUninstaller(bin, temp / "stubs/setup.exe"), temp / "stubs/Uninstall.exe");
    EXPECT_EQ(DefaultSkin(temp / "elsewhere/", SKINSETUP_SOURCE_DIR "/examples/demo"),
              SKINSETUP_SOURCE_DIR "/examples/demo");
    EXPECT_EQ(test::ErrorOf([&] { DefaultSkin(temp / "elsewhere/", ""); }),
              "No default skin in " + temp / "elsewhere/" + "../share/skinsetup/skin: install skinsetup, or name a "
                                                            "skin with --skin");
}

}  // namespace
}  // namespace zub::tool
