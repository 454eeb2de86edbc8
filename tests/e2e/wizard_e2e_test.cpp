// End-to-end: the wizard of a real setup.exe, driven from outside with mouse
// messages on its image buttons and keys, in English and German. Every page's
// texts are read back from the windows, word for word.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "archive/payload_builder.h"
#include "base/file.h"
#include "shell/shell.h"
#include "shell/shell_win.h"
#include "tests/e2e/payload_resource_win.h"
#include "tests/e2e/process_driver_win.h"
#include "tests/e2e/wizard_driver_win.h"
#include "formats/log_book.h"
#include "tests/win32/registry_test_util.h"
#include "tests/win32/skin_test_util_win.h"

namespace zub::e2e {
namespace {

std::string g_stub;

const char kShellFoldersKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders";

using Texts = std::vector<std::string>;

// What a test project holds besides the pictures.
struct TProject {
    std::string Language = "English";
    std::string Licence = "Licence.txt";
    std::string LicenceText;
    bool DesktopIcon = true;
    bool LaunchProg = true;
    std::string ReadMe = "ReadMe.txt";
    std::string Destination;
    std::string Folder = "Demo App";
};

// The captions of both languages for the title "Demo App", page by page.
struct TPageTexts {
    Texts Welcome, Licence, Destination, Folder, Copy, Finish;
};

TPageTexts English() {
    return {
        {"Welcome to the Setup Wizard for Demo App",
         "This wizard will install Demo App on your computer. Click Next to continue."},
        {"Licence Agreement", "Please read the following licence agreement carefully.",
         "Yes, I accept all the terms of the preceeding licence agreement."},
        {"Choose Destination Location",
         "To install to this folder, click Next. To install to a different folder, click Browse and select another "
         "folder.",
         "Destination Folder", "Browse..."},
        {"Select Program Folder",
         "Setup will add icons to the program folder listed below. You may type a new folder, or select one from the "
         "existing folders list. Click Next to start installing.",
         "Program Folder", "Existing Folders"},
        {"Setup Status", "Demo App installer is performing the requested operations."},
        {"Setup Complete", "Demo App has been installed successfully. Click Next to finish Setup.",
         "Create Icon on Desktop.", "View ReadMe.", "Launch Program."},
    };
}

TPageTexts German() {
    return {
        {"Willkommen zum Setup Assistenten f\xFCr Demo App", "Dieser Assistent installiert Demo App auf Ihrem Computer."},
        {"Lizenzbestimmungen", "Bitte lesen Sie sorgf\xE4ltig folgende Lizenzbestimmungen.",
         "Ich stimme s\xE4mtlichen Bedingungen des vorstehenden Lizenzvertrages zu."},
        {"Zielordner w\xE4hlen", "W\xE4hlen Sie einen Zielordner, in den die Programmdateien installiert werden.",
         "Zielordner", "Durchsuchen..."},
        {"StartMen\xFC",
         "W\xE4hlen Sie eine Gruppe im Men\xFC 'Programme'. Klicke Sie 'Weiter' um mit der Installation zu beginnen.",
         "Programmgruppe", "Existierende Gruppen"},
        {"Setup Status", "Demo App  wird jetzt auf Ihrem Computer installiert. Bitte warten."},
        {"Setup fertig", "Demo App wurde erfolgreich installiert. Klicken Sie 'Weiter' um das Setup zu beenden.",
         "Verk\xFCpfung auf dem Desktop erstellen.", "ReadMe-Datei anzeigen.", "Demo App starten."},
    };
}

// `texts` with `inserted` put in before position `at`.
Texts With(Texts texts, size_t at, const std::string& inserted) {
    texts.insert(texts.begin() + static_cast<std::ptrdiff_t>(at), inserted);
    return texts;
}

bool Enabled(HWND w) { return IsWindowEnabled(w) != FALSE; }

COLORREF ScreenPixel(POINT p) {
    HDC screen = GetDC(nullptr);
    const COLORREF colour = GetPixel(screen, p.x, p.y);
    ReleaseDC(nullptr, screen);
    return colour;
}

// Every caption of every page is a window text, the hidden pages' too.
// The image buttons' window texts, as a screen reader reads them.
void ExpectButtonNames(const TWizard& w, const Texts& names) {
    const HWND buttons[] = {w.Back(), w.Forward(), w.Cancel()};
    Texts read;
    for (HWND button : buttons) {
        char text[64] = {};
        GetWindowTextA(button, text, sizeof text);
        read.emplace_back(text);
    }
    EXPECT_EQ(read, names);
}

void ExpectCaptions(const TWizard& w, const TPageTexts& t) {
    const Texts all = TextsOf(Controls(w.Form(), false));
    for (const Texts* page : {&t.Welcome, &t.Licence, &t.Destination, &t.Folder, &t.Copy, &t.Finish})
        for (const std::string& text : *page)
            EXPECT_NE(std::find(all.begin(), all.end(), text), all.end()) << "missing: " << text;
}

// Takes a registry value away for the life of this object.
class TRegistryValueAside {
public:
    TRegistryValueAside(HKEY root, const char* path, const char* name) : name_(name) {
        if (RegOpenKeyExA(root, path, 0, KEY_ALL_ACCESS, &key_) != ERROR_SUCCESS) return;
        BYTE data[1024];
        DWORD size = sizeof data;
        if (RegQueryValueExA(key_, name, nullptr, &type_, data, &size) != ERROR_SUCCESS) return;
        data_.assign(data, data + size);
        saved_ = RegDeleteValueA(key_, name) == ERROR_SUCCESS;
    }
    ~TRegistryValueAside() {
        if (saved_) RegSetValueExA(key_, name_, 0, type_, data_.data(), static_cast<DWORD>(data_.size()));
        if (key_) RegCloseKey(key_);
    }
    TRegistryValueAside(const TRegistryValueAside&) = delete;
    TRegistryValueAside& operator=(const TRegistryValueAside&) = delete;

private:
    HKEY key_ = nullptr;
    const char* name_;
    DWORD type_ = REG_SZ;
    std::vector<BYTE> data_;
    bool saved_ = false;
};

class Wizard : public ::testing::Test {
protected:
    void SetUp() override {
        static int counter = 0;
        root_ = GetTempDir() + "zubwiz" + std::to_string(GetCurrentProcessId()) + "_" + std::to_string(++counter);
        DeleteFolderTree(root_);
        tmp_ = root_ + "\\tmp\\";
        project_ = root_ + "\\project";
        programs_ = root_ + "\\Programs";
        ASSERT_TRUE(fs::ForceDirectories(tmp_));
        ASSERT_TRUE(fs::ForceDirectories(project_ + "\\Graphics"));
        test::DeleteKeyTree(HKEY_LOCAL_MACHINE, std::string(kUninstallRootKey) + "Demo App");
        PreparePrograms();
    }
    void TearDown() override {
        RestoreProgramsFolder();
        DeleteFolderTree(root_);
        // An installation's entry would propose its folder to the next test.
        test::DeleteKeyTree(HKEY_LOCAL_MACHINE, std::string(kUninstallRootKey) + "Demo App");
    }

