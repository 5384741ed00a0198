#pragma once
// The one place the wizard's thread takes messages from its queue: the loop
// while the wizard waits for the user, and the look at the queue a long run
// asks for after each unit of work, throttled here and nowhere else.

#include "platform/win32/windows_api.h"

namespace velmoran::ui::win32 {

// Keys the window acts on before they reach the focused control: the moves and
// presses a dialog box knows (Tab, Enter, Esc).
class KeyFilter {
public:
    virtual ~KeyFilter() = default;
    // True: the key was taken, and goes no further.
    virtual bool TakeKey(const MSG& message) = 0;
};

class MessagePump {
public:
    void SetKeyFilter(KeyFilter* filter) { keyFilter_ = filter; }
    // Dispatches messages until the program is told to end.
    void Run();
    // Dispatches what waits, when something does or 100 ms have passed.
    void KeepResponsive();
    // Ends the loop (and the program's message handling) once the current message is handled.
    void Quit();
    bool Ended() const { return ended_; }

private:
    void Dispatch(const MSG& message);

    KeyFilter* keyFilter_ = nullptr;
    bool ended_ = false;
    DWORD lastEmptied_ = 0;  // GetTickCount of the last emptying of the queue
};

}  // namespace velmoran::ui::win32
