#include "setup/wizard_layout.h"

namespace zub {
namespace {

using K = TControlKind;
using A = TAlign;
constexpr TAnchors kLeftRight = akLeft | akRight;
constexpr TAnchors kTopRight = akTop | akRight;

// The page area's client size at design, and so each page's.
constexpr int kPageWidth = 369;
constexpr int kPageHeight = 275;

// The three lines every page starts with.
void AddHeads(std::vector<TControlDesign>& t, const char* page, const char* head1, const char* spacer,
              const char* head2) {
    t.push_back({page, "TextBox", K::Panel, {0, 0, kPageWidth, kPageHeight}, A::alClient});
    t.push_back({head1, page, K::HeadLabel, {0, 0, kPageWidth, 16}, A::alTop});
    t.push_back({spacer, page, K::Spacer, {0, 16, kPageWidth, 13}, A::alTop});
    t.push_back({head2, page, K::Label, {0, 29, kPageWidth, 13}, A::alTop});
}

std::vector<TControlDesign> MakeLayout() {
    std::vector<TControlDesign> t;
    t.push_back({"MainPanel", nullptr, K::Panel, {104, 16, 393, 305}});
    t.push_back({"TextBox", "MainPanel", K::Panel, {12, 14, kPageWidth, kPageHeight}, A::alNone, kAllAnchors});

    AddHeads(t, "WelcomeBox", "WelcomeHead", "Label6", "WelcomeText");

    AddHeads(t, "LicenceBox", "LicenceHead1", "Label5", "LicenceHead2");
    t.push_back({"Panel2", "LicenceBox", K::Panel, {0, 42, kPageWidth, 193}, A::alClient});
    t.push_back({"LicenceMemo", "Panel2", K::Memo, {12, 12, 345, 181}, A::alNone, kAllAnchors});
    t.push_back({"Panel3", "LicenceBox", K::Panel, {0, 235, kPageWidth, 40}, A::alBottom});
    t.push_back({"LicenceCheck", "Panel3", K::CheckBox, {8, 4, 353, 33}});

    AddHeads(t, "DestinationBox", "DestinationHead1", "Label7", "DestinationHead2");
    t.push_back({"DestinationGroup", "DestinationBox", K::GroupBox, {0, 225, kPageWidth, 50}, A::alBottom});
    t.push_back({"DestinationText", "DestinationGroup", K::FixedLabel, {12, 17, 261, 27}});
    t.push_back({"DestinationButton", "DestinationGroup", K::Button, {285, 17, 75, 25}, A::alNone, kTopRight});

    AddHeads(t, "FolderBox", "FolderHead1", "Label2", "FolderHead2");
    t.push_back({"Panel4", "FolderBox", K::Panel, {0, 42, kPageWidth, 233}, A::alClient});
    t.push_back({"Panel1", "Panel4", K::Panel, {8, 8, 353, 220}, A::alNone, kAllAnchors});
    t.push_back({"FolderEditHead", "Panel1", K::Label, {0, 0, 353, 13}, A::alTop});
    t.push_back({"Panel7", "Panel1", K::Panel, {0, 13, 353, 21}, A::alTop});
    t.push_back({"FolderEdit", "Panel7", K::Edit, {0, 0, 353, 21}, A::alNone, akLeft | akTop | akRight});
    t.push_back({"Label1", "Panel1", K::FixedLabel, {0, 34, 353, 5}, A::alTop});
    t.push_back({"FolderListHead", "Panel1", K::Label, {0, 39, 353, 13}, A::alTop});
    t.push_back({"FolderList", "Panel1", K::ListBox, {0, 52, 353, 168}, A::alClient});

    AddHeads(t, "CopyBox", "CopyHead1", "Label4", "CopyHead2");
    t.push_back({"Panel5", "CopyBox", K::Panel, {0, 42, kPageWidth, 233}, A::alClient});
    t.push_back({"Panel6", "Panel5", K::Panel, {24, 65, 321, 33}, A::alNone, kLeftRight});
    t.push_back({"Copymessage", "Panel6", K::FixedLabel, {0, 0, 321, 13}, A::alTop});
    t.push_back({"CopyProgress", "Panel6", K::ProgressBar, {0, 13, 321, 16}, A::alTop});

    AddHeads(t, "FinishBox", "FinishHead1", "Label3", "FinshHead2");
    t.push_back({"Panel8", "FinishBox", K::Panel, {0, 42, kPageWidth, 233}, A::alClient});
    const char* rows[][2] = {{"FinishDesktopPanel", "DesktopCheck"},
                             {"FinishReadMePanel", "ReadMeCheck"},
                             {"FinishLaunchProgPanel", "LaunchProgCheck"}};
    int top = 0;
    for (const auto& row : rows) {
        t.push_back({row[0], "Panel8", K::Panel, {0, top, kPageWidth, 20}, A::alTop});
        t.push_back({row[1], row[0], K::CheckBox, {1, 1, 322, 17}});
        top += 20;
    }
    // The page of each control is its parent's; the pages are their own.
    for (TControlDesign& c : t) {
        if (!c.Parent || std::string(c.Parent) == "MainPanel") continue;
        if (std::string(c.Parent) == "TextBox") {
            c.Page = c.Name;
            continue;
        }
        for (const TControlDesign& parent : t)
            if (std::string(parent.Name) == c.Parent) c.Page = parent.Page;
    }
    return t;
}

}  // namespace

const std::vector<TControlDesign>& WizardLayout() {
    static const std::vector<TControlDesign> layout = MakeLayout();
    return layout;
}

const char* PageOf(const std::string& control) {
    for (const TControlDesign& c : WizardLayout())
        if (control == c.Name) return c.Page;
    return nullptr;
}

}  // namespace zub
