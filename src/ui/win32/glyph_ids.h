#pragma once
// The page buttons' glyphs, by index, as the control table names them.

namespace velmoran::ui::win32 {

enum Glyph { kGlyphNext = 0, kGlyphGo = 1, kGlyphExit = 2, kGlyphOk = 3, kGlyphCount = 4 };
// The glyphs' side at 96 DPI.
inline constexpr int kGlyphSize = 32;

}  // namespace velmoran::ui::win32
