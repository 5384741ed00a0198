#include "ui/win32/controls.h"

#include <memory>

#include <oleacc.h>

#include "ui/win32/accessible_role.h"
#include "ui/win32/control_ids.h"
#include "ui/win32/pictures.h"
#include "ui/win32/window.h"

namespace velmoran::ui::win32 {
namespace {

class PanelWindow : public Window {
public:
    explicit PanelWindow(const CREATESTRUCTA&) {}
    PanelLook look{{}, GetSysColor(COLOR_BTNFACE), false};

private:
    LRESULT OnMessage(UINT message, WPARAM w, LPARAM l) override {
        switch (message) {
            // Children's notifications belong to the form, which owns the handlers.
            case WM_COMMAND:
            case WM_DRAWITEM:
            case WM_MEASUREITEM:
            case WM_VKEYTOITEM:
            case WM_CTLCOLORSTATIC:
            case WM_CTLCOLORBTN:
            case WM_CTLCOLOREDIT:
            case WM_CTLCOLORLISTBOX:
                return SendMessageA(GetAncestor(Handle(), GA_ROOT), message, w, l);
        }
        return Window::OnMessage(message, w, l);
    }
    bool OnEraseBackground(HDC dc) override {
        RECT client;
        GetClientRect(Handle(), &client);
        Brush fill(CreateSolidBrush(look.background));
        FillRect(dc, &client, fill.Get());
        return true;
    }
    bool OnPaint() override {
        PaintScope paint(Handle());
        for (const BevelSpec& bevel : look.bevels) DrawBevel(paint.Get(), bevel.rect, bevel.raised);
        if (look.lowered) {
            RECT client;
            GetClientRect(Handle(), &client);
            DrawBevel(paint.Get(), client, false);
        }
        return true;
    }
    void OnDestroyed() override { delete this; }
};

class PictureWindow : public Window {
public:
    // The background shows until a picture arrives; it comes as the creation parameter.
    explicit PictureWindow(const CREATESTRUCTA& creation)
        : background(static_cast<COLORREF>(reinterpret_cast<UINT_PTR>(creation.lpCreateParams))) {}
    Bitmap bitmap;
    SIZE size{};
    bool stretch = false;
    COLORREF background = 0;

private:
    // A graphic, named by its window text (the application's name).
    LRESULT OnMessage(UINT message, WPARAM w, LPARAM l) override {
        if (message == WM_GETOBJECT)
            if (const LRESULT object = AnswerAccessibleObject(Handle(), w, l, {ROLE_SYSTEM_GRAPHIC, nullptr})) return object;
        return Window::OnMessage(message, w, l);
    }
    bool OnEraseBackground(HDC) override { return true; }
    bool OnPaint() override {
        PaintScope paint(Handle());
        RECT client;
        GetClientRect(Handle(), &client);
        Brush fill(CreateSolidBrush(background));
        FillRect(paint.Get(), &client, fill.Get());
        if (!bitmap.Get()) return true;
        MemoryCanvas source(paint.Get(), bitmap.Get());
        if (stretch) {
            SetStretchBltMode(paint.Get(), HALFTONE);
            SetBrushOrgEx(paint.Get(), 0, 0, nullptr);
            StretchBlt(paint.Get(), 0, 0, client.right, client.bottom, source.Get(), 0, 0, size.cx, size.cy, SRCCOPY);
        } else {
            BitBlt(paint.Get(), 0, 0, size.cx, size.cy, source.Get(), 0, 0, SRCCOPY);
        }
        return true;
    }
    void OnDestroyed() override { delete this; }
};

// Background, a bar from the bottom, a black frame, and the percentage in the
// inverse of whatever lies beneath each of its pixels.
void PaintGauge(HWND window, HDC target, const GaugeModel& model, HFONT textFont) {
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
    Selection font(mask.Get(), textFont);
    DrawTextA(mask.Get(), text, -1, &client, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    // Mask bits of 1 become white, 0 black: XOR inverts exactly the text.
    SetTextColor(dc, RGB(0, 0, 0));
    SetBkColor(dc, RGB(255, 255, 255));
    BitBlt(dc, 0, 0, width, height, mask.Get(), 0, 0, SRCINVERT);
    BitBlt(target, 0, 0, width, height, dc, 0, 0, SRCCOPY);
}

class GaugeWindow;
int PercentOf(HWND gauge);

class GaugeWindow : public Window {
public:
    explicit GaugeWindow(const CREATESTRUCTA&) {}
    GaugeModel model;

private:
    LRESULT OnMessage(UINT message, WPARAM w, LPARAM l) override {
        switch (message) {
            case WM_SETFONT:
                font_ = reinterpret_cast<HFONT>(w);
                return 0;
            case WM_GETFONT:
                return reinterpret_cast<LRESULT>(font_);
            case kGaugeGetPercent:
                return model.Percent();
            case WM_GETOBJECT:
                if (const LRESULT object = AnswerAccessibleObject(Handle(), w, l, {ROLE_SYSTEM_PROGRESSBAR, &PercentOf}))
                    return object;
                break;
        }
        return Window::OnMessage(message, w, l);
    }
    bool OnEraseBackground(HDC) override { return true; }
    bool OnPaint() override {
        PaintScope paint(Handle());
        PaintGauge(Handle(), paint.Get(), model, font_);
        return true;
    }
    void OnDestroyed() override { delete this; }

    HFONT font_ = nullptr;
};

int PercentOf(HWND gauge) { return ObjectOf<GaugeWindow>(gauge)->model.Percent(); }

}  // namespace

void RegisterControlClasses(HINSTANCE instance) {
    RegisterOwnedClass<PanelWindow>(instance, kPanelClass);
    RegisterOwnedClass<PictureWindow>(instance, kPictureClass);
    RegisterOwnedClass<GaugeWindow>(instance, kGaugeClass);
}

void SetPanelLook(HWND panel, PanelLook look) {
    ObjectOf<PanelWindow>(panel)->look = std::move(look);
}

void SetPicture(HWND window, Bitmap bitmap, SIZE size, bool stretch) {
    PictureWindow* picture = ObjectOf<PictureWindow>(window);
    picture->bitmap = std::move(bitmap);
    picture->size = size;
    picture->stretch = stretch;
    InvalidateRect(window, nullptr, FALSE);
}

void SetPictureStretch(HWND window, bool stretch) {
    ObjectOf<PictureWindow>(window)->stretch = stretch;
    InvalidateRect(window, nullptr, FALSE);
}

GaugeModel& GaugeOf(HWND gauge) { return ObjectOf<GaugeWindow>(gauge)->model; }

void SetGaugeMax(HWND gauge, int maximum) {
    const int before = GaugeOf(gauge).Percent();
    GaugeOf(gauge).SetMax(maximum);
    if (GaugeOf(gauge).Percent() == before) return;
    InvalidateRect(gauge, nullptr, FALSE);
    NotifyValueChanged(gauge);
}

void SetGaugeProgress(HWND gauge, long long progress) {
    if (!GaugeOf(gauge).SetProgress(progress)) return;
    InvalidateRect(gauge, nullptr, FALSE);
    NotifyValueChanged(gauge);
}

void DrawSpeedButton(const DRAWITEMSTRUCT& item, HBITMAP glyph, HBITMAP greyedGlyph, bool focusCue) {
    HDC dc = item.hDC;
    RECT r = item.rcItem;
    Brush face(CreateSolidBrush(GetSysColor(COLOR_BTNFACE)));
    FillRect(dc, &r, face.Get());
    const bool pressed = (item.itemState & ODS_SELECTED) != 0;
    // Flat until pressed; the glyph moves by a pixel as the button goes down.
    if (pressed) DrawBevel(dc, r, false);
    const int offset = pressed ? 1 : 0;
    BITMAP shape{};
    GetObjectA(glyph, sizeof shape, &shape);  // drawn for the window's DPI
    const int side = shape.bmWidth;
    const int x = (r.right - r.left - side) / 2 + offset;
    const int y = (r.bottom - r.top - side) / 2 + offset;
    MemoryCanvas source(dc, (item.itemState & ODS_DISABLED) ? greyedGlyph : glyph);
    BitBlt(dc, x, y, side, side, source.Get(), 0, 0, SRCCOPY);
    if (focusCue && (item.itemState & ODS_FOCUS)) {
        RECT focus{r.left + 2, r.top + 2, r.right - 2, r.bottom - 2};
        SetTextColor(dc, GetSysColor(COLOR_BTNTEXT));
        SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
        DrawFocusRect(dc, &focus);
    }
}

}  // namespace velmoran::ui::win32