    // The user's Programs folder points at a prepared folder while the test runs:
    // two visible groups, a loose file, a hidden group, a system file and ".x".
    void PreparePrograms() {
        for (const char* group : {"Zeta tools", "Alpha group", "Hidden group", ".x"})
            ASSERT_TRUE(fs::ForceDirectories(programs_ + "\\" + group));
        WriteFile(programs_ + "\\Loose file.txt", "a file beside the groups");
        WriteFile(programs_ + "\\System file.lnk", "system");
        SetFileAttributesA((programs_ + "\\Hidden group").c_str(), FILE_ATTRIBUTE_HIDDEN);
        SetFileAttributesA((programs_ + "\\System file.lnk").c_str(), FILE_ATTRIBUTE_SYSTEM);
        HKEY key = nullptr;
        ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, kShellFoldersKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                                  nullptr),
                  ERROR_SUCCESS);
        char old[MAX_PATH * 2] = {};
        DWORD size = sizeof old, type = 0;
        hadPrograms_ = RegQueryValueExA(key, "Programs", nullptr, &type, reinterpret_cast<BYTE*>(old), &size) ==
                       ERROR_SUCCESS;
        oldPrograms_.assign(old, size ? size - 1 : 0);
        oldType_ = type;
        RegSetValueExA(key, "Programs", 0, REG_SZ, reinterpret_cast<const BYTE*>(programs_.c_str()),
                       static_cast<DWORD>(programs_.size() + 1));
        RegCloseKey(key);
    }
    void RestoreProgramsFolder() {
        HKEY key = nullptr;
        if (RegOpenKeyExA(HKEY_CURRENT_USER, kShellFoldersKey, 0, KEY_ALL_ACCESS, &key) != ERROR_SUCCESS) return;
        if (hadPrograms_)
            RegSetValueExA(key, "Programs", 0, oldType_, reinterpret_cast<const BYTE*>(oldPrograms_.c_str()),
                           static_cast<DWORD>(oldPrograms_.size() + 1));
        else
            RegDeleteValueA(key, "Programs");
        RegCloseKey(key);
    }

