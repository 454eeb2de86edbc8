#include "skin/picture_decoder.h"

#include "base/error.h"
#include "base/file.h"
#include "base/strings.h"

namespace zub {
namespace {

using TDecoder = TPicture (*)(const uint8_t*, size_t);

struct TDecoderEntry {
    const char* extension;
    TDecoder decode;
};

constexpr TDecoderEntry kDecoders[] = {
    {"bmp", DecodeBmp},
    {"gif", DecodeGif},
    {"jpg", DecodeJpeg},
    {"jpeg", DecodeJpeg},
};

TDecoder DecoderFor(const std::string& extension) {
    std::string ext = LowerAscii(extension);
    for (const auto& entry : kDecoders)
        if (ext == entry.extension) return entry.decode;
    throw Error("Unknown picture file extension ." + extension);
}

}  // namespace

const char kInvalidPictureMessage[] = "Invalid picture data";

void CheckPictureSize(int64_t width, int64_t height) {
    if (width <= 0 || height <= 0 || width > kMaxBitmapSide || height > kMaxBitmapSide ||
        width * height > kMaxBitmapPixels)
        throw Error("Picture size not supported");
}

TPicture DecodePicture(const std::string& extension, const uint8_t* data, size_t size) {
    return DecoderFor(extension)(data, size);
}

TPicture DecodePictureFile(const std::string& fileName) {
    std::string ext = ExtractFileExt(fileName);
    if (!ext.empty()) ext.erase(0, 1);
    TDecoder decode = DecoderFor(ext);  // before the file is read
    std::vector<unsigned char> bytes = fs::ReadWholeFile(fileName);
    return decode(bytes.data(), bytes.size());
}

}  // namespace zub
