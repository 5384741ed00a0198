#include "ui/win32/label.h"

#include <algorithm>
#include <cstring>
#include <string>

namespace velmoran::ui::win32 {
namespace {

constexpr UINT kFrameMilliseconds = 20;  // no screen shows more than one text a frame
constexpr UINT_PTR kFrameTimer = 0x7E1;

struct FramedText {
    WNDPROC control;  // the static control's own procedure
    std::string text;
    bool framing = false;        // the frame timer runs
    bool redrawPending = false;  // a text came since the control was last given one
};

void PassOn(HWND window, const FramedText& held) {
    CallWindowProcA(held.control, window, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(held.text.c_str()));
}

// A first text is passed on at once and starts the frame timer; texts that come
// while it runs are passed on at its next tick, and a tick with nothing new stops it.
void TakeText(HWND window, FramedText& held, const char* text) {
    held.text = text ? text : "";
    if (held.framing) {
        held.redrawPending = true;
        return;
    }
    PassOn(window, held);
    held.framing = SetTimer(window, kFrameTimer, kFrameMilliseconds, nullptr) != 0;
}

void FrameTick(HWND window, FramedText& held) {
    if (held.redrawPending) {
        held.redrawPending = false;
        PassOn(window, held);
    } else {
        KillTimer(window, kFrameTimer);
        held.framing = false;
    }
}

LRESULT CopyText(const std::string& text, WPARAM capacity, char* buffer) {
    if (capacity == 0 || !buffer) return 0;
    const std::size_t length = std::min<std::size_t>(text.size(), capacity - 1);
    std::memcpy(buffer, text.data(), length);
    buffer[length] = '\0';
    return static_cast<LRESULT>(length);
}

LRESULT CALLBACK FramedTextProc(HWND window, UINT message, WPARAM w, LPARAM l) {
    // The user data word, not a window property: reading a property is a round
    // trip to the window system under Wine, once per file again.
    auto* held = reinterpret_cast<FramedText*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    const WNDPROC control = held->control;
    switch (message) {
        case WM_SETTEXT:
            TakeText(window, *held, reinterpret_cast<const char*>(l));
            return TRUE;
        case WM_GETTEXT:
            return CopyText(held->text, w, reinterpret_cast<char*>(l));
        case WM_GETTEXTLENGTH:
            return static_cast<LRESULT>(held->text.size());
        case WM_TIMER:
            if (w != kFrameTimer) break;
            FrameTick(window, *held);
            return 0;
        case WM_NCDESTROY:
            SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(control));
            SetWindowLongPtrA(window, GWLP_USERDATA, 0);
            delete held;
            break;
    }
    return CallWindowProcA(control, window, message, w, l);
}

}  // namespace

void HoldTextToFrames(HWND label) {
    const int length = GetWindowTextLengthA(label);
    std::string text(static_cast<std::size_t>(length) + 1, '\0');
    text.resize(static_cast<std::size_t>(GetWindowTextA(label, text.data(), length + 1)));
    auto* held = new FramedText{reinterpret_cast<WNDPROC>(GetWindowLongPtrA(label, GWLP_WNDPROC)), std::move(text)};
    SetWindowLongPtrA(label, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(held));
    SetWindowLongPtrA(label, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(FramedTextProc));
}

}  // namespace velmoran::ui::win32
