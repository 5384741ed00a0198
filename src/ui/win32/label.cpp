#include "ui/win32/label.h"

#include <algorithm>
#include <cstring>
#include <string>

#include "ui/win32/window.h"

namespace velmoran::ui::win32 {
namespace {

constexpr UINT kFrameMilliseconds = 20;  // no screen shows more than one text a frame
constexpr UINT_PTR kFrameTimer = 0x7E1;

LRESULT CopyText(const std::string& text, WPARAM capacity, char* buffer) {
    if (capacity == 0 || !buffer) return 0;
    const std::size_t length = std::min<std::size_t>(text.size(), capacity - 1);
    std::memcpy(buffer, text.data(), length);
    buffer[length] = '\0';
    return static_cast<LRESULT>(length);
}

// A static control that holds its newest text itself and passes texts on to
// the control's own painting at most once a frame.
class FramedText : public Window {
public:
    explicit FramedText(std::string text) : text_(std::move(text)) {}

private:
    LRESULT OnMessage(UINT message, WPARAM w, LPARAM l) override {
        switch (message) {
            case WM_SETTEXT:
                TakeText(reinterpret_cast<const char*>(l));
                return TRUE;
            case WM_GETTEXT:
                return CopyText(text_, w, reinterpret_cast<char*>(l));
            case WM_GETTEXTLENGTH:
                return static_cast<LRESULT>(text_.size());
            case WM_TIMER:
                if (w != kFrameTimer) break;
                FrameTick();
                return 0;
        }
        return Window::OnMessage(message, w, l);
    }
    void OnDestroyed() override { delete this; }

    void PassOn() { Default(WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text_.c_str())); }

    // A first text is passed on at once and starts the frame timer; texts that come
    // while it runs are passed on at its next tick, and a tick with nothing new stops it.
    void TakeText(const char* text) {
        text_ = text ? text : "";
        if (framing_) {
            redrawPending_ = true;
            return;
        }
        PassOn();
        framing_ = SetTimer(Handle(), kFrameTimer, kFrameMilliseconds, nullptr) != 0;
    }

    void FrameTick() {
        if (redrawPending_) {
            redrawPending_ = false;
            PassOn();
        } else {
            KillTimer(Handle(), kFrameTimer);
            framing_ = false;
        }
    }

    std::string text_;
    bool framing_ = false;        // the frame timer runs
    bool redrawPending_ = false;  // a text came since the control was last given one
};

}  // namespace

void HoldTextToFrames(HWND label) {
    const int length = GetWindowTextLengthA(label);
    std::string text(static_cast<std::size_t>(length) + 1, '\0');
    text.resize(static_cast<std::size_t>(GetWindowTextA(label, text.data(), length + 1)));
    (new FramedText(std::move(text)))->Subclass(label);
}

}  // namespace velmoran::ui::win32
