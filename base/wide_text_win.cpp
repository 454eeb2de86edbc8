#include "base/wide_text_win.h"

#include <windows.h>

namespace zub {

std::vector<wchar_t> ToWide(const std::string& text) {
    const int n = MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, nullptr, 0);
    std::vector<wchar_t> wide(n > 0 ? n : 1, L'\0');
    if (n > 0) MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, wide.data(), n);
    return wide;
}

}  // namespace zub
