#include <windows.h>
#include <io.h>

#include <cstdio>

#include "tools/platform.h"

#include "base/process_win.h"
#include "base/strings.h"

namespace zub::tool {

bool StdErrIsTerminal() { return _isatty(_fileno(stderr)) != 0; }

std::string ToolFolder() { return ExtractFilePath(OwnExecutablePath()); }

namespace {

constexpr UINT kWindows1252 = 1252;

// One argument as the C runtime splits a command line: in quotes, with the
// backslashes before a quote doubled and the quote escaped.
std::string QuoteArgument(const std::string& argument) {
    std::string quoted = "\"";
    size_t backslashes = 0;
    for (char c : argument) {
        if (c == '\\') {
            ++backslashes;
            continue;
        }
        quoted.append(c == '"' ? backslashes * 2 + 1 : backslashes, '\\');
        backslashes = 0;
        quoted += c;
    }
    quoted.append(backslashes * 2, '\\');
    return quoted + "\"";
}

struct ProcessHandles {
    PROCESS_INFORMATION info{};
    ~ProcessHandles() {
        if (info.hThread) CloseHandle(info.hThread);
        if (info.hProcess) CloseHandle(info.hProcess);
    }
};

// Text from one code page to another through UTF-16; nothing when a
// character has no place in the target.
std::optional<std::string> Recode(const std::string& text, UINT from, UINT to) {
    if (from == to || text.empty()) return text;
    const int wide = MultiByteToWideChar(from, 0, text.data(), int(text.size()), nullptr, 0);
    if (wide <= 0) return std::nullopt;
    std::wstring buffer(size_t(wide), L'\0');
    MultiByteToWideChar(from, 0, text.data(), int(text.size()), &buffer[0], wide);
    BOOL lossy = FALSE;
    const int n = WideCharToMultiByte(to, WC_NO_BEST_FIT_CHARS, buffer.data(), wide, nullptr, 0, nullptr, &lossy);
    if (n <= 0 || lossy) return std::nullopt;
    std::string result(size_t(n), '\0');
    WideCharToMultiByte(to, WC_NO_BEST_FIT_CHARS, buffer.data(), wide, &result[0], n, nullptr, &lossy);
    return lossy ? std::nullopt : std::optional<std::string>(result);
}

}  // namespace

int RunProgram(const std::vector<std::string>& arguments) {
    if (arguments.empty()) return -1;
    std::string commandLine;
    for (const std::string& argument : arguments) commandLine += (commandLine.empty() ? "" : " ") + QuoteArgument(argument);
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    ProcessHandles process;
    if (!CreateProcessA(nullptr, &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process.info))
        return -1;
    WaitForSingleObject(process.info.hProcess, INFINITE);
    DWORD code = 1;
    GetExitCodeProcess(process.info.hProcess, &code);
    return int(code);
}

std::optional<std::string> LocaleToWindows1252(const std::string& text) { return Recode(text, GetACP(), kWindows1252); }

std::string Windows1252ToLocale(const std::string& text) {
    return Recode(text, kWindows1252, GetACP()).value_or(text);
}

}  // namespace zub::tool
