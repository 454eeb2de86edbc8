#include "setup/command_line.h"

#include <gtest/gtest.h>

#include <string>

namespace zub {
namespace {

struct TCase {
    const char* Line;
    bool Silent;
    const char* Destination;  // nullptr: none
    const char* LogFile;
    bool Usage;
    bool Refused;
};

TEST(CommandLine, Table) {
    const TCase cases[] = {
        {"setup.exe", false, nullptr, "", false, false},
        {"\"C:\\Some Dir\\setup.exe\"", false, nullptr, "", false, false},
        // The quoted program name may hold what looks like a switch.
        {"\"C:\\a /S b\\setup.exe\" ", false, nullptr, "", false, false},
        {"\"C:\\Some Dir\\setup.exe\" /S", true, nullptr, "", false, false},
        {"setup.exe /s /S", true, nullptr, "", false, false},
        {"setup.exe /S /D=C:\\Program Files\\My App", true, "C:\\Program Files\\My App", "", false, false},
        {"setup.exe /d=C:\\My  App  ", false, "C:\\My  App", "", false, false},
        {"setup.exe /S /D=\\\\server\\share\\App", true, "\\\\server\\share\\App", "", false, false},
        // /D= takes the rest of the line: a switch after it is part of the path.
        {"setup.exe /D=C:\\App /S", false, "C:\\App /S", "", false, false},
        {"setup.exe /S /LOG=C:\\t.txt /D=C:\\A", true, "C:\\A", "C:\\t.txt", false, false},
        {"setup.exe /log=\"C:\\my logs\\t.txt\" /S", true, nullptr, "C:\\my logs\\t.txt", false, false},
        {"setup.exe /LOG=a.txt /LOG=a.txt", false, nullptr, "a.txt", false, false},
        {"setup.exe /?", false, nullptr, "", true, false},
        {"setup.exe /S /?", true, nullptr, "", true, false},
        // Refused.
        {"setup.exe /S /D=", true, "", "", true, true},
        {"setup.exe /S /D=   ", true, "", "", true, true},
        {"setup.exe /S /D=relative\\App", true, "relative\\App", "", true, true},
        {"setup.exe /D=\\App", false, "\\App", "", true, true},
        {"setup.exe /D=C:App", false, "C:App", "", true, true},
        {"setup.exe /D=\"C:\\App\"", false, "\"C:\\App\"", "", true, true},
        {"setup.exe /LOG=t.txt /X", false, nullptr, "t.txt", true, true},
        {"setup.exe /S /SILENT", true, nullptr, "", true, true},
        {"setup.exe C:\\App", false, nullptr, "", true, true},
        {"setup.exe /LOG=", false, nullptr, "", true, true},
        {"setup.exe /LOG=a.txt /LOG=b.txt", false, nullptr, "a.txt", true, true},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Line);
        const TSetupOptions o = ParseSetupCommandLine(c.Line);
        EXPECT_EQ(o.Silent, c.Silent);
        EXPECT_EQ(o.Destination.has_value(), c.Destination != nullptr);
        if (c.Destination && o.Destination) {
            EXPECT_EQ(*o.Destination, c.Destination);
        }
        EXPECT_EQ(o.LogFile, c.LogFile);
        EXPECT_EQ(o.Usage, c.Usage);
        EXPECT_EQ(!o.Error.empty(), c.Refused) << o.Error;
    }
}

TEST(CommandLine, RefusalsSayWhat) {
    EXPECT_EQ(ParseSetupCommandLine("setup.exe /Q").Error, "Unknown switch: /Q");
    EXPECT_EQ(ParseSetupCommandLine("setup.exe /D=App").Error,
              "/D=App is not a full path with a drive or a network share.");
}

}  // namespace
}  // namespace zub
