#include <cstdint>

#include "ui/win32/pictures.h"

namespace velmoran::ui::win32 {
namespace {

struct Gradient {
    COLORREF top, bottom;
};

uint8_t Blend(int from, int to, int row, int size) { return static_cast<uint8_t>(from + (to - from) * row / (size - 1)); }

void FillGradient(uint32_t* pixels, Gradient g, int size) {
    for (int y = 0; y < size; ++y) {
        const uint32_t colour = (Blend(GetRValue(g.top), GetRValue(g.bottom), y, size) << 16) |
                                (Blend(GetGValue(g.top), GetGValue(g.bottom), y, size) << 8) |
                                Blend(GetBValue(g.top), GetBValue(g.bottom), y, size);
        for (int x = 0; x < size; ++x) pixels[y * size + x] = colour;
    }
}

// With a high-contrast theme on, the shapes take the theme's button text
// colour on its button face, so they show on black as on white.
bool HighContrast() {
    HIGHCONTRASTA contrast{sizeof contrast, 0, nullptr};
    return SystemParametersInfoA(SPI_GETHIGHCONTRAST, sizeof contrast, &contrast, 0) && (contrast.dwFlags & HCF_HIGHCONTRASTON);
}

COLORREF Ink() { return HighContrast() ? GetSysColor(COLOR_BTNTEXT) : RGB(0, 0, 0); }

void DrawTriangle(HDC dc) {
    const POINT points[] = {{11, 7}, {24, 16}, {11, 25}};
    Brush ink(CreateSolidBrush(Ink()));
    Selection brush(dc, ink.Get());
    Pen outline(CreatePen(PS_SOLID, 1, Ink()));
    Selection pen(dc, outline.Get());
    Polygon(dc, points, 3);
}

void DrawThickLines(HDC dc, const POINT* points, int count, int width) {
    Pen thick(CreatePen(PS_SOLID, width, Ink()));
    Selection pen(dc, thick.Get());
    Polyline(dc, points, count);
}

void DrawCrossInSquare(HDC dc) {
    Selection brush(dc, GetStockObject(NULL_BRUSH));
    Pen frame(CreatePen(PS_SOLID, 2, Ink()));
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
void Grey(uint32_t* pixels, int size) {
    const COLORREF face = GetSysColor(COLOR_BTNFACE);
    const int faceGrey = (GetRValue(face) * 30 + GetGValue(face) * 59 + GetBValue(face) * 11) / 100;
    for (int i = 0; i < size * size; ++i) {
        const uint32_t p = pixels[i];
        const int grey = (static_cast<int>((p >> 16) & 0xFF) * 30 + static_cast<int>((p >> 8) & 0xFF) * 59 +
                          static_cast<int>(p & 0xFF) * 11) / 100;
        const auto shown = static_cast<uint32_t>((grey + faceGrey) / 2);
        pixels[i] = (shown << 16) | (shown << 8) | shown;
    }
}

}  // namespace

Bitmap MakeGlyph(Glyph glyph, bool disabled, int size) {
    const Gradient grey{RGB(245, 245, 245), RGB(150, 150, 150)};
    const Gradient blue{RGB(190, 225, 255), RGB(30, 110, 205)};
    void* bits = nullptr;
    Bitmap bitmap(CreateCanvasBitmap(size, size, &bits));
    const COLORREF face = GetSysColor(COLOR_BTNFACE);
    FillGradient(static_cast<uint32_t*>(bits),
                 HighContrast() ? Gradient{face, face} : glyph == kGlyphGo || glyph == kGlyphOk ? blue : grey, size);
    HDC screen = GetDC(nullptr);
    {
        MemoryCanvas canvas(screen, bitmap.Get());
        // The shapes are drawn in 96-DPI coordinates, pen widths included: a
        // larger glyph is drawn larger, never stretched from the small one.
        if (size != kGlyphSize) {
            SetGraphicsMode(canvas.Get(), GM_ADVANCED);
            const float scale = static_cast<float>(size) / kGlyphSize;
            const XFORM transform{scale, 0, 0, scale, 0, 0};
            SetWorldTransform(canvas.Get(), &transform);
        }
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
    if (disabled) Grey(static_cast<uint32_t*>(bits), size);
    return bitmap;
}

}  // namespace velmoran::ui::win32
