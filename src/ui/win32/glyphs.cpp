#include <cstdint>

#include "ui/win32/pictures.h"

namespace velmoran::ui::win32 {
namespace {

struct Gradient {
    COLORREF top, bottom;
};

uint8_t Blend(int from, int to, int row) { return static_cast<uint8_t>(from + (to - from) * row / (kGlyphSize - 1)); }

void FillGradient(uint32_t* pixels, Gradient g) {
    for (int y = 0; y < kGlyphSize; ++y) {
        const uint32_t colour = (Blend(GetRValue(g.top), GetRValue(g.bottom), y) << 16) |
                                (Blend(GetGValue(g.top), GetGValue(g.bottom), y) << 8) |
                                Blend(GetBValue(g.top), GetBValue(g.bottom), y);
        for (int x = 0; x < kGlyphSize; ++x) pixels[y * kGlyphSize + x] = colour;
    }
}

void DrawTriangle(HDC dc) {
    const POINT points[] = {{11, 7}, {24, 16}, {11, 25}};
    Brush black(CreateSolidBrush(RGB(0, 0, 0)));
    Selection brush(dc, black.Get());
    Selection pen(dc, GetStockObject(BLACK_PEN));
    Polygon(dc, points, 3);
}

void DrawThickLines(HDC dc, const POINT* points, int count, int width) {
    Pen thick(CreatePen(PS_SOLID, width, RGB(0, 0, 0)));
    Selection pen(dc, thick.Get());
    Polyline(dc, points, count);
}

void DrawCrossInSquare(HDC dc) {
    Selection brush(dc, GetStockObject(NULL_BRUSH));
    Pen frame(CreatePen(PS_SOLID, 2, RGB(0, 0, 0)));
    {
        Selection pen(dc, frame.Get());
        Rectangle(dc, 7, 7, 26, 26);
    }
    const POINT down[] = {{11, 11}, {22, 22}};
    const POINT up[] = {{22, 11}, {11, 22}};
    DrawThickLines(dc, down, 2, 3);
    DrawThickLines(dc, up, 2, 3);
}

void DrawTick(HDC dc) {
    const POINT tick[] = {{8, 16}, {14, 23}, {25, 9}};
    DrawThickLines(dc, tick, 3, 4);
}

// A disabled button's look: colour taken out, and every pixel drawn halfway
// back towards the button face, so the shape is still seen but plainly inactive.
void Grey(uint32_t* pixels) {
    const COLORREF face = GetSysColor(COLOR_BTNFACE);
    const int faceGrey = (GetRValue(face) * 30 + GetGValue(face) * 59 + GetBValue(face) * 11) / 100;
    for (int i = 0; i < kGlyphSize * kGlyphSize; ++i) {
        const uint32_t p = pixels[i];
        const int grey = (static_cast<int>((p >> 16) & 0xFF) * 30 + static_cast<int>((p >> 8) & 0xFF) * 59 +
                          static_cast<int>(p & 0xFF) * 11) / 100;
        const auto shown = static_cast<uint32_t>((grey + faceGrey) / 2);
        pixels[i] = (shown << 16) | (shown << 8) | shown;
    }
}

}  // namespace

Bitmap MakeGlyph(Glyph glyph, bool disabled) {
    const Gradient grey{RGB(245, 245, 245), RGB(150, 150, 150)};
    const Gradient blue{RGB(190, 225, 255), RGB(30, 110, 205)};
    void* bits = nullptr;
    Bitmap bitmap(CreateCanvasBitmap(kGlyphSize, kGlyphSize, &bits));
    FillGradient(static_cast<uint32_t*>(bits), glyph == kGlyphGo || glyph == kGlyphOk ? blue : grey);
    HDC screen = GetDC(nullptr);
    {
        MemoryCanvas canvas(screen, bitmap.Get());
        switch (glyph) {
            case kGlyphNext:
            case kGlyphGo: DrawTriangle(canvas.Get()); break;
            case kGlyphExit: DrawCrossInSquare(canvas.Get()); break;
            case kGlyphOk:
            case kGlyphCount: DrawTick(canvas.Get()); break;
        }
    }
    ReleaseDC(nullptr, screen);
    GdiFlush();  // the drawing reaches the bits before they are read
    if (disabled) Grey(static_cast<uint32_t*>(bits));
    return bitmap;
}

}  // namespace velmoran::ui::win32
