// Decodes outside bytes as a skin picture. The first input byte picks the
// decoder (BMP, GIF, JPEG), the rest is the file. A decoder may refuse the
// input with zub::Error; anything else (a crash, a sanitizer report, a
// picture outside the size limits) is a finding.
#include "base/error.h"
#include "skin/picture_decoder.h"

namespace {

constexpr const char* kExtensions[] = {"bmp", "gif", "jpg"};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) return 0;
    try {
        const zub::TPicture picture = zub::DecodePicture(kExtensions[data[0] % 3], data + 1, size - 1);
        zub::CheckPictureSize(picture.Width, picture.Height);
        // Read the last pixel: a buffer smaller than the size it claims shows up
        // under ASan (touching them all would make large pictures slow units).
        volatile zub::TColor32 last = picture.Pixels[size_t(picture.Width) * size_t(picture.Height) - 1];
        (void)last;
    } catch (const zub::Error&) {
        // Refusing bad input with a message is the expected outcome.
    }
    return 0;
}