    // The visible entries of the prepared folder, in the order the system lists them.
    Texts ExpectedProgramEntries() {
        Texts names;
        for (const fs::DirEntry& e : fs::ListDirectory(programs_))
            if (e.name == "Zeta tools" || e.name == "Alpha group" || e.name == "Loose file.txt")
                names.push_back(e.name);
        return names;
    }

    static void WriteFile(const std::string& path, const std::string& text) {
        fs::File file = fs::File::Create(path);
        file.Write(text.data(), text.size());
    }

    std::string MakeSetup(const TProject& p) {
        std::string ini = "[wizard test]\r\nObject=Setup\r\nRazederodezTitle=Demo App\r\nLanguage=" + p.Language +
                          "\r\nLicence=" + p.Licence + "\r\nReadMe=" + p.ReadMe + "\r\nDestination=" +
                          p.Destination + "\r\nFolder=" + p.Folder + "\r\nLaunchProg=" + (p.LaunchProg ? "1" : "0") +
                          "\r\nDesktopIcon=" + (p.DesktopIcon ? "1" : "0") +
                          "\r\nTextBoxColor=16447220\r\nFontname=MS Sans Serif\r\nFontheight=-11\r\nend\r\n"
                          "Object=Toolweb\r\nTop=16\r\nLeft=104\r\nWidth=393\r\nHeight=305\r\nend\r\n"
                          "Object=Panel\r\nBitmap=Graphics\\panel.bmp\r\nInvisibleColor=16711935\r\nend\r\n";
        const char* actions[] = {"Back", "Forward", "Cancel"};
        const int lefts[] = {192, 280, 360};
        for (int i = 0; i < 3; ++i) {
            const std::string b = std::string("Graphics\\") + actions[i];
            ini += std::string("Object=Button\r\nName=b\r\nAction=") + actions[i] + "\r\nTop=368\r\nLeft=" +
                   std::to_string(lefts[i]) + "\r\nMask=" + b + "_n.bmp\r\nTouched=" + b + "_o.bmp\r\nPressed=" + b +
                   "_p.bmp\r\nDisabled=" + b + "_d.bmp\r\nInvisibleColor=16711935\r\nend\r\n";
            const uint32_t colours[] = {0x3070C0, 0x4080E0, 0x204080, 0x808080};
            const char* states[] = {"_n", "_o", "_p", "_d"};
            for (int s = 0; s < 4; ++s)
                test::WriteBmp(project_ + "\\" + b + states[s] + ".bmp", test::Solid(73, 57, colours[s]));
        }
        WriteFile(project_ + "\\Setup.ini", ini);
        test::WriteBmp(project_ + "\\Graphics\\panel.bmp", test::Solid(520, 440, 0x203050));
        if (!p.LicenceText.empty()) WriteFile(project_ + "\\Licence.txt", p.LicenceText);
        WriteFile(project_ + "\\ReadMe.txt", "read me");
        const std::string payload = root_ + "\\payload.x";
        BuildPayload(project_, payload);
        const std::string exe = root_ + "\\WizardSetup.exe";
        MakeSetupFromStub(g_stub, exe, fs::ReadWholeFile(payload));
        return exe;
    }

