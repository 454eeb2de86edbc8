// Drives the wizard window of a running setup from outside, as a user and a
// screen reader would: clicks the image buttons with mouse messages, presses
// keys, and reads the page's controls back through their own messages.
#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "tests/e2e/process_driver_win.h"

namespace zub::e2e {

// A standard control found in a window: its system class ("Static",
// "Button", "Edit", "ListBox", "msctls_progress32"), text and place.
struct TControl {
    HWND Window = nullptr;
    std::string Class;
    std::string Text;
    RECT Screen{};
};

// The standard controls below `root`, visible ones only or all, in reading
// order (top to bottom, then left to right on screen).
std::vector<TControl> Controls(HWND root, bool visibleOnly);
// Their non-empty texts, in the same order.
std::vector<std::string> TextsOf(const std::vector<TControl>& controls);
// The only visible control of a system class below root whose text is `text`
// (any text when `text` is null); null when there is none or more than one.
HWND FindVisible(HWND root, const char* systemClass, const char* text = nullptr);

bool Checked(HWND checkBox);
bool Enabled(HWND window);
std::vector<std::string> ListItems(HWND listBox);
RECT ScreenRect(HWND window);

// The focused window of the setup's thread.
HWND FocusOf(const TSetupProcess& process, HWND anyWindowOfIt);

class TWizard {
public:
    TWizard(TSetupProcess& process, HWND form);

    HWND Form() const { return form_; }
    // The image buttons, left to right as the test skins place them.
    HWND Back() const { return buttons_[0]; }
    HWND Forward() const { return buttons_[1]; }
    HWND Cancel() const { return buttons_[2]; }
    bool Found() const { return buttons_[2] != nullptr; }
    // Their window texts, as a screen reader reads them.
    std::vector<std::string> ButtonNames() const;

    // Presses and releases the left mouse button over the middle of an image
    // button, then waits until the setup is idle again. A disabled button
    // takes no mouse input, as for a user.
    void Click(HWND imageButton);
    // A double-click as the system delivers it to a window class with
    // double-clicks: press, release, WM_LBUTTONDBLCLK, release.
    void DoubleClick(HWND imageButton);
    // Waits until the setup has handled everything posted to it so far, also
    // while one of its dialogs is open.
    void Sync();
    // A key pressed and released while the wizard has the focus.
    void Key(WORD virtualKey);
    // Ticks or clears a check box, as a mouse click does.
    void Toggle(HWND checkBox);
    // Clicks the list box's item `index` (item height 13).
    void ClickItem(HWND listBox, int index);
    // Types `text` into an edit control key by key, replacing what it holds.
    void Type(HWND edit, const std::string& text);

    std::vector<std::string> VisibleTexts() const { return TextsOf(Controls(form_, true)); }
    // The first text of the visible page; "" when none shows.
    std::string Heading() const;
    // Waits until the visible page begins with `heading`.
    bool WaitForPage(const std::string& heading, DWORD timeoutMs = 10000) const;
    // Clicks Forward and waits until another page shows.
    ::testing::AssertionResult Next(DWORD timeoutMs = 20000);
    // From the welcome page through the licence (consent given) and the
    // destination to the program-folder page; `atPage` is called on each with
    // its name: "welcome", "licence", "destination", "folder".
    ::testing::AssertionResult WalkToTheFolderPage(const std::function<void(const char* page)>& atPage = nullptr,
                                                   DWORD timeoutMs = 20000);
    // The same walk, and Forward on the program-folder page: the copy starts.
    ::testing::AssertionResult ClickToTheCopy();

    // The completion page's options: its visible check boxes.
    std::vector<TControl> Options() const;
    // Clears every ticked option but the one captioned `keep`.
    void UntickOptions(const std::string& keep = "");
    // The copying page's progress bar, shown or not.
    HWND ProgressBar() const;
    // The page panel (below the form's main panel and page area) that holds `control`.
    HWND PageOf(HWND control) const;
    // The copying page passes by in a moment while the setup installs: for
    // its picture, its panel is shown in place of the visible page `shown`
    // while `whileShown` runs, then the page is put back.
    void ShowCopyPageInsteadOf(HWND shown, const std::function<void()>& whileShown);

private:
    // Presses the left button once, or twice as a double-click, then waits.
    void Press(HWND imageButton, int presses);
    // Posts a marker behind what was posted and waits for it; `stopEarly`
    // ends the wait sooner.
    void WaitForMarker(const std::function<bool()>& stopEarly);

    TSetupProcess& process_;
    HWND form_;
    HWND buttons_[3] = {};
    // A single-line edit of the wizard, found once: the markers go to it.
    HWND marker_ = nullptr;
};

// Waits for the wizard window of the process, until it has made all its
// pages and handles messages, and for its first page, which begins with
// `firstHeading` (any text when it is empty); null, saying why, when it does
// not show.
std::unique_ptr<TWizard> StartWizard(TSetupProcess& process, const std::string& firstHeading = "",
                                     DWORD timeoutMs = 20000);

}  // namespace zub::e2e
