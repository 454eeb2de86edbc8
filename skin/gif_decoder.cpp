// GIF pictures through giflib, read record by record rather than slurped, so
// that every frame's declared size is checked before any pixel memory exists.
// The first frame is drawn onto the logical screen; uncovered and transparent
// pixels stay 0 (they become opaque black, as unpainted pixels do). The
// frame's rows are read before the screen is allocated, so that a file of a
// few bytes declaring a large screen fails before it costs any memory.
#include <gif_lib.h>

#include <algorithm>
#include <cstring>
#include <vector>

#include "base/error.h"
#include "skin/picture_decoder.h"

namespace zub {
namespace {

struct TMemorySource {
    const uint8_t* data;
    size_t size, position;
};

int ReadFromMemory(GifFileType* gif, GifByteType* buffer, int count) {
    auto* source = static_cast<TMemorySource*>(gif->UserData);
    size_t n = std::min(static_cast<size_t>(count < 0 ? 0 : count), source->size - source->position);
    if (n == 0) return 0;
    std::memcpy(buffer, source->data + source->position, n);
    source->position += n;
    return static_cast<int>(n);
}

class TGifFile {
public:
    explicit TGifFile(TMemorySource& source) {
        int error = 0;
        gif_ = DGifOpen(&source, ReadFromMemory, &error);
        if (!gif_) throw Error(kInvalidPictureMessage);
    }
    ~TGifFile() {
        int error = 0;
        DGifCloseFile(gif_, &error);
    }
    TGifFile(const TGifFile&) = delete;
    TGifFile& operator=(const TGifFile&) = delete;
    GifFileType* operator->() const { return gif_; }
    GifFileType* get() const { return gif_; }

private:
    GifFileType* gif_;
};

void Check(int result) {
    if (result != GIF_OK) throw Error(kInvalidPictureMessage);
}

// The transparent index of a graphic control extension, or -1.
int TransparentIndex(GifByteType* block, int current) {
    if (block && block[0] >= 4 && (block[1] & 1)) return block[4];
    return current;
}

// The frame's colour indexes, rows in file order; the memory grows only with
// the rows the data really holds.
std::vector<GifPixelType> ReadFrame(GifFileType* gif) {
    const GifImageDesc& desc = gif->Image;
    CheckPictureSize(desc.Width, desc.Height);
    std::vector<GifPixelType> indexes;
    std::vector<GifPixelType> line(desc.Width);
    for (int row = 0; row < desc.Height; ++row) {
        Check(DGifGetLine(gif, line.data(), desc.Width));
        indexes.insert(indexes.end(), line.begin(), line.end());
    }
    return indexes;
}

void DrawFrame(GifFileType* gif, const std::vector<GifPixelType>& indexes, int transparent, TPicture& picture) {
    const GifImageDesc& desc = gif->Image;
    const ColorMapObject* map = desc.ColorMap ? desc.ColorMap : gif->SColorMap;
    if (!map) throw Error(kInvalidPictureMessage);
    TColor32 colors[256] = {};
    for (int i = 0; i < map->ColorCount && i < 256; ++i)
        colors[i] = TColor32(map->Colors[i].Red) << 16 | map->Colors[i].Green << 8 | map->Colors[i].Blue;

    // Rows in file order; interlaced pictures come in four passes.
    std::vector<int> order;
    order.reserve(desc.Height);
    if (desc.Interlace) {
        const int starts[] = {0, 4, 2, 1}, steps[] = {8, 8, 4, 2};
        for (int pass = 0; pass < 4; ++pass)
            for (int y = starts[pass]; y < desc.Height; y += steps[pass]) order.push_back(y);
    } else {
        for (int y = 0; y < desc.Height; ++y) order.push_back(y);
    }
    const GifPixelType* line = indexes.data();
    for (int y : order) {
        const int py = desc.Top + y;
        if (py >= 0 && py < picture.Height) {
            TColor32* dst = picture.Pixels.get() + size_t(py) * picture.Width;
            for (int x = 0; x < desc.Width; ++x) {
                const int px = desc.Left + x;
                if (px < 0 || px >= picture.Width || line[x] == transparent) continue;
                dst[px] = colors[line[x]];
            }
        }
        line += desc.Width;
    }
}

}  // namespace

TPicture DecodeGif(const uint8_t* data, size_t size) {
    TMemorySource source{data, size, 0};
    TGifFile gif(source);
    int transparent = -1;
    for (;;) {
        GifRecordType type = UNDEFINED_RECORD_TYPE;
        Check(DGifGetRecordType(gif.get(), &type));
        if (type == TERMINATE_RECORD_TYPE) break;
        if (type == EXTENSION_RECORD_TYPE) {
            int code = 0;
            GifByteType* block = nullptr;
            Check(DGifGetExtension(gif.get(), &code, &block));
            if (code == GRAPHICS_EXT_FUNC_CODE) transparent = TransparentIndex(block, transparent);
            while (block) Check(DGifGetExtensionNext(gif.get(), &block));
            continue;
        }
        if (type != IMAGE_DESC_RECORD_TYPE) throw Error(kInvalidPictureMessage);
        Check(DGifGetImageDesc(gif.get()));
        const std::vector<GifPixelType> indexes = ReadFrame(gif.get());
        TPicture picture;
        // A zero logical screen takes the frame's size.
        picture.Width = gif->SWidth > 0 ? gif->SWidth : gif->Image.Width;
        picture.Height = gif->SHeight > 0 ? gif->SHeight : gif->Image.Height;
        CheckPictureSize(picture.Width, picture.Height);
        picture.Pixels.reset(new TColor32[size_t(picture.Width) * picture.Height]());
        DrawFrame(gif.get(), indexes, transparent, picture);
        return picture;
    }
    throw Error(kInvalidPictureMessage);  // no frame at all
}

}  // namespace zub
