#include "ui/win32/label.h"

#include <algorithm>
#include <cstring>
#include <string>

#include "ui/win32/gdi.h"

namespace velmoran::ui::win32 {
namespace {

// No screen shows more than one text a frame.
constexpr DWORD kFrameMilliseconds = 20;
constexpr UINT_PTR kFrameTimer = 1;

struct LabelState {
    std::string text;
    HFONT font = nullptr;
    bool framing = false;        // the frame timer runs
    bool redrawPending = false;  // a text came since the last redraw
};

LabelState* StateOf(HWND window) { return reinterpret_cast<LabelState*>(GetWindowLongPtrA(window, GWLP_USERDATA)); }

void Redraw(HWND window, const LabelState& label) {
    // The window system keeps its own copy for other processes (accessibility
    // tools read it); brought up to date once a frame, not once a text.
    DefWindowProcA(window, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(label.text.c_str()));
    InvalidateRect(window, nullptr, FALSE);
}

// A first text is drawn at once and starts the frame timer; texts that come
// while it runs are drawn at its next tick, and a tick with nothing new stops it.
void RequestRedraw(HWND window, LabelState& label) {
    if (label.framing) {
        label.redrawPending = true;
        return;
    }
    Redraw(window, label);
    label.framing = SetTimer(window, kFrameTimer, kFrameMilliseconds, nullptr) != 0;
}

void FrameTick(HWND window, LabelState& label) {
    if (label.redrawPending) {
        label.redrawPending = false;
        Redraw(window, label);
    } else {
        KillTimer(window, kFrameTimer);
        label.framing = false;
    }
}

void Paint(HWND window, const LabelState& label) {
    PaintScope paint(window);
    HDC dc = paint.Get();
    RECT client;
    GetClientRect(window, &client);
    // The parent chooses the colours, as it does for a static control.
    auto* background = reinterpret_cast<HBRUSH>(
        SendMessageA(GetParent(window), WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(window)));
    FillRect(dc, &client, background ? background : GetSysColorBrush(COLOR_BTNFACE));
    SetBkMode(dc, TRANSPARENT);
    if (!IsWindowEnabled(window)) SetTextColor(dc, GetSysColor(COLOR_GRAYTEXT));
    const LONG style = GetWindowLongA(window, GWL_STYLE);
    const UINT format = DT_LEFT | DT_EXPANDTABS | ((style & SS_TYPEMASK) == SS_LEFTNOWORDWRAP ? 0 : DT_WORDBREAK) |
                        ((style & SS_NOPREFIX) ? DT_NOPREFIX : 0);
    Selection font(dc, label.font ? static_cast<HGDIOBJ>(label.font) : GetStockObject(SYSTEM_FONT));
    DrawTextA(dc, label.text.c_str(), static_cast<int>(label.text.size()), &client, format);
}

LRESULT CopyText(const std::string& text, WPARAM capacity, char* buffer) {
    if (capacity == 0 || !buffer) return 0;
    const std::size_t length = std::min<std::size_t>(text.size(), capacity - 1);
    std::memcpy(buffer, text.data(), length);
    buffer[length] = '\0';
    return static_cast<LRESULT>(length);
}

}  // namespace

LRESULT CALLBACK LabelProc(HWND window, UINT message, WPARAM w, LPARAM l) {
    if (message == WM_NCCREATE) {
        const char* text = reinterpret_cast<const CREATESTRUCTA*>(l)->lpszName;
        SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(new LabelState{text ? text : ""}));
    }
    LabelState* label = StateOf(window);
    if (!label) return DefWindowProcA(window, message, w, l);
    switch (message) {
        case WM_SETTEXT:
            label->text = l ? reinterpret_cast<const char*>(l) : "";
            RequestRedraw(window, *label);
            return TRUE;
        case WM_GETTEXT:
            return CopyText(label->text, w, reinterpret_cast<char*>(l));
        case WM_GETTEXTLENGTH:
            return static_cast<LRESULT>(label->text.size());
        case WM_TIMER:
            if (w != kFrameTimer) break;
            FrameTick(window, *label);
            return 0;
        case WM_SETFONT:
            label->font = reinterpret_cast<HFONT>(w);
            if (LOWORD(l)) InvalidateRect(window, nullptr, FALSE);
            return 0;
        case WM_GETFONT:
            return reinterpret_cast<LRESULT>(label->font);
        case WM_ENABLE:
            InvalidateRect(window, nullptr, FALSE);
            return 0;
        case WM_ERASEBKGND:
            return 1;  // painted whole in WM_PAINT
        case WM_PAINT:
            Paint(window, *label);
            return 0;
        case WM_NCHITTEST:
            return HTTRANSPARENT;  // clicks belong to what lies beneath, as with a static control
        case WM_NCDESTROY:
            delete label;
            SetWindowLongPtrA(window, GWLP_USERDATA, 0);
            break;
    }
    return DefWindowProcA(window, message, w, l);
}

}  // namespace velmoran::ui::win32
