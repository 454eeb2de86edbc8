// End-to-end: the wizard of a real setup.exe, driven from outside with mouse
// messages on its image buttons and keys, in English and German. Every page's
// texts are read back from the windows, word for word.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "base/file.h"
#include "setup/wizard_texts.h"
#include "shell/shell_win.h"
#include "tests/e2e/arguments_win.h"
#include "tests/e2e/machine_win.h"
#include "tests/e2e/process_driver_win.h"
#include "tests/e2e/screen_shot_win.h"
#include "tests/e2e/test_setup_win.h"
#include "tests/e2e/wizard_driver_win.h"

namespace zub::e2e {
namespace {

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

// Every caption of every page is a window text, the hidden pages' too.
void ExpectCaptions(const TWizard& w, const TPageTexts& t) {
    const Texts all = TextsOf(Controls(w.Form(), false));
    for (const Texts* page : {&t.Welcome, &t.Licence, &t.Destination, &t.Folder, &t.Copy, &t.Finish})
        for (const std::string& text : *page)
            EXPECT_NE(std::find(all.begin(), all.end(), text), all.end()) << "missing: " << text;
}

// Sets a registry value (REG_SZ), or takes it away, for the life of this object.
class TRegistryValueAside {
public:
    TRegistryValueAside(HKEY root, const char* path, const char* name,
                        const std::optional<std::string>& replacement = std::nullopt)
        : name_(name) {
        if (RegCreateKeyExA(root, path, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key_, nullptr) != ERROR_SUCCESS) {
            ADD_FAILURE() << "cannot open " << path;
            return;
        }
        BYTE data[1024];
        DWORD size = sizeof data;
        had_ = RegQueryValueExA(key_, name, nullptr, &type_, data, &size) == ERROR_SUCCESS;
        if (had_) data_.assign(data, data + size);
        if (replacement)
            RegSetValueExA(key_, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(replacement->c_str()),
                           static_cast<DWORD>(replacement->size() + 1));
        else
            RegDeleteValueA(key_, name);
    }
    ~TRegistryValueAside() {
        if (!key_) return;
        if (had_)
            RegSetValueExA(key_, name_, 0, type_, data_.data(), static_cast<DWORD>(data_.size()));
        else
            RegDeleteValueA(key_, name_);
        RegCloseKey(key_);
    }
    TRegistryValueAside(const TRegistryValueAside&) = delete;
    TRegistryValueAside& operator=(const TRegistryValueAside&) = delete;

private:
    HKEY key_ = nullptr;
    const char* name_;
    DWORD type_ = REG_SZ;
    std::vector<BYTE> data_;
    bool had_ = false;
};

// The user's Programs folder points at a prepared folder while the test runs:
// two visible groups, a loose file, a hidden group, a system file and ".x".
class TPreparedPrograms {
public:
    explicit TPreparedPrograms(std::string folder) : folder_(std::move(folder)) {
        for (const char* group : {"Zeta tools", "Alpha group", "Hidden group", ".x"})
            fs::ForceDirectories(folder_ + "\\" + group);
        WriteText(folder_ + "\\Loose file.txt", "a file beside the groups");
        WriteText(folder_ + "\\System file.lnk", "system");
        SetFileAttributesA((folder_ + "\\Hidden group").c_str(), FILE_ATTRIBUTE_HIDDEN);
        SetFileAttributesA((folder_ + "\\System file.lnk").c_str(), FILE_ATTRIBUTE_SYSTEM);
    }
    // The visible entries, in the order the system lists them.
    Texts Entries() const {
        Texts names;
        for (const fs::DirEntry& e : fs::ListDirectory(folder_))
            if (e.name == "Zeta tools" || e.name == "Alpha group" || e.name == "Loose file.txt") names.push_back(e.name);
        return names;
    }

private:
    std::string folder_;
    TRegistryValueAside value_{HKEY_CURRENT_USER,
                               "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders", "Programs",
                               folder_};
};

class Wizard : public ::testing::Test {
protected:
    // Programs the setup started (the read-me viewer) go first.
    void TearDown() override { EXPECT_TRUE(CloseTopWindows("Notepad")); }

