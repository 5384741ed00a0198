// The pictures are decoded with libjpeg's defaults: no colour quantizing and
// fancy upsampling. The decoder's set-up still names the quantizers and the
// merged upsampler, which would bring some 19 KB of code into the installer
// that never runs. These stand-ins take their place at link time; should a
// decode ever ask for one, it fails as a decoder built without it would.

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

}  // namespace

extern "C" {
void jinit_1pass_quantizer(j_decompress_ptr info) { NotBuiltIn(info); }
void jinit_2pass_quantizer(j_decompress_ptr info) { NotBuiltIn(info); }
void jinit_merged_upsampler(j_decompress_ptr info) { NotBuiltIn(info); }
}
