// skinsetup: the authoring tool for setups.
#include <iostream>

#include "tools/platform.h"
#include "tools/skinsetup.h"

int main(int argc, char** argv) {
    zub::tool::TConsole console{std::cout, std::cerr, zub::tool::StdErrIsTerminal()};
    return zub::tool::RunSkinsetup(std::vector<std::string>(argv + 1, argv + argc), console);
}