    std::string MakeSetup(const TProject& p) {
        const std::string ini = "[wizard test]\r\nObject=Setup\r\nRazederodezTitle=Demo App\r\nLanguage=" + p.Language +
                                "\r\nLicence=" + p.Licence + "\r\nReadMe=" + p.ReadMe + "\r\nDestination=" +
                                p.Destination + "\r\nFolder=" + p.Folder + "\r\nLaunchProg=" +
                                (p.LaunchProg ? "1" : "0") + "\r\nDesktopIcon=" + (p.DesktopIcon ? "1" : "0") +
                                "\r\nTextBoxColor=16447220\r\nFontname=MS Sans Serif\r\nFontheight=-11\r\nend\r\n";
        project_.Write("Setup.ini", ini + project_.WriteWizardSkin());
        if (!p.LicenceText.empty()) project_.Write("Licence.txt", p.LicenceText);
        project_.Write("ReadMe.txt", "read me");
        return e2e::MakeSetup(Argument("stub"), folder_ / "WizardSetup.exe", project_.Payload());
    }

    // Back and Forward as the page should have them.
    static void ExpectButtons(const TWizard& w, bool back, bool forward) {
        EXPECT_EQ(Enabled(w.Back()), back) << "Back";
        EXPECT_EQ(Enabled(w.Forward()), forward) << "Forward";
        EXPECT_TRUE(Enabled(w.Cancel()));
    }

    HWND WaitForDialog(TSetupProcess& setup) { return setup.WaitForWindow("TConfirmationForm", 10000); }

    // Starts the setup of `p` and waits for its first page. A test that
    // installs names where: that folder is removed once the setup has ended.
    std::unique_ptr<TWizard> Start(const TProject& p, const std::string& firstHeading) {
        if (!p.Destination.empty())
            installed_ = std::make_unique<TFreshInstallation>("Demo App", GetProgramFilesDir() + p.Destination);
        setup_ = std::make_unique<TSetupProcess>(MakeSetup(p), folder_.Temp());
        return StartWizard(*setup_, firstHeading);
    }