    // Starts the setup and waits for its first page.
    std::unique_ptr<TWizard> Start(TSetupProcess& setup, const std::string& firstHeading) {
        HWND form = setup.WaitForWindow("TSetupForm");
        if (!form) return nullptr;
        auto wizard = std::make_unique<TWizard>(setup, form);
        if (!wizard->Found() || !wizard->WaitForPage(firstHeading)) return nullptr;
        return wizard;
    }

    // Back and Forward as the page should have them.
    static void ExpectButtons(const TWizard& w, bool back, bool forward) {
        EXPECT_EQ(Enabled(w.Back()), back) << "Back";
        EXPECT_EQ(Enabled(w.Forward()), forward) << "Forward";
        EXPECT_TRUE(Enabled(w.Cancel()));
    }

    HWND WaitForDialog(TSetupProcess& setup) { return setup.WaitForWindow("TConfirmationForm", 10000); }
    bool WaitDialogGone(TSetupProcess& setup) {
        return WaitFor([&] { return setup.Windows("TConfirmationForm").empty(); }, 10000);
    }

    std::string root_, tmp_, project_, programs_;
    bool hadPrograms_ = false;
    std::string oldPrograms_;
    DWORD oldType_ = REG_SZ;
};

TEST_F(Wizard, EnglishWalkThroughEveryPageWithLicence) {
    TProject p;
    p.LicenceText = "Terms line 1\nline 2\rline 3\r\nend";
    p.Destination = "Demo App " + std::to_string(GetCurrentProcessId());
    const TPageTexts t = English();
    TSetupProcess setup(MakeSetup(p), tmp_);
    auto w = Start(setup, t.Welcome[0]);
    ASSERT_TRUE(w) << "no welcome page";

    EXPECT_EQ(w->VisibleTexts(), t.Welcome);
    ExpectButtons(*w, false, true);
    // The page shows the colour of the settings (TextBoxColor 16447220) below its texts.
    const std::vector<TControl> welcome = Controls(w->Form(), true);
    ASSERT_FALSE(welcome.empty());
    const POINT below{welcome.back().Screen.left + 10, welcome.back().Screen.bottom + 20};
    EXPECT_TRUE(WaitFor([&] { return ScreenPixel(below) == 16447220; }, 5000)) << std::hex << ScreenPixel(below);
    // The pages not shown are hidden windows that hold their texts all the same.
    ExpectCaptions(*w, t);
    ExpectButtonNames(*w, {"Back", "Next", "Cancel"});
    const std::string destination = GetProgramFilesDir() + p.Destination;

    // Licence: Forward follows the consent box, which is cleared on every entry.
    w->Click(w->Forward());
    ASSERT_TRUE(w->WaitForPage(t.Licence[0]));
    const std::string memoText = "Terms line 1\r\nline 2\r\nline 3\r\nend";
    EXPECT_EQ(w->VisibleTexts(), With(t.Licence, 2, memoText));
    ExpectButtons(*w, true, false);
    HWND check = FindVisible(w->Form(), "Button", t.Licence[2].c_str());
    ASSERT_TRUE(check);
    EXPECT_FALSE(Checked(check));
    w->Click(w->Forward());  // disabled: nothing happens
    EXPECT_EQ(w->VisibleTexts().front(), t.Licence[0]);
    w->Toggle(check);
    EXPECT_TRUE(Enabled(w->Forward()));
    w->Toggle(check);
    EXPECT_FALSE(Enabled(w->Forward()));
    w->Toggle(check);
    EXPECT_TRUE(Enabled(w->Forward()));

    w->Click(w->Forward());
    ASSERT_TRUE(w->WaitForPage(t.Destination[0]));
    EXPECT_EQ(w->VisibleTexts(), With(t.Destination, 3, destination));
    ExpectButtons(*w, true, true);

    w->Click(w->Back());
    ASSERT_TRUE(w->WaitForPage(t.Licence[0]));
    EXPECT_FALSE(Checked(check));
    ExpectButtons(*w, true, false);
    w->Click(w->Back());
    ASSERT_TRUE(w->WaitForPage(t.Welcome[0]));
    ExpectButtons(*w, false, true);
    w->Click(w->Back());  // disabled
    w->Click(w->Forward());
    ASSERT_TRUE(w->WaitForPage(t.Licence[0]));
    w->Toggle(check);
    w->Click(w->Forward());
    ASSERT_TRUE(w->WaitForPage(t.Destination[0]));

    // Program folder: the field shows Folder and has the focus; the list shows
    // the visible entries of the Programs folder in the system's order.
    w->Click(w->Forward());
    ASSERT_TRUE(w->WaitForPage(t.Folder[0]));
    EXPECT_EQ(w->VisibleTexts(), With(t.Folder, 3, "Demo App"));
    ExpectButtons(*w, true, true);
    HWND edit = FindVisible(w->Form(), "Edit");
    HWND list = FindVisible(w->Form(), "ListBox");
    ASSERT_TRUE(edit && list);
    EXPECT_EQ(FocusOf(setup, w->Form()), edit);
    const Texts entries = ExpectedProgramEntries();
    ASSERT_EQ(entries.size(), 3u);
    EXPECT_EQ(ListItems(list), entries);
    const int alpha = static_cast<int>(std::find(entries.begin(), entries.end(), "Alpha group") - entries.begin());
    w->ClickItem(list, alpha);
    EXPECT_TRUE(WaitFor([&] { return LongText(edit) == "Alpha group"; }, 5000)) << LongText(edit);

    // A name no folder may have is refused on the page.
    w->Type(edit, "Tools|Extras");
    w->Click(w->Forward());
    HWND box = setup.WaitForWindow("#32770", 10000);
    ASSERT_TRUE(box) << "no refusal";
    EXPECT_NE(MessageBoxText(box).find("\"Tools|Extras\" cannot be made as a program folder"), std::string::npos)
        << MessageBoxText(box);
    PressOk(box);
    ASSERT_TRUE(WaitFor([&] { return setup.Windows("#32770").empty(); }));
    EXPECT_EQ(w->VisibleTexts().front(), t.Folder[0]);
    w->Type(edit, "My group");
    w->Click(w->Back());
    ASSERT_TRUE(w->WaitForPage(t.Destination[0]));
    EXPECT_NE(FocusOf(setup, w->Form()), edit) << "the hidden field keeps the keyboard";
    w->Click(w->Forward());
    ASSERT_TRUE(w->WaitForPage(t.Folder[0]));
    EXPECT_EQ(LongText(edit), "My group");

    // Forward installs on the copying page and arrives on the completion page.
    w->Click(w->Forward());
    ASSERT_TRUE(w->WaitForPage(t.Finish[0]));
    EXPECT_EQ(w->VisibleTexts(), t.Finish);
    ExpectButtons(*w, false, true);
    for (const std::string& caption : {t.Finish[2], t.Finish[3], t.Finish[4]})
        EXPECT_TRUE(Checked(FindVisible(w->Form(), "Button", caption.c_str()))) << caption;
    w->Click(w->Cancel());  // does nothing on the last pages
    EXPECT_TRUE(setup.Windows("TConfirmationForm").empty());
    EXPECT_EQ(w->VisibleTexts().front(), t.Finish[0]);

    w->Click(w->Forward());
    ASSERT_TRUE(setup.WaitForExit());
    EXPECT_EQ(setup.ExitCode(), 0u);
}

