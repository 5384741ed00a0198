#pragma once
// Owners of GDI objects and device contexts, released at the end of their scope.

#include "platform/win32/handles.h"

namespace velmoran::ui::win32 {

// GDI objects are released with DeleteObject; null means none.
template <typename Object>
struct GdiTraits {
    using Handle = Object;
    static Handle None() { return nullptr; }
    static void Release(Handle handle) { DeleteObject(handle); }
};

template <typename Object>
using GdiObject = platform::win32::UniqueHandle<GdiTraits<Object>>;

using Font = GdiObject<HFONT>;
using Bitmap = GdiObject<HBITMAP>;
using Brush = GdiObject<HBRUSH>;
using Pen = GdiObject<HPEN>;

// A memory device context compatible with `reference`, with a bitmap selected.
class MemoryCanvas {
public:
    MemoryCanvas(HDC reference, HBITMAP bitmap) : dc_(CreateCompatibleDC(reference)), old_(SelectObject(dc_, bitmap)) {}
    ~MemoryCanvas() {
        SelectObject(dc_, old_);
        DeleteDC(dc_);
    }
    MemoryCanvas(const MemoryCanvas&) = delete;
    MemoryCanvas& operator=(const MemoryCanvas&) = delete;
    HDC Get() const { return dc_; }

private:
    HDC dc_;
    HGDIOBJ old_;
};

// Selects an object into a DC for the length of a scope.
class Selection {
public:
    Selection(HDC dc, HGDIOBJ object) : dc_(dc), old_(SelectObject(dc, object)) {}
    ~Selection() { SelectObject(dc_, old_); }
    Selection(const Selection&) = delete;
    Selection& operator=(const Selection&) = delete;

private:
    HDC dc_;
    HGDIOBJ old_;
};

// BeginPaint and EndPaint around a WM_PAINT.
class PaintScope {
public:
    explicit PaintScope(HWND window) : window_(window) { dc_ = BeginPaint(window, &paint_); }
    ~PaintScope() { EndPaint(window_, &paint_); }
    PaintScope(const PaintScope&) = delete;
    PaintScope& operator=(const PaintScope&) = delete;
    HDC Get() const { return dc_; }

private:
    HWND window_;
    PAINTSTRUCT paint_;
    HDC dc_;
};

// A 32-bit top-down DIB section of the given size.
HBITMAP CreateCanvasBitmap(int width, int height, void** bits = nullptr);

// The raised or lowered frame of a bevel: highlight and shadow lines.
void DrawBevel(HDC dc, const RECT& rect, bool raised);

}  // namespace velmoran::ui::win32
