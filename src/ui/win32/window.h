#pragma once
// A window whose messages reach a C++ object. One window procedure serves every
// window of this program: it keeps the object in the window's user data from
// the first message on, cracks the messages most windows answer into virtual
// handlers, and stops a failure a handler throws before it can unwind through
// the window system (OnFailure hears of it; the message is answered 0).
//
// The object comes to its window one of three ways: as the creation parameter
// (Create), made by the window itself (a class registered with
// RegisterOwnedClass<T>: T is made as the window is and deleted with it), or
// joined to a window that exists already, a system control or a dialog
// (Subclass: messages the object does not answer go on to the window's own
// procedure).

#include <exception>

#include "platform/win32/windows_api.h"
#include "ui/win32/window_class.h"

namespace velmoran::ui::win32 {

class Window {
public:
    Window() = default;
    virtual ~Window() = default;
    Window(const Window&) = delete;
    Window& operator=(const Window&) = delete;

    HWND Handle() const { return window_; }

    // Makes a window of a class registered with Procedure, this object its own.
    HWND Create(DWORD extendedStyle, const char* windowClass, const char* title, DWORD style, RECT place, HWND parent,
                HINSTANCE instance);
    // Joins this object to an existing window until the window is destroyed.
    void Subclass(HWND window);

    static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM w, LPARAM l);

protected:
    // Every message; the default cracks the ones below and passes the rest on.
    virtual LRESULT OnMessage(UINT message, WPARAM w, LPARAM l);
    virtual bool OnPaint() { return false; }  // true: painted (the handler begins and ends the painting)
    virtual bool OnEraseBackground(HDC dc) { (void)dc; return false; }  // true: erased
    virtual bool OnCommand(int id, int code) { (void)id; (void)code; return false; }
    virtual bool OnClose() { return false; }  // true: handled, the window stays
    // A handler threw; the message is answered 0.
    virtual void OnFailure(const std::exception& failure) { (void)failure; }
    // The window is gone; an object the window made deletes itself here.
    virtual void OnDestroyed() {}

    // The answer of the window's class (or of the control subclassed).
    LRESULT Default(UINT message, WPARAM w, LPARAM l);

private:
    template <typename T>
    friend LRESULT CALLBACK OwnedProcedure(HWND window, UINT message, WPARAM w, LPARAM l);
    static LRESULT Dispatch(Window& object, UINT message, WPARAM w, LPARAM l);
    void Attach(HWND window);

    HWND window_ = nullptr;
    WNDPROC previous_ = nullptr;  // the subclassed window's own procedure
};

// The procedure of a class whose every window owns a T, made from its
// CREATESTRUCT at WM_NCCREATE and deleted after WM_NCDESTROY. T's constructor
// only takes memory: when none is left, the program ends.
template <typename T>
LRESULT CALLBACK OwnedProcedure(HWND window, UINT message, WPARAM w, LPARAM l) {
    if (message == WM_NCCREATE) (new T(*reinterpret_cast<const CREATESTRUCTA*>(l)))->Attach(window);
    return Window::Procedure(window, message, w, l);
}

template <typename T>
void RegisterOwnedClass(HINSTANCE instance, const char* name) {
    RegisterWindowClass(instance, name, OwnedProcedure<T>);
}

// The object a window of this program carries; nothing for other windows.
template <typename T>
T* ObjectOf(HWND window) {
    return static_cast<T*>(reinterpret_cast<Window*>(GetWindowLongPtrA(window, GWLP_USERDATA)));
}

}  // namespace velmoran::ui::win32
