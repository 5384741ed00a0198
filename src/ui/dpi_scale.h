#pragma once
// The window's layout is written in pixels at 96 DPI; on a screen of another
// scale every place and size is multiplied by DPI / 96. Both edges of a
// rectangle are scaled and rounded (not its width), so rectangles that touch
// at 96 DPI touch at every scale, and ones apart never overlap.

namespace velmoran::ui {

inline constexpr int kDesignDpi = 96;

// `value` * dpi / 96, rounded to the nearest pixel (halves away from zero).
int Scaled(int value, int dpi);

struct ScaledRect {
    int left, top, right, bottom;
    int Width() const { return right - left; }
    int Height() const { return bottom - top; }
};

ScaledRect ScaledRectangle(int x, int y, int width, int height, int dpi);

}  // namespace velmoran::ui
