// Runs the skinsetup tool inside the test, with what it writes captured.
#pragma once

#include <sstream>
#include <string>
#include <vector>

#include "tools/skinsetup.h"

namespace zub::test {

struct TResult {
    int Code;
    std::string Out;
    std::string Err;
};

inline TResult Tool(const std::vector<std::string>& arguments) {
    std::ostringstream out, err;
    tool::TConsole console{out, err, false};
    const int code = tool::RunSkinsetup(arguments, console);
    return {code, out.str(), err.str()};
}

}  // namespace zub::test
