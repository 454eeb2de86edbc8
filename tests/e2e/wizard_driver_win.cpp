#include "tests/e2e/wizard_driver_win.h"

#include <algorithm>
#include <cstdio>

namespace zub::e2e {
namespace {

std::string SystemClassOf(HWND window) {
    char name[128] = {};
    RealGetWindowClassA(window, name, sizeof name);
    return name;
}

bool IsStandard(const std::string& cls) {
    for (const char* known : {"Static", "Button", "Edit", "ListBox", "msctls_progress32"})
        if (lstrcmpiA(cls.c_str(), known) == 0) return true;
    return false;
}

void Collect(HWND parent, bool visibleOnly, std::vector<TControl>& out) {
    for (HWND child = GetWindow(parent, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        if (visibleOnly && !IsWindowVisible(child)) continue;
        const std::string cls = SystemClassOf(child);
        if (IsStandard(cls)) out.push_back({child, cls, WindowText(child), ScreenRect(child)});
        Collect(child, visibleOnly, out);
    }
}

POINT Middle(HWND window) {
    RECT r{};
    GetClientRect(window, &r);
    return {r.right / 2, r.bottom / 2};
}

HWND MarkerEdit(HWND form) {
    for (const TControl& c : Controls(form, false))
        if (lstrcmpiA(c.Class.c_str(), "Edit") == 0 && !(GetWindowLongA(c.Window, GWL_STYLE) & ES_MULTILINE))
            return c.Window;
    return nullptr;
}

// Every wait says when it gave up, so a slow or failing run shows where.
bool Expect(bool reached, const char* what) {
    if (!reached) std::fprintf(stderr, "wizard driver: timed out waiting for %s\n", what);
    return reached;
}

}  // namespace

std::vector<TControl> Controls(HWND root, bool visibleOnly) {
    std::vector<TControl> controls;
    Collect(root, visibleOnly, controls);
    std::stable_sort(controls.begin(), controls.end(), [](const TControl& a, const TControl& b) {
        return a.Screen.top != b.Screen.top ? a.Screen.top < b.Screen.top : a.Screen.left < b.Screen.left;
    });
    return controls;
}

std::vector<std::string> TextsOf(const std::vector<TControl>& controls) {
    std::vector<std::string> texts;
    for (const TControl& c : controls)
        if (!c.Text.empty()) texts.push_back(c.Text);
    return texts;
}

HWND FindVisible(HWND root, const char* systemClass, const char* text) {
    HWND found = nullptr;
    for (const TControl& c : Controls(root, true)) {
        if (lstrcmpiA(c.Class.c_str(), systemClass) != 0 || (text && c.Text != text)) continue;
        if (found) return nullptr;
        found = c.Window;
    }
    return found;
}

bool Checked(HWND checkBox) { return SendMessageA(checkBox, BM_GETCHECK, 0, 0) == BST_CHECKED; }

bool Enabled(HWND window) { return IsWindowEnabled(window) != FALSE; }

// Read as UTF-16 and converted here: between processes the system carries
// the item texts of a list box in UTF-16 only.
std::vector<std::string> ListItems(HWND listBox) {
    std::vector<std::string> items;
    const LRESULT count = SendMessageA(listBox, LB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
        wchar_t wide[MAX_PATH + 1] = {};
        SendMessageW(listBox, LB_GETTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(wide));
        char text[2 * MAX_PATH + 2] = {};
        WideCharToMultiByte(CP_ACP, 0, wide, -1, text, sizeof text, nullptr, nullptr);
        items.push_back(text);
    }
    return items;
}

RECT ScreenRect(HWND window) {
    RECT r{};
    GetWindowRect(window, &r);
    return r;
}

HWND FocusOf(const TSetupProcess&, HWND anyWindowOfIt) {
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    if (!GetGUIThreadInfo(GetWindowThreadProcessId(anyWindowOfIt, nullptr), &info)) return nullptr;
    return info.hwndFocus;
}

TWizard::TWizard(TSetupProcess& process, HWND form) : process_(process), form_(form) {
    std::vector<HWND> found;
    for (HWND child = GetWindow(form, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        char name[64] = {};
        GetClassNameA(child, name, sizeof name);
        if (lstrcmpA(name, "TZubButton") == 0) found.push_back(child);
    }
    marker_ = MarkerEdit(form);
    if (found.size() != 3 || !marker_) return;
    std::sort(found.begin(), found.end(),
              [](HWND a, HWND b) { return ScreenRect(a).left < ScreenRect(b).left; });
    std::copy(found.begin(), found.end(), buttons_);
}

void TWizard::Click(HWND imageButton) { Press(imageButton, 1); }
void TWizard::DoubleClick(HWND imageButton) { Press(imageButton, 2); }

void TWizard::Press(HWND imageButton, int presses) {
    const POINT p = Middle(imageButton);
    const LPARAM at = MAKELPARAM(p.x, p.y);
    PostMessageA(imageButton, WM_MOUSEMOVE, 0, at);
    for (int i = 0; i < presses; ++i) {
        PostMessageA(imageButton, i == 0 ? WM_LBUTTONDOWN : WM_LBUTTONDBLCLK, MK_LBUTTON, at);
        PostMessageA(imageButton, WM_LBUTTONUP, 0, at);
    }
    // A modal dialog opened by the click holds the marker back until it
    // closes; a click that ends the setup leaves nobody to handle it.
    WaitForMarker([&] {
        if (process_.Windows("TSetupForm", false).empty()) return true;
        for (const char* dialog : {"TConfirmationForm", "#32770", "TFolderMan"})
            if (!process_.Windows(dialog).empty()) return true;
        return false;
    });
}

void TWizard::Sync() {
    WaitForMarker([] { return false; });
}

// Messages are handled in the order they were posted: once a marker posted
// last has taken effect, everything before it has been handled.
void TWizard::WaitForMarker(const std::function<bool()>& stopEarly) {
    HWND marker = marker_;
    static WPARAM serial = 0x7FFF0000;
    const WPARAM limit = ++serial;
    PostMessageA(marker, EM_SETLIMITTEXT, limit, 0);
    Expect(WaitFor([&] {
               return static_cast<WPARAM>(SendMessageA(marker, EM_GETLIMITTEXT, 0, 0)) == limit || stopEarly();
           }),
           "the setup to handle its messages");
}

void TWizard::Key(WORD virtualKey) {
    HWND target = FocusOf(process_, form_);
    if (!target) target = form_;
    const LPARAM scan = static_cast<LPARAM>(MapVirtualKeyA(virtualKey, 0)) << 16;
    PostMessageA(target, WM_KEYDOWN, virtualKey, 1 | scan);
    PostMessageA(target, WM_KEYUP, virtualKey, 1 | scan | (1u << 30) | (1u << 31));
}

void TWizard::Toggle(HWND checkBox) {
    const bool before = Checked(checkBox);
    PostMessageA(checkBox, BM_CLICK, 0, 0);
    Expect(WaitFor([&] { return Checked(checkBox) != before; }), "the check box to change");
}

void TWizard::ClickItem(HWND listBox, int index) {
    const LPARAM at = MAKELPARAM(10, index * 13 + 6);
    PostMessageA(listBox, WM_LBUTTONDOWN, MK_LBUTTON, at);
    PostMessageA(listBox, WM_LBUTTONUP, 0, at);
    Expect(WaitFor([&] { return SendMessageA(listBox, LB_GETCURSEL, 0, 0) == index; }), "the list selection");
}

void TWizard::Type(HWND edit, const std::string& text) {
    PostMessageA(edit, EM_SETSEL, 0, -1);
    PostMessageA(edit, WM_CHAR, VK_BACK, 1);
    for (char c : text) PostMessageA(edit, WM_CHAR, static_cast<unsigned char>(c), 1);
    Expect(WaitFor([&] { return WindowText(edit) == text; }), "the typed text");
}

std::vector<std::string> TWizard::ButtonNames() const {
    std::vector<std::string> names;
    for (HWND button : buttons_) names.push_back(WindowText(button));
    return names;
}

std::string TWizard::Heading() const {
    const std::vector<std::string> texts = VisibleTexts();
    return texts.empty() ? std::string() : texts.front();
}

bool TWizard::WaitForPage(const std::string& heading, DWORD timeoutMs) const {
    return Expect(WaitFor([&] { return Heading() == heading; }, timeoutMs), heading.c_str());
}

::testing::AssertionResult TWizard::Next(DWORD timeoutMs) {
    const std::string before = Heading();
    Click(Forward());
    if (WaitFor([&] { return Heading() != before; }, timeoutMs)) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "Forward did not leave the page \"" << before << "\"";
}

::testing::AssertionResult TWizard::WalkToTheFolderPage(const std::function<void(const char*)>& atPage,
                                                        DWORD timeoutMs) {
    const auto at = [&](const char* page) {
        if (atPage) atPage(page);
    };
    at("welcome");
    if (auto moved = Next(timeoutMs); !moved) return moved;
    if (FindVisible(form_, "Edit") && !FindVisible(form_, "ListBox")) {  // the licence page
        HWND consent = FindVisible(form_, "Button");
        if (!consent) return ::testing::AssertionFailure() << "no consent box on the licence page";
        Toggle(consent);
        at("licence");
        if (auto moved = Next(timeoutMs); !moved) return moved;
    }
    at("destination");
    if (auto moved = Next(timeoutMs); !moved) return moved;
    if (!FindVisible(form_, "ListBox"))
        return ::testing::AssertionFailure() << "not on the program-folder page but on \"" << Heading() << "\"";
    at("folder");
    return ::testing::AssertionSuccess();
}

::testing::AssertionResult TWizard::ClickToTheCopy() {
    if (auto walked = WalkToTheFolderPage(); !walked) return walked;
    Click(Forward());
    return ::testing::AssertionSuccess();
}

std::vector<TControl> TWizard::Options() const {
    std::vector<TControl> boxes;
    for (const TControl& c : Controls(form_, true))
        if (c.Class == "Button") boxes.push_back(c);
    return boxes;
}

void TWizard::UntickOptions(const std::string& keep) {
    for (const TControl& c : Options())
        if (Checked(c.Window) && c.Text != keep) Toggle(c.Window);
}

HWND TWizard::ProgressBar() const {
    for (const TControl& c : Controls(form_, false))
        if (c.Class == "msctls_progress32") return c.Window;
    return nullptr;
}

HWND TWizard::PageOf(HWND control) const {
    for (HWND p = control; p; p = GetParent(p)) {
        HWND pageArea = GetParent(p);
        HWND mainPanel = pageArea ? GetParent(pageArea) : nullptr;
        if (mainPanel && GetParent(mainPanel) == form_) return p;
    }
    return nullptr;
}

void TWizard::ShowCopyPageInsteadOf(HWND shown, const std::function<void()>& whileShown) {
    HWND copyPage = PageOf(ProgressBar());
    if (!copyPage || !shown) return;
    ShowWindow(copyPage, SW_SHOWNA);
    ShowWindow(shown, SW_HIDE);
    whileShown();
    ShowWindow(shown, SW_SHOWNA);
    ShowWindow(copyPage, SW_HIDE);
}

std::unique_ptr<TWizard> StartWizard(TSetupProcess& process, const std::string& firstHeading, DWORD timeoutMs) {
    HWND form = process.WaitForWindow("TSetupForm", timeoutMs);
    if (!Expect(form != nullptr, "the wizard window")) return nullptr;
    // The wizard shows with its first page and makes the others right after,
    // before it handles a message: once a marker posted to it has been
    // handled, every page is there.
    std::unique_ptr<TWizard> wizard;
    WaitFor(
        [&] {
            wizard = std::make_unique<TWizard>(process, form);
            return wizard->Found() || !IsWindow(form);
        },
        timeoutMs);
    if (!Expect(wizard->Found(), "the wizard's three image buttons and its pages")) return nullptr;
    wizard->Sync();
    const bool shown = firstHeading.empty() ? Expect(WaitFor([&] { return !wizard->Heading().empty(); }, timeoutMs), "a page")
                                            : wizard->WaitForPage(firstHeading, timeoutMs);
    return shown ? std::move(wizard) : nullptr;
}

}  // namespace zub::e2e
