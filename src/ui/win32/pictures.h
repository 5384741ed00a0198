#pragma once
// The pictures the window draws: the four 32 x 32 button glyphs, and JPEGs
// from the payload decoded into bitmaps.

#include "common/byte_io.h"
#include "ui/win32/gdi.h"

namespace velmoran::ui::win32 {

enum Glyph { kGlyphNext = 0, kGlyphGo = 1, kGlyphExit = 2, kGlyphOk = 3, kGlyphCount = 4 };
inline constexpr int kGlyphSize = 32;

// A whole, opaque 32 x 32 glyph, its gradient background included.
Bitmap MakeGlyph(Glyph glyph);

// Decodes a JPEG into a bitmap; throws Failure when it is not a readable JPEG.
Bitmap DecodeJpeg(const Bytes& jpeg, SIZE& size);

}  // namespace velmoran::ui::win32
