// JPEG pictures through libjpeg. Its fatal errors arrive in error_exit, which
// must not return: it jumps back to the one frame that set up the decoder and
// holds only plain data, so no C++ destructor is ever skipped. The declared
// size is checked before decompression allocates anything size-dependent.
#include <csetjmp>
#include <cstdio>
#include <new>

#include <jpeglib.h>
#include <jerror.h>

#include "base/error.h"
#include "skin/picture_decoder.h"

namespace zub {
namespace {

struct TJpegError {
    jpeg_error_mgr manager;
    std::jmp_buf jump;
    bool sizeRejected;
};

[[noreturn]] void ErrorExit(j_common_ptr info) {
    std::longjmp(reinterpret_cast<TJpegError*>(info->err)->jump, 1);
}

void NoOutput(j_common_ptr) {}  // warnings go nowhere: there is no console
void NoText(j_common_ptr, char* buffer) { buffer[0] = '\0'; }
void ResetCounts(j_common_ptr common) {
    common->err->num_warnings = 0;
    common->err->msg_code = 0;
}

// Scan data that ends (with the file, or at a marker) before the last row of
// blocks is an error, not a warning: libjpeg would go on with made-up data,
// so a file of a few hundred bytes declaring millions of pixels kept the
// setup busy for seconds. Within the last row of blocks the end is met by
// reading ahead in a file that lacks only its end marker, which still decodes.
void EndIsAnError(j_common_ptr common, int level) {
    const int code = common->err->msg_code;
    if (level >= 0 || (code != JWRN_JPEG_EOF && code != JWRN_HIT_MARKER) || !common->is_decompressor) return;
    const auto* info = reinterpret_cast<j_decompress_ptr>(common);
    const JDIMENSION lastBlockRow = JDIMENSION(info->max_v_samp_factor * DCTSIZE);  // unscaled: 8 rows a block
    if (info->output_height - info->output_scanline > lastBlockRow) ErrorExit(common);
}

TColor32 FromCmyk(const JSAMPLE* p) {
    // Adobe writes CMYK inverted: the samples are already 255 - ink.
    auto mul = [](int a, int k) { return static_cast<TColor32>(a * k / 255); };
    return mul(p[0], p[3]) << 16 | mul(p[1], p[3]) << 8 | mul(p[2], p[3]);
}

// Fills picture (whose Pixels the caller frees); false on a libjpeg error.
bool Decompress(const uint8_t* data, size_t size, TPicture& picture, bool& sizeRejected) {
    jpeg_decompress_struct info;
    TJpegError error;
    // Filled here rather than by jpeg_std_error: its message table and its
    // printf-based formatting (the C runtime's with its floating-point
    // printing) would come along, and no message is ever shown.
    error.manager = jpeg_error_mgr{};
    error.manager.error_exit = ErrorExit;
    error.manager.emit_message = EndIsAnError;
    error.manager.output_message = NoOutput;
    error.manager.format_message = NoText;
    error.manager.reset_error_mgr = ResetCounts;
    info.err = &error.manager;
    error.sizeRejected = false;
    if (setjmp(error.jump)) {
        sizeRejected = error.sizeRejected;
        jpeg_destroy_decompress(&info);
        return false;
    }
    jpeg_create_decompress(&info);
    jpeg_mem_src(&info, const_cast<unsigned char*>(data), static_cast<unsigned long>(size));
    jpeg_read_header(&info, TRUE);
    const int64_t width = info.image_width, height = info.image_height;
    if (width <= 0 || height <= 0 || width > kMaxBitmapSide || height > kMaxBitmapSide ||
        width * height > kMaxBitmapPixels) {
        error.sizeRejected = true;
        ErrorExit(reinterpret_cast<j_common_ptr>(&info));
    }
    const bool cmyk = info.jpeg_color_space == JCS_CMYK || info.jpeg_color_space == JCS_YCCK;
    info.out_color_space = cmyk ? JCS_CMYK : info.num_components == 1 ? JCS_GRAYSCALE : JCS_RGB;
    jpeg_start_decompress(&info);
    const int components = info.output_components;
    JSAMPARRAY row = (*info.mem->alloc_sarray)(reinterpret_cast<j_common_ptr>(&info), JPOOL_IMAGE,
                                               info.output_width * components, 1);
    picture.Width = static_cast<int>(info.output_width);
    picture.Height = static_cast<int>(info.output_height);
    picture.Pixels.reset(new (std::nothrow) TColor32[size_t(picture.Width) * picture.Height]);
    if (!picture.Pixels) ErrorExit(reinterpret_cast<j_common_ptr>(&info));
    while (info.output_scanline < info.output_height) {
        TColor32* dst = picture.Pixels.get() + size_t(info.output_scanline) * picture.Width;
        jpeg_read_scanlines(&info, row, 1);
        const JSAMPLE* p = row[0];
        for (int x = 0; x < picture.Width; ++x, p += components) {
            if (components == 1) dst[x] = TColor32(p[0]) * 0x010101u;
            else if (cmyk) dst[x] = FromCmyk(p);
            else dst[x] = TColor32(p[0]) << 16 | p[1] << 8 | p[2];
        }
    }
    jpeg_finish_decompress(&info);
    jpeg_destroy_decompress(&info);
    return true;
}

}  // namespace

TPicture DecodeJpeg(const uint8_t* data, size_t size) {
    TPicture picture;
    bool sizeRejected = false;
    if (!Decompress(data, size, picture, sizeRejected)) {
        if (sizeRejected) CheckPictureSize(0, 0);
        throw Error(kInvalidPictureMessage);
    }
    return picture;
}

}  // namespace zub
