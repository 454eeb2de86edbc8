#include "uninstall/message_box_user_win.h"

#include <utility>
#include <vector>

namespace zub {
namespace {

// Gives the buttons of the message boxes this thread shows meanwhile other texts.
class TButtonLabels {
public:
    explicit TButtonLabels(std::vector<std::pair<int, std::string>> labels) : labels_(std::move(labels)) {
        current_ = this;
        hook_ = SetWindowsHookExA(WH_CBT, &TButtonLabels::Hook, nullptr, GetCurrentThreadId());
    }
    ~TButtonLabels() {
        if (hook_) UnhookWindowsHookEx(hook_);
        current_ = nullptr;
    }
    TButtonLabels(const TButtonLabels&) = delete;
    TButtonLabels& operator=(const TButtonLabels&) = delete;

private:
    static LRESULT CALLBACK Hook(int code, WPARAM wParam, LPARAM lParam) {
        if (code == HCBT_ACTIVATE && current_)
            for (const auto& [id, text] : current_->labels_)
                SetDlgItemTextA(reinterpret_cast<HWND>(wParam), id, text.c_str());
        return CallNextHookEx(nullptr, code, wParam, lParam);
    }

    static inline TButtonLabels* current_ = nullptr;  // one box at a time, on the one thread
    std::vector<std::pair<int, std::string>> labels_;
    HHOOK hook_ = nullptr;
};

}  // namespace

bool TMessageBoxUser::Ask(const std::string& caption, const std::string& text) {
    return MessageBoxExA(nullptr, text.c_str(), caption.c_str(), MB_YESNO | MB_ICONQUESTION | MB_SETFOREGROUND,
                         system_) == IDYES;
}

void TMessageBoxUser::Tell(const std::string& caption, const std::string& text, bool problem) {
    MessageBoxExA(nullptr, text.c_str(), caption.c_str(),
                  MB_OK | MB_SETFOREGROUND | (problem ? MB_ICONWARNING : MB_ICONINFORMATION), system_);
}

bool TMessageBoxUser::AskRetry(const std::string& caption, const std::string& text, const std::string& retry,
                               const std::string& skip) {
    const TButtonLabels labels({{IDRETRY, retry}, {IDCANCEL, skip}});
    return MessageBoxExA(nullptr, text.c_str(), caption.c_str(), MB_RETRYCANCEL | MB_ICONWARNING | MB_SETFOREGROUND,
                         system_) == IDRETRY;
}

}  // namespace zub
