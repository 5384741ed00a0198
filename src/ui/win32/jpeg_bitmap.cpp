#include <csetjmp>
#include <cstdio>
#include <cstring>

#include "common/failure.h"
#include "payload/payload_reader.h"
#include "ui/win32/pictures.h"

extern "C" {
#include <jpeglib.h>
}

namespace velmoran::ui::win32 {
namespace {

// libjpeg reports errors through a callback that must not return; C code
// cannot be unwound by an exception, so it jumps back instead.
struct ErrorManager {
    jpeg_error_mgr base;
    std::jmp_buf recover;
};

extern "C" void JumpBack(j_common_ptr info) {
    std::longjmp(reinterpret_cast<ErrorManager*>(info->err)->recover, 1);
}

extern "C" void Silent(j_common_ptr) {}
extern "C" void NoWarning(j_common_ptr, int) {}
extern "C" void NoText(j_common_ptr, char* buffer) { buffer[0] = '\0'; }

// A picture that fails is left out, and libjpeg's texts are never shown: its
// table of them (and the standard manager that brings it in) stays out of the
// installer.
void SilentErrors(jpeg_error_mgr& errors) {
    std::memset(&errors, 0, sizeof errors);
    errors.error_exit = JumpBack;
    errors.emit_message = NoWarning;
    errors.output_message = Silent;
    errors.format_message = NoText;
    errors.reset_error_mgr = Silent;
}

// The least reduction libjpeg offers (1/1, 1/2, 1/4, 1/8) that brings the
// picture within twice the size it is shown at; 1/8 at most.
unsigned ScaleDenominator(const jpeg_decompress_struct& info, SIZE shownAt) {
    const unsigned wide = 2u * static_cast<unsigned>(shownAt.cx), high = 2u * static_cast<unsigned>(shownAt.cy);
    unsigned denominator = 1;
    while (denominator < 8 && ((info.image_width + denominator - 1) / denominator > wide ||
                               (info.image_height + denominator - 1) / denominator > high))
        denominator *= 2;
    return denominator;
}

// Fills `pixels` (32-bit BGRx, top-down) or returns false.
bool Decode(const Bytes& jpeg, SIZE shownAt, jpeg_decompress_struct& info, ErrorManager& errors, Bitmap& bitmap,
            SIZE& size) {
    if (setjmp(errors.recover)) return false;
    jpeg_create_decompress(&info);
    jpeg_mem_src(&info, jpeg.data(), static_cast<unsigned long>(jpeg.size()));
    if (jpeg_read_header(&info, TRUE) != JPEG_HEADER_OK) return false;
    // The declared size decides the memory the decoder asks for: checked first.
    if (info.image_width > payload::kMaxPictureSide || info.image_height > payload::kMaxPictureSide) return false;
    info.scale_num = 1;
    info.scale_denom = ScaleDenominator(info, shownAt);
    info.out_color_space = JCS_EXT_BGRX;
    jpeg_start_decompress(&info);
    void* bits = nullptr;
    bitmap = Bitmap(CreateCanvasBitmap(static_cast<int>(info.output_width), static_cast<int>(info.output_height), &bits));
    if (!bitmap.Get()) return false;
    const std::size_t stride = info.output_width * 4;
    while (info.output_scanline < info.output_height) {
        JSAMPROW row = static_cast<JSAMPROW>(bits) + stride * info.output_scanline;
        jpeg_read_scanlines(&info, &row, 1);
    }
    jpeg_finish_decompress(&info);
    size.cx = static_cast<LONG>(info.output_width);
    size.cy = static_cast<LONG>(info.output_height);
    return true;
}

}  // namespace

Bitmap DecodeJpeg(const Bytes& jpeg, SIZE shownAt, SIZE& size) {
    jpeg_decompress_struct info;
    std::memset(&info, 0, sizeof info);
    ErrorManager errors;
    SilentErrors(errors.base);
    info.err = &errors.base;
    Bitmap bitmap;
    const bool decoded = Decode(jpeg, shownAt, info, errors, bitmap, size);
    jpeg_destroy_decompress(&info);
    if (!decoded) throw Failure("JPEG error");
    return bitmap;
}

}  // namespace velmoran::ui::win32
