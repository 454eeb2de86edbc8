// Picture decoding for the skin: the file name's extension picks the decoder
// ("bmp", "gif", "jpg", "jpeg", without regard to case). Every decoder checks
// the sizes a file declares against the file and against kMaxBitmapSide /
// kMaxBitmapPixels before it allocates, and raises zub::Error on anything it
// cannot read; the caller shows the placeholder then.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "skin/bitmap32.h"

namespace zub {

TPicture DecodePictureFile(const std::string& fileName);
// The extension without the dot, e.g. "bmp".
TPicture DecodePicture(const std::string& extension, const uint8_t* data, size_t size);

// Device-independent bitmaps: 1, 4, 8 bits with palette, 16, 24 and 32 bits;
// uncompressed or with bit fields; top-down or bottom-up. Only 32 bits keep alpha.
TPicture DecodeBmp(const uint8_t* data, size_t size);
// The first frame on its logical screen; transparent and uncovered pixels stay 0.
TPicture DecodeGif(const uint8_t* data, size_t size);
// Baseline and progressive JPEG, grey, RGB and CMYK.
TPicture DecodeJpeg(const uint8_t* data, size_t size);

// Raises the error for a declared size the skin does not take.
void CheckPictureSize(int64_t width, int64_t height);

extern const char kInvalidPictureMessage[];

}  // namespace zub
