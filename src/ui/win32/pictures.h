#pragma once
// The pictures the window draws: the four 32 x 32 button glyphs, and JPEGs
// from the payload decoded into bitmaps.

#include "common/byte_io.h"
#include "ui/win32/gdi.h"
#include "ui/win32/glyph_ids.h"

namespace velmoran::ui::win32 {

// A whole, opaque glyph of `size` pixels a side (drawn for that size, not
// stretched), its gradient background included; greyed for a disabled button.
Bitmap MakeGlyph(Glyph glyph, bool disabled = false, int size = kGlyphSize);

// Decodes a JPEG into a bitmap, scaled down by libjpeg to no more than twice
// `shownAt` where it is larger; `size` receives the bitmap's size. Throws Failure
// when it is not a readable JPEG, or declares a side above kMaxPictureSide.
Bitmap DecodeJpeg(const Bytes& jpeg, SIZE shownAt, SIZE& size);

}  // namespace velmoran::ui::win32
