// Writes a payload into a copy of the setup stub with the platform's own
// resource updater (the payload resource of archive/payload_layout.h).
#pragma once

#include <string>
#include <vector>

namespace zub::e2e {

// Copies `stub` to `target` and puts `payload` into it as its payload
// resource; an empty payload gives a setup without the resource. Raises zub::Error.
void MakeSetupFromStub(const std::string& stub, const std::string& target, const std::vector<unsigned char>& payload);

}  // namespace zub::e2e