TEST_F(Wizard, GermanWithoutLicenceSkipsTheLicencePage) {
    TProject p;
    p.Language = "German";
    p.Licence = "  ";
    p.DesktopIcon = false;
    p.ReadMe = "";
    p.Destination = "Demo";
    const TPageTexts t = German();
    TSetupProcess setup(MakeSetup(p), tmp_);
    auto w = Start(setup, t.Welcome[0]);
    ASSERT_TRUE(w) << "no welcome page";
    EXPECT_EQ(w->VisibleTexts(), t.Welcome);
    ExpectCaptions(*w, t);
    ExpectButtonNames(*w, {"Zur\xFC" "ck", "Weiter", "Abbrechen"});

    w->Click(w->Forward());
    ASSERT_TRUE(w->WaitForPage(t.Destination[0]));
    EXPECT_EQ(w->VisibleTexts(), With(t.Destination, 3, GetProgramFilesDir() + "Demo"));
    ExpectButtons(*w, true, true);
    // The German button is 30 pixels wider and keeps its right edge.
    HWND browse = FindVisible(w->Form(), "Button", "Durchsuchen...");
    HWND group = FindVisible(w->Form(), "Button", "Zielordner");
    ASSERT_TRUE(browse && group);
    const RECT b = ScreenRect(browse), g = ScreenRect(group);
    EXPECT_EQ(b.right - b.left, 105);
    EXPECT_EQ(b.bottom - b.top, 25);
    EXPECT_EQ(b.left - g.left, 255);

    w->Click(w->Back());
    ASSERT_TRUE(w->WaitForPage(t.Welcome[0]));
    w->Click(w->Forward());
    ASSERT_TRUE(w->WaitForPage(t.Destination[0]));
    w->Click(w->Forward());
    ASSERT_TRUE(w->WaitForPage(t.Folder[0]));
    EXPECT_EQ(w->VisibleTexts(), With(t.Folder, 3, "Demo App"));
    w->Click(w->Back());
    ASSERT_TRUE(w->WaitForPage(t.Destination[0]));
    w->Click(w->Forward());
    ASSERT_TRUE(w->WaitForPage(t.Folder[0]));

    // The refusal speaks the wizard's language.
    w->Type(FindVisible(w->Form(), "Edit"), "Demo.");
    w->Click(w->Forward());
    HWND box = setup.WaitForWindow("#32770", 10000);
    ASSERT_TRUE(box);
    EXPECT_NE(MessageBoxText(box).find("kann nicht als Programmgruppe angelegt werden"), std::string::npos)
        << MessageBoxText(box);
    PressOk(box);
    ASSERT_TRUE(WaitFor([&] { return setup.Windows("#32770").empty(); }));
    w->Type(FindVisible(w->Form(), "Edit"), "Demo");

    // Only the launch row is shown, and it moves up to the top of its area.
    w->Click(w->Forward());
    ASSERT_TRUE(w->WaitForPage(t.Finish[0]));
    EXPECT_EQ(w->VisibleTexts(), (Texts{t.Finish[0], t.Finish[1], t.Finish[4]}));
    const std::vector<TControl> shown = Controls(w->Form(), true);
    ASSERT_EQ(shown.size(), 4u);  // two headings, the spacer and one check box
    EXPECT_EQ(shown[3].Screen.top, shown[2].Screen.bottom + 1);
    EXPECT_TRUE(Checked(shown[3].Window));
    w->Click(w->Forward());
    ASSERT_TRUE(setup.WaitForExit());
    EXPECT_EQ(setup.ExitCode(), 0u);
}

