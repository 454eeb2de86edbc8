// make_test_setup STUB PROJECT OUT: builds a setup from a project folder with
// the platform's resource updater (used by the demo until the authoring tool
// writes setups itself).
#include <cstdio>
#include <exception>

#include "archive/payload_builder.h"
#include "base/file.h"
#include "tests/e2e/payload_resource_win.h"

int main(int argc, char** argv) {
    if (argc != 4) {
        std::fprintf(stderr, "usage: make_test_setup STUB PROJECT OUT\n");
        return 2;
    }
    using namespace zub::e2e;
    try {
        std::string out = WindowsPathOf(argv[3]);
        std::string payload = out + ".payload";
        zub::BuildPayload(WindowsPathOf(argv[2]), payload);
        std::vector<unsigned char> bytes = zub::fs::ReadWholeFile(payload);
        zub::fs::RemoveFile(payload);
        MakeSetupFromStub(WindowsPathOf(argv[1]), out, bytes);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "make_test_setup: %s\n", e.what());
        return 1;
    }
    return 0;
}
