#include "setup/wizard_texts.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

namespace zub {
namespace {

std::string TextOf(const TCaptionTable& table, const std::string& control) {
    for (const TCaption& c : table.Captions)
        if (control == c.Control) return c.Text;
    ADD_FAILURE() << "no caption for " << control;
    return {};
}

// Both tables word every captioned control of the pages, each once, in the same order.
TEST(WizardTexts, BothTablesCoverTheSameControlsInTheSameOrder) {
    const TCaptionTable english = EnglishTexts("T"), german = GermanTexts("T");
    ASSERT_EQ(english.Captions.size(), 20u);
    ASSERT_EQ(german.Captions.size(), english.Captions.size());
    std::set<std::string> seen;
    for (size_t i = 0; i < english.Captions.size(); ++i) {
        EXPECT_STREQ(english.Captions[i].Control, german.Captions[i].Control);
        EXPECT_TRUE(seen.insert(english.Captions[i].Control).second) << english.Captions[i].Control;
    }
    EXPECT_EQ(english.Captions.front().Control, std::string("WelcomeHead"));
    EXPECT_EQ(english.Captions.back().Control, std::string("ReadMeCheck"));
}

TEST(WizardTexts, TitleIsSplicedUnchangedAlsoWhenEmpty) {
    const TCaptionTable english = EnglishTexts("");
    EXPECT_EQ(TextOf(english, "WelcomeHead"), "Welcome to the Setup Wizard for ");
    EXPECT_EQ(TextOf(english, "CopyHead2"), " installer is performing the requested operations.");
    EXPECT_EQ(TextOf(english, "LaunchProgCheck"), "Launch Program.");

    const TCaptionTable german = GermanTexts("Foo 2");
    EXPECT_EQ(TextOf(german, "CopyHead2"), "Foo 2  wird jetzt auf Ihrem Computer installiert. Bitte warten.");
    EXPECT_EQ(TextOf(german, "LaunchProgCheck"), "Foo 2 starten.");
    EXPECT_EQ(TextOf(german, "WelcomeText"), "Dieser Assistent installiert Foo 2 auf Ihrem Computer.");
    EXPECT_EQ(TextOf(EnglishTexts("Foo 2"), "WelcomeText"),
              "This wizard will install Foo 2 on your computer. Click Next to continue.");
}

TEST(WizardTexts, GermanUmlautsAreSingleWindows1252Bytes) {
    const TCaptionTable german = GermanTexts("X");
    const std::string head = TextOf(german, "WelcomeHead");
    EXPECT_EQ(head.size(), std::string("Willkommen zum Setup Assistenten fur X").size());
    EXPECT_EQ(static_cast<unsigned char>(head[34]), 0xFC);
    EXPECT_EQ(TextOf(german, "FolderHead1"), "StartMen\xFC");
    EXPECT_EQ(TextOf(german, "DestinationHead1"), "Zielordner w\xE4hlen");
    EXPECT_EQ(TextOf(german, "DesktopCheck"), "Verk\xFCpfung auf dem Desktop erstellen.");
    EXPECT_EQ(std::string(ConfirmationTextsOf("German").Title), "Best\xE4tigung!");
}

TEST(WizardTexts, LanguageChoiceIsExactAndUnknownNamesGetEnglish) {
    const auto englishCaptions = EnglishTexts("App").Captions;
    for (const char* language : {"English", "French", "Spanish", "", "german", "Deutsch"}) {
        const TCaptionTable table = CaptionTableOf(language, "App");
        ASSERT_EQ(table.Captions.size(), englishCaptions.size());
        for (size_t i = 0; i < table.Captions.size(); ++i) EXPECT_EQ(table.Captions[i].Text, englishCaptions[i].Text);
        EXPECT_EQ(table.DestinationButtonGrowth, 0) << language;
        EXPECT_EQ(std::string(ConfirmationTextsOf(language).Yes), "Yes") << language;
    }
    const TCaptionTable german = CaptionTableOf("German", "App");
    EXPECT_EQ(TextOf(german, "DestinationButton"), "Durchsuchen...");
    EXPECT_EQ(german.DestinationButtonGrowth, 30);
    const TConfirmationTexts ja = ConfirmationTextsOf("German");
    EXPECT_EQ(std::string(ja.Yes) + "/" + ja.No, "Ja/Nein");
    const TConfirmationTexts yes = ConfirmationTextsOf("English");
    EXPECT_EQ(std::string(yes.Title) + yes.Yes + "/" + yes.No, "Confirmation!Yes/No");
}

TEST(WizardTexts, LicenceHeadingIsAFirstHeadingOnlyWithALicence) {
    EXPECT_EQ(FirstHeadings(false).size(), 5u);
    const auto heads = FirstHeadings(true);
    ASSERT_EQ(heads.size(), 6u);
    EXPECT_EQ(std::string(heads[1]), "LicenceHead1");
}

TEST(WizardTexts, RefusalsNameTheFolderInTheWizardsLanguage) {
    EXPECT_EQ(ProgramFolderRefusal(TLanguage::English, "a|b"),
              "\"a|b\" cannot be made as a program folder. The name may not contain any of the characters "
              "< > : \" / | ? *, may not end in a blank or a dot, and may not be a device name such as CON or NUL.");
    EXPECT_EQ(ProgramFolderRefusal(TLanguage::German, "a|b"),
              "\"a|b\" kann nicht als Programmgruppe angelegt werden. Der Name darf keines der Zeichen "
              "< > : \" / | ? * enthalten, nicht auf ein Leerzeichen oder einen Punkt enden und kein "
              "Ger\xE4tename wie CON oder NUL sein.");
    EXPECT_EQ(DestinationRefusal(TLanguage::German),
              "Bitte w\xE4hlen Sie einen Zielordner mit vollst\xE4ndigem Pfad, zum Beispiel C:\\Programme\\Anwendung.");
    EXPECT_EQ(DestinationRefusal(TLanguage::English),
              "Please choose a destination folder with its full path, for example C:\\Program Files\\Application.");
}

}  // namespace
}  // namespace zub
