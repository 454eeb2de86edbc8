// The wizard form's page area as data: every control with its name, kind,
// parent, design bounds, alignment and anchors, in creation order. The window
// layer builds the controls from this table; tests check the layout with it.
#pragma once

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
};

// MainPanel first, then every control below it, parents before children.
const std::vector<TControlDesign>& WizardLayout();

// The height of the spacer labels' own font, in pixels.
constexpr int kSpacerFontPixels = 12;

}  // namespace zub
