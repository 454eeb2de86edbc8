// The setup data: everything the running setup knows, filled from Setup.ini
// and by the pages, read by the installation and the finishing actions.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "base/font.h"

namespace zub {

struct TSetupData {
    std::vector<std::string> AddFiles;  // relative to WorkFolder, in file order, duplicates kept
    std::string Destination;
    std::string Folder;
    std::string Language;
    bool LaunchProg = false;
    std::string Licence;     // relative to WorkFolder
    std::string ReadMe;      // relative to Destination
    std::string TargetFile;  // relative to Destination
    int32_t TextBoxColor = clBlack;
    TFont SetupFont;
    std::string RazederodezTitle;
    uint8_t CurrentPage = 0;
    std::string WorkFolder;  // always ends in a backslash
    bool DesktopIcon = false;
    // For the list of installed programs; empty when Setup.ini gives none.
    std::string Version;
    std::string Publisher;
    std::string Website;
};

}  // namespace zub
