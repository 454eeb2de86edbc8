// The wizard form's page area as data: every control with its name, kind,
// parent, design bounds, alignment and anchors, in creation order. The window
// layer builds the controls from this table; tests check the layout with it.
#pragma once

#include <string>
#include <vector>

#include "ui/layout.h"

namespace zub {

enum class TControlKind {
    Panel,
    Label,        // word-wrapped, fitted to its text
    HeadLabel,    // a page's first heading: centred, word-wrapped, fitted
    Spacer,       // a blank label with its own 12-pixel font
    FixedLabel,   // a label of fixed size
    CheckBox,
    GroupBox,
    Button,
    Edit,
    Memo,         // read-only, both scroll bars
    ListBox,
    ProgressBar,
};

struct TControlDesign {
    const char* Name;
    const char* Parent;  // the page area itself is "MainPanel", a child of the form
    TControlKind Kind;
    TBounds Bounds;
    TAlign Align = TAlign::alNone;
    TAnchors Anchors = kDefaultAnchors;
    // The page the control is on (a panel on the page area "TextBox", which
    // is on its own page); null for the page area and MainPanel.
    const char* Page = nullptr;
};

// MainPanel first, then every control below it, parents before children;
// each page with everything on it in one run.
const std::vector<TControlDesign>& WizardLayout();

// The page the control of this name is on; null for MainPanel, the page
// area and a name the layout does not have.
const char* PageOf(const std::string& control);

// The height of the spacer labels' own font, in pixels.
constexpr int kSpacerFontPixels = 12;

}  // namespace zub
