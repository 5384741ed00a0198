#include "ui/win32/controls.h"

#include <memory>

#include "ui/win32/control_ids.h"
#include "ui/win32/pictures.h"
#include "ui/win32/window_class.h"

namespace velmoran::ui::win32 {
namespace {

template <typename State>
State* StateOf(HWND window) {
    return reinterpret_cast<State*>(GetWindowLongPtrA(window, GWLP_USERDATA));
}

template <typename State>
void Release(HWND window) {
    delete StateOf<State>(window);
    SetWindowLongPtrA(window, GWLP_USERDATA, 0);
}

LRESULT CALLBACK PanelProc(HWND window, UINT message, WPARAM w, LPARAM l) {
    switch (message) {
        case WM_ERASEBKGND: {
            RECT client;
            GetClientRect(window, &client);
            const PanelLook* look = StateOf<PanelLook>(window);
            Brush fill(CreateSolidBrush(look ? look->background : GetSysColor(COLOR_BTNFACE)));
            FillRect(reinterpret_cast<HDC>(w), &client, fill.Get());
            return 1;
        }
        case WM_PAINT: {
            PaintScope paint(window);
            if (const PanelLook* look = StateOf<PanelLook>(window)) {
                for (const BevelSpec& bevel : look->bevels) DrawBevel(paint.Get(), bevel.rect, bevel.raised);
                if (look->lowered) {
                    RECT client;
                    GetClientRect(window, &client);
                    DrawBevel(paint.Get(), client, false);
                }
            }
            return 0;
        }
        // Children's notifications belong to the form, which owns the handlers.
        case WM_COMMAND:
        case WM_DRAWITEM:
        case WM_MEASUREITEM:
        case WM_VKEYTOITEM:
        case WM_CTLCOLORSTATIC:
        case WM_CTLCOLORBTN:
        case WM_CTLCOLOREDIT:
        case WM_CTLCOLORLISTBOX:
            return SendMessageA(GetAncestor(window, GA_ROOT), message, w, l);
        case WM_NCDESTROY:
            Release<PanelLook>(window);
            break;
    }
    return DefWindowProcA(window, message, w, l);
}

struct Picture {
    Bitmap bitmap;
    SIZE size{};
    bool stretch = false;
    COLORREF background = 0;
};

struct GaugeState {
    GaugeModel model;
    HFONT font = nullptr;
};

LRESULT CALLBACK PictureProc(HWND window, UINT message, WPARAM w, LPARAM l) {
    switch (message) {
        case WM_CREATE: {
            // The background shows until a picture arrives; it comes as the creation parameter.
            auto* picture = new Picture();
            picture->background = static_cast<COLORREF>(
                reinterpret_cast<UINT_PTR>(reinterpret_cast<const CREATESTRUCTA*>(l)->lpCreateParams));
            SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(picture));
            return 0;
        }
        case WM_ERASEBKGND:
            return 1;
        case WM_PAINT: {
            PaintScope paint(window);
            RECT client;
            GetClientRect(window, &client);
            const Picture* picture = StateOf<Picture>(window);
            Brush fill(CreateSolidBrush(picture->background));
            FillRect(paint.Get(), &client, fill.Get());
            if (!picture->bitmap.Get()) return 0;
            MemoryCanvas source(paint.Get(), picture->bitmap.Get());
            if (picture->stretch) {
                SetStretchBltMode(paint.Get(), HALFTONE);
                SetBrushOrgEx(paint.Get(), 0, 0, nullptr);
                StretchBlt(paint.Get(), 0, 0, client.right, client.bottom, source.Get(), 0, 0, picture->size.cx,
                           picture->size.cy, SRCCOPY);
            } else {
                BitBlt(paint.Get(), 0, 0, picture->size.cx, picture->size.cy, source.Get(), 0, 0, SRCCOPY);
            }
            return 0;
        }
        case WM_NCDESTROY:
            Release<Picture>(window);
            break;
    }
    return DefWindowProcA(window, message, w, l);
}

// Background, a bar from the bottom, a black frame, and the percentage in the
// inverse of whatever lies beneath each of its pixels.
void PaintGauge(HWND window, HDC target) {
    const GaugeModel& model = GaugeOf(window);
    RECT client;
    GetClientRect(window, &client);
    const int width = client.right, height = client.bottom;
    Bitmap canvasBitmap(CreateCanvasBitmap(width, height));
    MemoryCanvas canvas(target, canvasBitmap.Get());
    HDC dc = canvas.Get();

    Brush face(CreateSolidBrush(GetSysColor(COLOR_BTNFACE)));
    FillRect(dc, &client, face.Get());
    RECT inner = {1, 1, width - 1, height - 1};
    const int bar = model.BarHeight(inner.bottom - inner.top);
    RECT filled = {inner.left, inner.bottom - bar, inner.right, inner.bottom};
    Brush blue(CreateSolidBrush(RGB(51, 160, 226)));
    FillRect(dc, &filled, blue.Get());
    FrameRect(dc, &client, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));

