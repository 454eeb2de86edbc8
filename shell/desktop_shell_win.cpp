#include "shell/desktop_shell_win.h"

#include <windows.h>
// shellapi.h first: its ShellExecute macro then names the dispatch method
// in shldisp.h and in the call alike.
#include <shellapi.h>
#include <exdisp.h>
#include <servprov.h>
#include <shldisp.h>
#include <shlobj.h>

#include "base/handles_win.h"
#include "base/strings.h"
#include "base/wide_text_win.h"
#include "base/win32_error.h"

namespace zub {
namespace {

// The shell's window list, and the service that gives a window's browser.
// The interfaces are named by __uuidof, so no GUID library is needed.
constexpr CLSID kShellWindowsClass = {0x9BA05972, 0xF6A8, 0x11CF, {0xA4, 0x42, 0x00, 0xA0, 0xC9, 0x0A, 0x8F, 0x39}};
constexpr GUID kTopLevelBrowserService = {0x4C96BE40, 0x915C, 0x11CF, {0x99, 0xD3, 0x00, 0xAA, 0x00, 0x4A, 0xE8, 0x37}};

// A VARIANT that is cleared when it goes.
class TVariant {
public:
    TVariant() { VariantInit(&value_); }
    explicit TVariant(int number) : TVariant() {
        V_VT(&value_) = VT_I4;
        V_I4(&value_) = number;
    }
    // Empty text stays an empty VARIANT: no parameters, no folder.
    explicit TVariant(const std::string& text) : TVariant() {
        if (text.empty()) return;
        V_VT(&value_) = VT_BSTR;
        V_BSTR(&value_) = SysAllocString(ToWide(text).data());
    }
    ~TVariant() { VariantClear(&value_); }
    TVariant(const TVariant&) = delete;
    TVariant& operator=(const TVariant&) = delete;
    VARIANT& get() { return value_; }

private:
    VARIANT value_;
};

// Whether a step failed (an error, S_FALSE for "none", or no object); then
// `reason` names the step and the system's words for the code.
bool Failed(HRESULT hr, const void* result, const char* step, std::string& reason) {
    if (SUCCEEDED(hr) && hr != S_FALSE && result) return false;
    std::string why = FAILED(hr) ? Trim(SystemMessage(static_cast<unsigned long>(hr))) : std::string();
    if (why.empty()) why = Format("0x%.8lX", static_cast<unsigned long>(hr));
    reason = std::string(step) + " (" + why + ")";
    return true;
}

}  // namespace

bool StartThroughDesktopShell(const std::string& file, const std::string& parameters, const std::string& folder,
                              std::string& reason) {
    ComPtr<IShellWindows> windows;
    HRESULT hr = CoCreateInstance(kShellWindowsClass, nullptr, CLSCTX_LOCAL_SERVER, __uuidof(IShellWindows),
                                  windows.put_void());
    if (Failed(hr, windows.get(), "no window list of the desktop's shell", reason)) return false;

    TVariant desktop(CSIDL_DESKTOP), empty;
    long window = 0;
    ComPtr<IDispatch> desktopDispatch;
    hr = windows->FindWindowSW(&desktop.get(), &empty.get(), SWC_DESKTOP, &window, SWFO_NEEDDISPATCH,
                               desktopDispatch.put());
    if (Failed(hr, desktopDispatch.get(), "the desktop's shell has no desktop window", reason)) return false;

    ComPtr<IServiceProvider> services;
    hr = desktopDispatch->QueryInterface(__uuidof(IServiceProvider), services.put_void());
    if (Failed(hr, services.get(), "the desktop window offers no services", reason)) return false;
    ComPtr<IShellBrowser> browser;
    hr = services->QueryService(kTopLevelBrowserService, __uuidof(IShellBrowser), browser.put_void());
    if (Failed(hr, browser.get(), "the desktop window has no browser", reason)) return false;
    ComPtr<IShellView> view;
    hr = browser->QueryActiveShellView(view.put());
    if (Failed(hr, view.get(), "the desktop has no view", reason)) return false;

    ComPtr<IDispatch> background;
    hr = view->GetItemObject(SVGIO_BACKGROUND, __uuidof(IDispatch), background.put_void());
    if (Failed(hr, background.get(), "the desktop's view has no dispatch object", reason)) return false;
    ComPtr<IShellFolderViewDual> folderView;
    hr = background->QueryInterface(__uuidof(IShellFolderViewDual), folderView.put_void());
    if (Failed(hr, folderView.get(), "the desktop's view is no folder view", reason)) return false;
    ComPtr<IDispatch> application;
    hr = folderView->get_Application(application.put());
    if (Failed(hr, application.get(), "the desktop's view has no application object", reason)) return false;
    ComPtr<IShellDispatch2> shell;
    hr = application->QueryInterface(__uuidof(IShellDispatch2), shell.put_void());
    if (Failed(hr, shell.get(), "the desktop's shell cannot start programs", reason)) return false;

    BSTR name = SysAllocString(ToWide(file).data());
    if (!name) {
        reason = "out of memory";
        return false;
    }
    TVariant arguments(parameters), directory(folder), verb(std::string("open")), show(SW_SHOW);
    hr = shell->ShellExecute(name, arguments.get(), directory.get(), verb.get(), show.get());
    SysFreeString(name);
    if (FAILED(hr)) {
        Failed(hr, nullptr, "the desktop's shell refused to start it", reason);
        return false;
    }
    return true;
}

}  // namespace zub