TEST_F(Wizard, CancelQuestionAnsweredNoByCloseBoxAndYes) {
    TProject p;
    p.LicenceText = "Terms";
    TSetupProcess setup(MakeSetup(p), tmp_);
    const TPageTexts t = English();
    auto w = Start(setup, t.Welcome[0]);
    ASSERT_TRUE(w);

    w->Click(w->Cancel());
    HWND dialog = WaitForDialog(setup);
    ASSERT_TRUE(dialog) << "no question";
    EXPECT_EQ(WindowText(dialog), "Confirmation!");
    EXPECT_EQ(TextsOf(Controls(dialog, true)), (Texts{"Do you want to cancel setup?", "Yes", "No"}));
    HWND yes = FindVisible(dialog, "Button", "Yes"), no = FindVisible(dialog, "Button", "No");
    ASSERT_TRUE(yes && no);
    EXPECT_EQ(FocusOf(setup, dialog), yes);
    EXPECT_FALSE(Enabled(w->Form())) << "the wizard takes input while the question is open";
    w->Key(VK_ESCAPE);  // there is no cancel button
    w->Sync();
    EXPECT_FALSE(setup.Windows("TConfirmationForm").empty()) << "Esc answered";
    PostMessageA(no, BM_CLICK, 0, 0);
    ASSERT_TRUE(WaitDialogGone(setup));
    EXPECT_EQ(setup.Windows("TSetupForm").size(), 1u);
    EXPECT_TRUE(Enabled(w->Form()));

    // On the licence page with the box ticked, no leaves the box and Forward.
    w->Click(w->Forward());
    ASSERT_TRUE(w->WaitForPage(t.Licence[0]));
    HWND check = FindVisible(w->Form(), "Button", t.Licence[2].c_str());
    w->Toggle(check);
    w->Click(w->Cancel());
    dialog = WaitForDialog(setup);
    ASSERT_TRUE(dialog);
    EXPECT_EQ(FocusOf(setup, dialog), no) << "the focus goes back to the button that answered";
    w->Key(VK_RETURN);  // presses the focused button: no
    ASSERT_TRUE(WaitDialogGone(setup));
    EXPECT_TRUE(Checked(check));
    ExpectButtons(*w, true, true);

    w->Click(w->Cancel());
    dialog = WaitForDialog(setup);
    ASSERT_TRUE(dialog);
    PostMessageA(dialog, WM_CLOSE, 0, 0);  // the close box counts as no
    ASSERT_TRUE(WaitDialogGone(setup));
    EXPECT_EQ(w->VisibleTexts().front(), t.Licence[0]);

    w->Click(w->Cancel());
    dialog = WaitForDialog(setup);
    ASSERT_TRUE(dialog);
    PostMessageA(FindVisible(dialog, "Button", "Yes"), BM_CLICK, 0, 0);
    ASSERT_TRUE(setup.WaitForExit());
    EXPECT_EQ(setup.ExitCode(), 2u);  // cancelled by the user
    EXPECT_FALSE(fs::PathExists(tmp_ + "ZCTemp1"));
}

