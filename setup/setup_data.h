// The setup data: everything the running setup knows, filled from Setup.ini
// and by the pages, read by the installation and the finishing actions.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace zub {

// Colours are 0x00BBGGRR; 0x80000000 + i is the system colour i.
constexpr int32_t kSystemColorFlag = INT32_MIN;
constexpr int32_t clWindowText = kSystemColorFlag + 8;  // COLOR_WINDOWTEXT
constexpr int32_t clBlack = 0;

enum TFontStyle : unsigned { fsBold = 1, fsItalic = 2, fsUnderline = 4, fsStrikeOut = 8 };

// A font as the settings describe it; the window layer makes the real font.
struct TFontSpec {
    std::string Name = "MS Sans Serif";
    int32_t Color = clWindowText;
    int32_t Height = -11;  // negative: character height in pixels (8 points at 96 dpi)
    unsigned Style = 0;    // TFontStyle bits

    bool operator==(const TFontSpec& o) const {
        return Name == o.Name && Color == o.Color && Height == o.Height && Style == o.Style;
    }
};

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
    TFontSpec SetupFont;
    std::string RazederodezTitle;
    uint8_t CurrentPage = 0;
    std::string WorkFolder;  // always ends in a backslash
    bool DesktopIcon = false;
};

}  // namespace zub
