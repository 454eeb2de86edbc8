// Walks the resource directory of the input as a PE file: the payload
// lookup and the full resource list. When the input reads as a PE image with
// resources, the payload is also written into it and must read back; only
// for alignments of at most 64 KiB (the largest the format allows), since
// the writer pads to the file alignment and huge ones make every run slow.
#include "archive/pe_image.h"
#include "archive/pe_resource.h"
#include "base/error.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    try {
        zub::FindPayloadResource(data, size);
    } catch (const zub::Error&) {
    }
    std::vector<zub::TPeResource> resources;
    try {
        resources = zub::ReadResources(data, size);
    } catch (const zub::Error&) {
        return 0;
    }
    const zub::pe::TPeImage image = zub::pe::ParsePeImage(data, size);
    if (image.FileAlignment > 0x10000 || image.SectionAlignment > 0x10000) return 0;
    const std::vector<unsigned char> pe(data, data + size);
    const std::vector<unsigned char> payload = {'Z', 'U', 'B', 0, 1, 2, 3};
    std::vector<unsigned char> written;
    try {
        written = zub::WritePayloadResource(pe, payload);
    } catch (const zub::Error&) {
        return 0;  // some images leave no room for a new section
    }
    if (zub::ReadPayloadResource(written) != payload) __builtin_trap();
    return 0;
}
