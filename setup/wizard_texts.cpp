#include "setup/wizard_texts.h"

namespace zub {

TCaptionTable EnglishTexts(const std::string& title) {
    return {{
        {"WelcomeHead", "Welcome to the Setup Wizard for " + title},
        {"WelcomeText", "This wizard will install " + title + " on your computer. Click Next to continue."},
        {"LicenceHead1", "Licence Agreement"},
        {"LicenceHead2", "Please read the following licence agreement carefully."},
        {"LicenceCheck", "Yes, I accept all the terms of the preceeding licence agreement."},
        {"DestinationHead1", "Choose Destination Location"},
        {"DestinationHead2", "To install to this folder, click Next. To install to a different folder, click "
                             "Browse and select another folder."},
        {"DestinationGroup", "Destination Folder"},
        {"DestinationButton", "Browse..."},
        {"FolderHead1", "Select Program Folder"},
        {"FolderHead2", "Setup will add icons to the program folder listed below. You may type a new folder, or "
                        "select one from the existing folders list. Click Next to start installing."},
        {"FolderEditHead", "Program Folder"},
        {"FolderListHead", "Existing Folders"},
        {"CopyHead1", "Setup Status"},
        {"CopyHead2", title + " installer is performing the requested operations."},
        {"FinishHead1", "Setup Complete"},
        {"FinshHead2", title + " has been installed successfully. Click Next to finish Setup."},
        {"DesktopCheck", "Create Icon on Desktop."},
        {"LaunchProgCheck", "Launch Program."},
        {"ReadMeCheck", "View ReadMe."},
    }, 0, {"Back", "Next", "Cancel"}};
}

TCaptionTable GermanTexts(const std::string& title) {
    return {{
        {"WelcomeHead", "Willkommen zum Setup Assistenten f\xFCr " + title},
        {"WelcomeText", "Dieser Assistent installiert " + title + " auf Ihrem Computer."},
        {"LicenceHead1", "Lizenzbestimmungen"},
        {"LicenceHead2", "Bitte lesen Sie sorgf\xE4ltig folgende Lizenzbestimmungen."},
        {"LicenceCheck", "Ich stimme s\xE4mtlichen Bedingungen des vorstehenden Lizenzvertrages zu."},
        {"DestinationHead1", "Zielordner w\xE4hlen"},
        {"DestinationHead2", "W\xE4hlen Sie einen Zielordner, in den die Programmdateien installiert werden."},
        {"DestinationGroup", "Zielordner"},
        {"DestinationButton", "Durchsuchen..."},
        {"FolderHead1", "StartMen\xFC"},
        {"FolderHead2", "W\xE4hlen Sie eine Gruppe im Men\xFC 'Programme'. Klicke Sie 'Weiter' um mit der "
                        "Installation zu beginnen."},
        {"FolderEditHead", "Programmgruppe"},
        {"FolderListHead", "Existierende Gruppen"},
        {"CopyHead1", "Setup Status"},
        {"CopyHead2", title + "  wird jetzt auf Ihrem Computer installiert. Bitte warten."},
        {"FinishHead1", "Setup fertig"},
        {"FinshHead2", title + " wurde erfolgreich installiert. Klicken Sie 'Weiter' um das Setup zu beenden."},
        {"DesktopCheck", "Verk\xFCpfung auf dem Desktop erstellen."},
        {"LaunchProgCheck", title + " starten."},
        {"ReadMeCheck", "ReadMe-Datei anzeigen."},
    }, 30, {"Zur\xFC" "ck", "Weiter", "Abbrechen"}};
}

// The form's own captions are placeholders, so a language the setup does not
// know still gets a worded table: the English one.
TCaptionTable CaptionTableOf(const std::string& language, const std::string& title) {
    return IsGerman(language) ? GermanTexts(title) : EnglishTexts(title);
}

std::vector<const char*> FirstHeadings(bool hasLicence) {
    std::vector<const char*> heads = {"WelcomeHead", "DestinationHead1", "FolderHead1", "CopyHead1", "FinishHead1"};
    if (hasLicence) heads.insert(heads.begin() + 1, "LicenceHead1");
    return heads;
}

TConfirmationTexts ConfirmationTextsOf(const std::string& language) {
    if (IsGerman(language)) return {"Best\xE4tigung!", "Ja", "Nein"};
    return {"Confirmation!", "Yes", "No"};
}

std::string CancelQuestion(const std::string& language) {
    return IsGerman(language) ? "Wollen Sie das Setup abbrechen?"
                                                             : "Do you want to cancel setup?";
}

std::string DestinationRefusal(TLanguage language) {
    if (IsGerman(language))
        return "Bitte w\xE4hlen Sie einen Zielordner mit vollst\xE4ndigem Pfad, zum Beispiel "
               "C:\\Programme\\Anwendung.";
    return "Please choose a destination folder with its full path, for example C:\\Program Files\\Application.";
}

std::string ProgramFolderRefusal(TLanguage language, const std::string& folder) {
    if (IsGerman(language))
        return "\"" + folder +
               "\" kann nicht als Programmgruppe angelegt werden. Der Name darf keines der Zeichen "
               "< > : \" / | ? * enthalten, nicht auf ein Leerzeichen oder einen Punkt enden und kein "
               "Ger\xE4tename wie CON oder NUL sein.";
    return "\"" + folder +
           "\" cannot be made as a program folder. The name may not contain any of the characters "
           "< > : \" / | ? *, may not end in a blank or a dot, and may not be a device name such as CON or NUL.";
}

}  // namespace zub
