// The main of every end-to-end test program: gtest's options, then the
// program's NAME=VALUE arguments (arguments_win.h); COM for the shortcuts
// that are read back through the shell.
#include <windows.h>
#include <objbase.h>

#include <gtest/gtest.h>

#include "tests/e2e/arguments_win.h"

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    if (!zub::e2e::ReadArguments(argc, argv)) return 2;
    CoInitialize(nullptr);
    const int result = RUN_ALL_TESTS();
    CoUninitialize();
    return result;
}
