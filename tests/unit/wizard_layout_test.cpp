#include "setup/wizard_layout.h"

#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>

#include "setup/wizard_pages.h"
#include "setup/wizard_texts.h"

namespace zub {
namespace {

// Lays out the whole page area as the window layer does: MainPanel gets
// `mainPanel`, and every parent arranges its children in creation order.
std::map<std::string, TBounds> Arrange(TBounds mainPanel, const std::set<std::string>& hidden = {}) {
    const auto& layout = WizardLayout();
    std::map<std::string, TBounds> design, now;
    for (const TControlDesign& c : layout) design[c.Name] = c.Bounds;
    now["MainPanel"] = mainPanel;
    for (const TControlDesign& parent : layout) {
        std::vector<const TControlDesign*> children;
        std::vector<TLayoutItem> items;
        for (const TControlDesign& c : layout)
            if (c.Parent && parent.Name == std::string(c.Parent)) {
                children.push_back(&c);
                TLayoutItem item;
                item.Align = c.Align;
                item.Anchors = c.Anchors;
                item.Visible = hidden.count(c.Name) == 0;
                item.Bounds = item.Origin = c.Bounds;
                item.OriginParent = {parent.Bounds.Width, parent.Bounds.Height};
                items.push_back(item);
            }
        const TBounds& p = now.at(parent.Name);
        const std::vector<TBounds> placed = ArrangeChildren(items, {p.Width, p.Height});
        for (size_t i = 0; i < children.size(); ++i) now[children[i]->Name] = placed[i];
    }
    return now;
}

TEST(WizardLayout, EveryControlOnceWithItsParentBeforeIt) {
    std::set<std::string> seen;
    for (const TControlDesign& c : WizardLayout()) {
        if (c.Parent) {
            EXPECT_TRUE(seen.count(c.Parent)) << c.Name << " before its parent " << c.Parent;
        }
        EXPECT_TRUE(seen.insert(c.Name).second) << c.Name << " twice";
    }
    EXPECT_EQ(WizardLayout().front().Name, std::string("MainPanel"));
    // What the pages and the texts name is there.
    for (const TCaption& caption : EnglishTexts("T").Captions) EXPECT_TRUE(seen.count(caption.Control)) << caption.Control;
    for (int page = 0; page < kPageCount; ++page)
        for (const char* name : {PageEntry(page).Panel, PageEntry(page).Head1, PageEntry(page).Head2})
            EXPECT_TRUE(seen.count(name)) << name;
    for (const char* name : FirstHeadings(true)) EXPECT_TRUE(seen.count(name)) << name;
}

// The wizard makes one page at a time from the rows of its page: every
// control is on the page its parent is on, the texts name controls on
// pages, and only MainPanel and the page area are on none.
TEST(WizardLayout, EveryControlIsOnItsParentsPage) {
    std::map<std::string, const char*> pageOf;
    std::set<std::string> pages;
    for (const TControlDesign& c : WizardLayout()) {
        const std::string parent = c.Parent ? c.Parent : "";
        if (!c.Parent || parent == "MainPanel") {
            EXPECT_EQ(c.Page, nullptr) << c.Name;
        } else if (parent == "TextBox") {
            ASSERT_NE(c.Page, nullptr) << c.Name;
            EXPECT_EQ(std::string(c.Page), c.Name);
            pages.insert(c.Name);
        } else {
            ASSERT_NE(c.Page, nullptr) << c.Name;
            EXPECT_EQ(c.Page, pageOf.at(parent)) << c.Name;
        }
        pageOf[c.Name] = c.Page;
        EXPECT_EQ(PageOf(c.Name), c.Page) << c.Name;
    }
    EXPECT_EQ(PageOf("TextBox"), nullptr);
    EXPECT_EQ(PageOf("NoSuchControl"), nullptr);
    std::set<std::string> entries;
    for (int page = 0; page < kPageCount; ++page) entries.insert(PageEntry(page).Panel);
    EXPECT_EQ(pages, entries);
    for (const TCaption& caption : GermanTexts("T").Captions) EXPECT_NE(PageOf(caption.Control), nullptr) << caption.Control;
    for (int page = 0; page < kPageCount; ++page)
        for (const char* head : {PageEntry(page).Head1, PageEntry(page).Head2})
            EXPECT_EQ(std::string(PageOf(head)), PageEntry(page).Panel) << head;
}

TEST(WizardLayout, DesignSizeGivesTheDesignBounds) {
    const auto b = Arrange({104, 16, 393, 305});
    EXPECT_EQ(b.at("TextBox"), (TBounds{12, 14, 369, 275}));
    for (int page = 0; page < kPageCount; ++page)
        EXPECT_EQ(b.at(PageEntry(page).Panel), (TBounds{0, 0, 369, 275})) << PageEntry(page).Panel;
    EXPECT_EQ(b.at("LicenceMemo"), (TBounds{12, 12, 345, 181}));
    EXPECT_EQ(b.at("Panel3"), (TBounds{0, 235, 369, 40}));
    EXPECT_EQ(b.at("DestinationButton"), (TBounds{285, 17, 75, 25}));
    EXPECT_EQ(b.at("FolderList"), (TBounds{0, 52, 353, 168}));
    EXPECT_EQ(b.at("Panel6"), (TBounds{24, 65, 321, 33}));
}

TEST(WizardLayout, PageAreaOfTheSettingsKeepsTheMargins) {
    const auto b = Arrange({176, 52, 400, 312});
    EXPECT_EQ(b.at("TextBox"), (TBounds{12, 14, 376, 282}));  // 12 left, 14 top, 12 right, 16 bottom
    EXPECT_EQ(b.at("WelcomeHead").Width, 376);
    EXPECT_EQ(b.at("DestinationGroup"), (TBounds{0, 232, 376, 50}));
    EXPECT_EQ(b.at("DestinationButton"), (TBounds{292, 17, 75, 25}));  // right margin kept
    EXPECT_EQ(b.at("DestinationText"), (TBounds{12, 17, 261, 27}));
    EXPECT_EQ(b.at("Panel1"), (TBounds{8, 8, 360, 227}));
    EXPECT_EQ(b.at("FolderEdit").Width, 360);
    EXPECT_EQ(b.at("LicenceMemo"), (TBounds{12, 12, 352, 188}));
    EXPECT_EQ(b.at("Panel6").Width, 328);
}

TEST(WizardLayout, HiddenCompletionRowsTakeNoSpace) {
    const TBounds area{104, 16, 393, 305};
    auto b = Arrange(area);
    EXPECT_EQ(b.at("FinishDesktopPanel").Top, 0);
    EXPECT_EQ(b.at("FinishReadMePanel").Top, 20);
    EXPECT_EQ(b.at("FinishLaunchProgPanel").Top, 40);
    b = Arrange(area, {"FinishDesktopPanel", "FinishReadMePanel"});
    EXPECT_EQ(b.at("FinishLaunchProgPanel").Top, 0);
    EXPECT_EQ(b.at("LaunchProgCheck"), (TBounds{1, 1, 322, 17}));
    b = Arrange(area, {"FinishReadMePanel"});
    EXPECT_EQ(b.at("FinishLaunchProgPanel").Top, 20);
}

}  // namespace
}  // namespace zub