TEST_F(Wizard, GermanLicenceByKeyboard) {
    TProject p;
    p.Language = "German";
    p.LicenceText = "Bedingungen f\xFCr alle\rZeile 2";
    TSetupProcess setup(MakeSetup(p), tmp_);
    const TPageTexts t = German();
    auto w = Start(setup, t.Welcome[0]);
    ASSERT_TRUE(w);
    ExpectCaptions(*w, t);

    // Enter works as Forward while Forward is enabled, but not in the licence text.
    w->Key(VK_RETURN);
    ASSERT_TRUE(w->WaitForPage(t.Licence[0]));
    EXPECT_EQ(w->VisibleTexts(), With(t.Licence, 2, "Bedingungen f\xFCr alle\r\nZeile 2"));
    w->Key(VK_RETURN);
    w->Sync();
    EXPECT_EQ(w->VisibleTexts().front(), t.Licence[0]);
    HWND check = FindVisible(w->Form(), "Button", t.Licence[2].c_str());
    HWND memo = FindVisible(w->Form(), "Edit");
    ASSERT_TRUE(check && memo);
    w->Toggle(check);
    PostMessageA(memo, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(20, 20));
    PostMessageA(memo, WM_LBUTTONUP, 0, MAKELPARAM(20, 20));
    ASSERT_TRUE(WaitFor([&] { return FocusOf(setup, w->Form()) == memo; }, 5000));
    w->Key(VK_RETURN);
    w->Sync();
    EXPECT_EQ(w->VisibleTexts().front(), t.Licence[0]) << "Enter in the licence text went on";
    w->Toggle(check);
    w->Toggle(check);  // the box has the focus again
    w->Key(VK_RETURN);
    ASSERT_TRUE(w->WaitForPage(t.Destination[0]));
    w->Click(w->Back());
    ASSERT_TRUE(w->WaitForPage(t.Licence[0]));
    EXPECT_FALSE(Checked(check));
    w->Click(w->Back());
    ASSERT_TRUE(w->WaitForPage(t.Welcome[0]));

    // Esc works as Cancel and asks in German.
    w->Key(VK_ESCAPE);
    HWND dialog = WaitForDialog(setup);
    ASSERT_TRUE(dialog);
    EXPECT_EQ(WindowText(dialog), "Best\xE4tigung!");
    EXPECT_EQ(TextsOf(Controls(dialog, true)), (Texts{"Wollen Sie das Setup abbrechen?", "Ja", "Nein"}));
    PostMessageA(FindVisible(dialog, "Button", "Ja"), BM_CLICK, 0, 0);
    ASSERT_TRUE(setup.WaitForExit());
    EXPECT_EQ(setup.ExitCode(), 2u);  // cancelled by the user
}