    TTestFolder folder_;
    TTestProject project_{folder_ / "project"};
    TPreparedPrograms programs_{folder_ / "Programs"};
    // An installation's entry would propose its folder to the next test.
    TFreshInstallation installation_{"Demo App"};
    std::unique_ptr<TFreshInstallation> installed_;
    std::unique_ptr<TSetupProcess> setup_;
};

TEST_F(Wizard, EnglishWalkThroughEveryPageWithLicence) {
    TProject p;
    p.LicenceText = "Terms line 1\nline 2\rline 3\r\nend";
    p.Destination = "Demo App " + std::to_string(GetCurrentProcessId());
    const std::string destination = GetProgramFilesDir() + p.Destination;
    const TPageTexts t = English();
    auto w = Start(p, t.Welcome[0]);
    TSetupProcess& setup = *setup_;
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
    EXPECT_EQ(w->ButtonNames(), (Texts{"Back", "Next", "Cancel"}));

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
    EXPECT_EQ(w->Heading(), t.Licence[0]);
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
    const Texts entries = programs_.Entries();
    ASSERT_EQ(entries.size(), 3u);
    EXPECT_EQ(ListItems(list), entries);
    const int alpha = static_cast<int>(std::find(entries.begin(), entries.end(), "Alpha group") - entries.begin());
    w->ClickItem(list, alpha);
    EXPECT_TRUE(WaitFor([&] { return WindowText(edit) == "Alpha group"; }, 5000)) << WindowText(edit);

    // A name no folder may have is refused on the page.
    w->Type(edit, "Tools|Extras");
    w->Click(w->Forward());
    HWND box = setup.WaitForBox("", nullptr, 10000);
    ASSERT_TRUE(box) << "no refusal";
    EXPECT_EQ(MessageBoxText(box), ProgramFolderRefusal(TLanguage::English, "Tools|Extras"));
    PressOk(box);
    ASSERT_TRUE(setup.WaitWindowsGone("#32770"));
    EXPECT_EQ(w->Heading(), t.Folder[0]);
    w->Type(edit, "My group");
    w->Click(w->Back());
    ASSERT_TRUE(w->WaitForPage(t.Destination[0]));
    EXPECT_NE(FocusOf(setup, w->Form()), edit) << "the hidden field keeps the keyboard";
    w->Click(w->Forward());
    ASSERT_TRUE(w->WaitForPage(t.Folder[0]));
    EXPECT_EQ(WindowText(edit), "My group");

    // Forward installs on the copying page and arrives on the completion page.
    w->Click(w->Forward());
    ASSERT_TRUE(w->WaitForPage(t.Finish[0]));
    EXPECT_EQ(w->VisibleTexts(), t.Finish);
    ExpectButtons(*w, false, true);
    for (const std::string& caption : {t.Finish[2], t.Finish[3], t.Finish[4]})
        EXPECT_TRUE(Checked(FindVisible(w->Form(), "Button", caption.c_str()))) << caption;
    w->Click(w->Cancel());  // does nothing on the last pages
    EXPECT_TRUE(setup.Windows("TConfirmationForm").empty());
    EXPECT_EQ(w->Heading(), t.Finish[0]);

    w->Click(w->Forward());
    EXPECT_TRUE(setup.Ends(0));
}

TEST_F(Wizard, GermanWithoutLicenceSkipsTheLicencePage) {
    TProject p;
    p.Language = "German";
    p.Licence = "  ";
    p.DesktopIcon = false;
    p.ReadMe = "";
    p.Destination = "Demo";
    const TPageTexts t = German();
    auto w = Start(p, t.Welcome[0]);
    TSetupProcess& setup = *setup_;
    ASSERT_TRUE(w) << "no welcome page";
    EXPECT_EQ(w->VisibleTexts(), t.Welcome);
    ExpectCaptions(*w, t);
    EXPECT_EQ(w->ButtonNames(), (Texts{"Zur\xFC" "ck", "Weiter", "Abbrechen"}));

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
    HWND box = setup.WaitForBox("", nullptr, 10000);
    ASSERT_TRUE(box);
    EXPECT_EQ(MessageBoxText(box), ProgramFolderRefusal(TLanguage::German, "Demo."));
    PressOk(box);
    ASSERT_TRUE(setup.WaitWindowsGone("#32770"));
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
    EXPECT_TRUE(setup.Ends(0));
}

TEST_F(Wizard, CancelQuestionAnsweredNoByCloseBoxAndYes) {
    TProject p;
    p.LicenceText = "Terms";
    const TPageTexts t = English();
    auto w = Start(p, t.Welcome[0]);
    TSetupProcess& setup = *setup_;
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
    ASSERT_TRUE(setup.WaitWindowsGone("TConfirmationForm", 10000));
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
    ASSERT_TRUE(setup.WaitWindowsGone("TConfirmationForm", 10000));
    EXPECT_TRUE(Checked(check));
    ExpectButtons(*w, true, true);

    w->Click(w->Cancel());
    dialog = WaitForDialog(setup);
    ASSERT_TRUE(dialog);
    Close(dialog);  // the close box counts as no
    ASSERT_TRUE(setup.WaitWindowsGone("TConfirmationForm", 10000));
    EXPECT_EQ(w->Heading(), t.Licence[0]);

    w->Click(w->Cancel());
    dialog = WaitForDialog(setup);
    ASSERT_TRUE(dialog);
    PostMessageA(FindVisible(dialog, "Button", "Yes"), BM_CLICK, 0, 0);
    EXPECT_TRUE(setup.Ends(2));  // cancelled by the user
    EXPECT_TRUE(folder_.WorkFolders().empty());
}

TEST_F(Wizard, GermanLicenceByKeyboard) {
    TProject p;
    p.Language = "German";
    p.LicenceText = "Bedingungen f\xFCr alle\rZeile 2";
    const TPageTexts t = German();
    auto w = Start(p, t.Welcome[0]);
    TSetupProcess& setup = *setup_;
    ASSERT_TRUE(w);
    ExpectCaptions(*w, t);

    // Enter works as Forward while Forward is enabled, but not in the licence text.
    w->Key(VK_RETURN);
    ASSERT_TRUE(w->WaitForPage(t.Licence[0]));
    EXPECT_EQ(w->VisibleTexts(), With(t.Licence, 2, "Bedingungen f\xFCr alle\r\nZeile 2"));
    w->Key(VK_RETURN);
    w->Sync();
    EXPECT_EQ(w->Heading(), t.Licence[0]);
    HWND check = FindVisible(w->Form(), "Button", t.Licence[2].c_str());
    HWND memo = FindVisible(w->Form(), "Edit");
    ASSERT_TRUE(check && memo);
    w->Toggle(check);
    PostMessageA(memo, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(20, 20));
    PostMessageA(memo, WM_LBUTTONUP, 0, MAKELPARAM(20, 20));
    ASSERT_TRUE(WaitFor([&] { return FocusOf(setup, w->Form()) == memo; }, 5000));
    w->Key(VK_RETURN);
    w->Sync();
    EXPECT_EQ(w->Heading(), t.Licence[0]) << "Enter in the licence text went on";
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
    EXPECT_TRUE(setup.Ends(2));  // cancelled by the user
}

// Without the program-files folder in the registry the destination is only
// "\" + Destination, which the installation would put on the current drive.
TEST_F(Wizard, RelativeDestinationIsRefused) {
    TRegistryValueAside programFiles(HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion",
                                     "ProgramFilesDir");
    TProject p;
    p.Licence = "";
    p.Destination = "Demo";
    const TPageTexts t = English();
    auto w = Start(p, t.Welcome[0]);
    TSetupProcess& setup = *setup_;
    ASSERT_TRUE(w);
    w->Click(w->Forward());
    ASSERT_TRUE(w->WaitForPage(t.Destination[0]));
    EXPECT_EQ(w->VisibleTexts(), With(t.Destination, 3, "\\Demo"));
    w->Click(w->Forward());
    HWND box = setup.WaitForBox("", nullptr, 10000);
    ASSERT_TRUE(box) << "no refusal";
    EXPECT_EQ(MessageBoxText(box), DestinationRefusal(TLanguage::English));
    PressOk(box);
    ASSERT_TRUE(setup.WaitWindowsGone("#32770"));
    EXPECT_EQ(w->Heading(), t.Destination[0]);
    w->Click(w->Back());  // no licence: back to the welcome page
    ASSERT_TRUE(w->WaitForPage(t.Welcome[0]));
    Close(w->Form());
    EXPECT_TRUE(setup.Ends(2));  // closed: cancelled by the user
}

// A licence the settings name but the payload lacks ends the start-up.
// A user who clicks the moment the wizard shows finds it whole: the clicks
// come while the wizard may still be making its other pages and dialogs, and
// are handled once they are made. Forward goes to the licence page, Cancel
// asks there.
TEST_F(Wizard, ClicksTheMomentItShows) {
    TProject p;
    p.LicenceText = "Terms";
    const TPageTexts t = English();
    setup_ = std::make_unique<TSetupProcess>(MakeSetup(p), folder_.Temp());
    TSetupProcess& setup = *setup_;
    // Looked for without a pause, to click as early as a window can be seen.
    HWND form = nullptr;
    for (const DWORD start = GetTickCount(); !form && GetTickCount() - start < 20000 && !setup.WaitForExit(0);) {
        const std::vector<HWND> shown = setup.Windows("TSetupForm");
        if (!shown.empty()) form = shown.front();
    }
    ASSERT_TRUE(form) << "no wizard";
    // The image buttons are there when it shows: Back, Forward, Cancel from the left.
    std::vector<HWND> buttons;
    for (HWND child = GetWindow(form, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        char name[32] = {};
        GetClassNameA(child, name, sizeof name);
        if (lstrcmpA(name, "TZubButton") == 0) buttons.push_back(child);
    }
    ASSERT_EQ(buttons.size(), 3u);
    std::sort(buttons.begin(), buttons.end(), [](HWND a, HWND b) { return ScreenRect(a).left < ScreenRect(b).left; });
    for (HWND button : {buttons[1], buttons[2]}) {
        RECT r{};
        GetClientRect(button, &r);
        const LPARAM middle = MAKELPARAM(r.right / 2, r.bottom / 2);
        PostMessageA(button, WM_MOUSEMOVE, 0, middle);
        PostMessageA(button, WM_LBUTTONDOWN, MK_LBUTTON, middle);
        PostMessageA(button, WM_LBUTTONUP, 0, middle);
    }

    HWND dialog = WaitForDialog(setup);
    ASSERT_TRUE(dialog) << "Cancel did not ask";
    EXPECT_EQ(TextsOf(Controls(dialog, true)), (Texts{"Do you want to cancel setup?", "Yes", "No"}));
    auto w = StartWizard(setup, t.Licence[0]);
    ASSERT_TRUE(w) << "not on the licence page";
    EXPECT_EQ(w->VisibleTexts(), With(t.Licence, 2, "Terms"));
    ExpectButtons(*w, true, false);
    PostMessageA(FindVisible(dialog, "Button", "Yes"), BM_CLICK, 0, 0);
    EXPECT_TRUE(setup.Ends(2));  // cancelled by the user
    EXPECT_TRUE(folder_.WorkFolders().empty());
}

TEST_F(Wizard, MissingLicenceEndsStartUp) {
    TProject p;  // names Licence.txt, but writes no licence text
    TSetupProcess setup(MakeSetup(p), folder_.Temp());
    HWND box = setup.WaitForBox();
    ASSERT_TRUE(box) << "no error box";
    EXPECT_EQ(MessageBoxText(box), "Unable to open file (" + folder_.Temp() + "ZCTemp1\\Licence.txt)");
    EXPECT_TRUE(setup.Windows("TSetupForm").empty());
    PressOk(box);
    EXPECT_TRUE(setup.Ends(3));  // could not start
    EXPECT_TRUE(folder_.WorkFolders().empty());
}

}  // namespace
}  // namespace zub::e2e