    char text[16];
    wsprintfA(text, "%d%%", model.Percent());
    Bitmap maskBitmap(CreateBitmap(width, height, 1, 1, nullptr));
    MemoryCanvas mask(target, maskBitmap.Get());
    PatBlt(mask.Get(), 0, 0, width, height, BLACKNESS);
    SetTextColor(mask.Get(), RGB(255, 255, 255));
    SetBkMode(mask.Get(), TRANSPARENT);
    Selection font(mask.Get(), StateOf<GaugeState>(window)->font);
    DrawTextA(mask.Get(), text, -1, &client, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    // Mask bits of 1 become white, 0 black: XOR inverts exactly the text.
    SetTextColor(dc, RGB(0, 0, 0));
    SetBkColor(dc, RGB(255, 255, 255));
    BitBlt(dc, 0, 0, width, height, mask.Get(), 0, 0, SRCINVERT);
    BitBlt(target, 0, 0, width, height, dc, 0, 0, SRCCOPY);
}

LRESULT CALLBACK GaugeProc(HWND window, UINT message, WPARAM w, LPARAM l) {
    switch (message) {
        case WM_CREATE:
            SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(new GaugeState()));
            return 0;
        case WM_SETFONT:
            StateOf<GaugeState>(window)->font = reinterpret_cast<HFONT>(w);
            return 0;
        case WM_GETFONT:
            return reinterpret_cast<LRESULT>(StateOf<GaugeState>(window)->font);
        case WM_ERASEBKGND:
            return 1;
        case WM_PAINT: {
            PaintScope paint(window);
            PaintGauge(window, paint.Get());
            return 0;
        }
        case kGaugeGetPercent:
            return GaugeOf(window).Percent();
        case WM_NCDESTROY:
            Release<GaugeState>(window);
            break;
    }
    return DefWindowProcA(window, message, w, l);
}

}  // namespace

void RegisterControlClasses(HINSTANCE instance) {
    RegisterWindowClass(instance, kPanelClass, PanelProc);
    RegisterWindowClass(instance, kPictureClass, PictureProc);
    RegisterWindowClass(instance, kGaugeClass, GaugeProc);
}

void SetPanelLook(HWND panel, PanelLook look) {
    delete StateOf<PanelLook>(panel);
    SetWindowLongPtrA(panel, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(new PanelLook(std::move(look))));
}

void SetPicture(HWND window, Bitmap bitmap, SIZE size, bool stretch) {
    Picture* picture = StateOf<Picture>(window);
    picture->bitmap = std::move(bitmap);
    picture->size = size;
    picture->stretch = stretch;
    InvalidateRect(window, nullptr, FALSE);
}

GaugeModel& GaugeOf(HWND gauge) { return StateOf<GaugeState>(gauge)->model; }

void SetGaugeMax(HWND gauge, int maximum) {
    const int before = GaugeOf(gauge).Percent();
    GaugeOf(gauge).SetMax(maximum);
    if (GaugeOf(gauge).Percent() != before) InvalidateRect(gauge, nullptr, FALSE);
}

void SetGaugeProgress(HWND gauge, long long progress) {
    if (GaugeOf(gauge).SetProgress(progress)) InvalidateRect(gauge, nullptr, FALSE);
}

void DrawSpeedButton(const DRAWITEMSTRUCT& item, HBITMAP glyph, HBITMAP greyedGlyph) {
    HDC dc = item.hDC;
    RECT r = item.rcItem;
    Brush face(CreateSolidBrush(GetSysColor(COLOR_BTNFACE)));
    FillRect(dc, &r, face.Get());
    const bool pressed = (item.itemState & ODS_SELECTED) != 0;
    // Flat until pressed; the glyph moves by a pixel as the button goes down.
    if (pressed) DrawBevel(dc, r, false);
    const int offset = pressed ? 1 : 0;
    const int x = (r.right - r.left - kGlyphSize) / 2 + offset;
    const int y = (r.bottom - r.top - kGlyphSize) / 2 + offset;
    MemoryCanvas source(dc, (item.itemState & ODS_DISABLED) ? greyedGlyph : glyph);
    BitBlt(dc, x, y, kGlyphSize, kGlyphSize, source.Get(), 0, 0, SRCCOPY);
}

}  // namespace velmoran::ui::win32
