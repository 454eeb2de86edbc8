// Text for the few system calls that take only UTF-16 (shell-link saving,
// shell display names): the ANSI code page's text widened, NUL-terminated.
// A vector rather than std::wstring keeps the wide string's template code
// out of the setup, which is sized to the byte.
#pragma once

#include <string>
#include <vector>

namespace zub {

std::vector<wchar_t> ToWide(const std::string& text);

}  // namespace zub
