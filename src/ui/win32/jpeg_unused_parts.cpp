// The pictures are decoded with libjpeg's defaults: no colour quantizing,
// fancy upsampling, the integer IDCT, and at most an eighth of their size. The
// decoder's set-up still names the quantizers, the merged upsampler, the other
// IDCTs and the IDCTs of the sizes no picture is scaled to, which would bring
// some 35 KB of code into the installer that never runs. These stand-ins take
// their place at link time (the IDCTs through the linker's --wrap, since their
// file also holds the one that is used); should a decode ever ask for one, it
// fails as a decoder built without it would.

#include <cstdio>

extern "C" {
#include <jerror.h>
#include <jpeglib.h>
}

namespace {

void NotBuiltIn(j_decompress_ptr info) {
    info->err->msg_code = JERR_NOT_COMPILED;
    info->err->error_exit(reinterpret_cast<j_common_ptr>(info));
}

void NoIdct(j_decompress_ptr info, jpeg_component_info*, JCOEFPTR, JSAMPARRAY, JDIMENSION) { NotBuiltIn(info); }

}  // namespace

extern "C" {
void jinit_1pass_quantizer(j_decompress_ptr info) { NotBuiltIn(info); }
void jinit_2pass_quantizer(j_decompress_ptr info) { NotBuiltIn(info); }
void jinit_merged_upsampler(j_decompress_ptr info) { NotBuiltIn(info); }

// The list the stub's link options wrap; keep the two alike.
#define VELMORAN_NO_IDCT(name) \
    void __wrap_jpeg_idct_##name(j_decompress_ptr info, jpeg_component_info* component, JCOEFPTR coefficients, \
                                 JSAMPARRAY output, JDIMENSION column) {                                   \
        NoIdct(info, component, coefficients, output, column);                                             \
    }
VELMORAN_NO_IDCT(float)
VELMORAN_NO_IDCT(ifast)
VELMORAN_NO_IDCT(3x3)
VELMORAN_NO_IDCT(5x5)
VELMORAN_NO_IDCT(6x6)
VELMORAN_NO_IDCT(7x7)
VELMORAN_NO_IDCT(9x9)
VELMORAN_NO_IDCT(10x10)
VELMORAN_NO_IDCT(11x11)
VELMORAN_NO_IDCT(12x12)
VELMORAN_NO_IDCT(13x13)
VELMORAN_NO_IDCT(14x14)
VELMORAN_NO_IDCT(15x15)
VELMORAN_NO_IDCT(16x16)
#undef VELMORAN_NO_IDCT
}