// Without the program-files folder in the registry the destination is only
// "\" + Destination, which the installation would put on the current drive.
TEST_F(Wizard, RelativeDestinationIsRefused) {
    TRegistryValueAside programFiles(HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion",
                                     "ProgramFilesDir");
    TProject p;
    p.Licence = "";
    p.Destination = "Demo";
    TSetupProcess setup(MakeSetup(p), tmp_);
    const TPageTexts t = English();
    auto w = Start(setup, t.Welcome[0]);
    ASSERT_TRUE(w);
    w->Click(w->Forward());
    ASSERT_TRUE(w->WaitForPage(t.Destination[0]));
    EXPECT_EQ(w->VisibleTexts(), With(t.Destination, 3, "\\Demo"));
    w->Click(w->Forward());
    HWND box = setup.WaitForWindow("#32770", 10000);
    ASSERT_TRUE(box) << "no refusal";
    EXPECT_NE(MessageBoxText(box).find("Please choose a destination folder with its full path"), std::string::npos)
        << MessageBoxText(box);
    PressOk(box);
    ASSERT_TRUE(WaitFor([&] { return setup.Windows("#32770").empty(); }));
    EXPECT_EQ(w->VisibleTexts().front(), t.Destination[0]);
    w->Click(w->Back());  // no licence: back to the welcome page
    ASSERT_TRUE(w->WaitForPage(t.Welcome[0]));
    PostMessageA(w->Form(), WM_CLOSE, 0, 0);
    ASSERT_TRUE(setup.WaitForExit());
}

// A licence the settings name but the payload lacks ends the start-up.
TEST_F(Wizard, MissingLicenceEndsStartUp) {
    TProject p;  // names Licence.txt, but writes no licence text
    TSetupProcess setup(MakeSetup(p), tmp_);
    HWND box = setup.WaitForWindow("#32770");
    ASSERT_TRUE(box) << "no error box";
    EXPECT_NE(MessageBoxText(box).find("Licence.txt"), std::string::npos) << MessageBoxText(box);
    EXPECT_TRUE(setup.Windows("TSetupForm").empty());
    PressOk(box);
    ASSERT_TRUE(setup.WaitForExit());
    EXPECT_EQ(setup.ExitCode(), 3u);  // could not start
    EXPECT_FALSE(fs::PathExists(tmp_ + "ZCTemp1"));
}

}  // namespace
}  // namespace zub::e2e

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    if (argc < 2) {
        fprintf(stderr, "usage: wizard_e2e_tests SETUP.EXE [gtest options]\n");
        return 2;
    }
    zub::e2e::g_stub = zub::e2e::WindowsPathOf(argv[1]);
    return RUN_ALL_TESTS();
}
