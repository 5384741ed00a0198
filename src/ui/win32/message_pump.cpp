#include "ui/win32/message_pump.h"

namespace velmoran::ui::win32 {

void MessagePump::Run() {
    MSG message;
    while (!ended_ && GetMessageA(&message, nullptr, 0, 0) > 0) Dispatch(message);
}

void MessagePump::Dispatch(const MSG& message) {
    const bool key = message.message == WM_KEYDOWN || message.message == WM_SYSKEYDOWN;
    if (key && keyFilter_ && keyFilter_->TakeKey(message)) return;
    TranslateMessage(&message);
    DispatchMessageA(&message);
}

void MessagePump::KeepResponsive() {
    // A run asks after each unit of work. Asking the queue costs far less than
    // an empty PeekMessage does under some window systems (Wine: two server
    // round trips and a surface flush); the queue is still emptied at least
    // every 100 ms, so the system never takes the window for a hung one. The
    // mask leaves out touch and pointer input, which Windows 7 refuses to be
    // asked about (the 100 ms emptying takes them in).
    constexpr UINT kQueueMask = QS_KEY | QS_MOUSE | QS_HOTKEY | QS_RAWINPUT | QS_POSTMESSAGE | QS_TIMER | QS_PAINT |
                                QS_SENDMESSAGE;
    const DWORD now = GetTickCount();
    if (HIWORD(GetQueueStatus(kQueueMask)) == 0 && now - lastEmptied_ < 100) return;
    lastEmptied_ = now;
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT) {
            ended_ = true;
            continue;
        }
        Dispatch(message);
    }
}

void MessagePump::Quit() {
    ended_ = true;
    PostQuitMessage(0);
}

}  // namespace velmoran::ui::win32
