#include "ui/win32/window.h"

#include "common/failure.h"

namespace velmoran::ui::win32 {

HWND Window::Create(DWORD extendedStyle, const char* windowClass, const char* title, DWORD style, RECT place,
                    HWND parent, HINSTANCE instance) {
    return CreateWindowExA(extendedStyle, windowClass, title, style, place.left, place.top, place.right - place.left,
                           place.bottom - place.top, parent, nullptr, instance, this);
}

void Window::Attach(HWND window) {
    window_ = window;
    // The user data word, not a window property: reading a property is a round
    // trip to the window system under Wine, and some windows are asked often.
    SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
}

void Window::Subclass(HWND window) {
    Attach(window);
    previous_ = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&Window::Procedure)));
}

LRESULT CALLBACK Window::Procedure(HWND window, UINT message, WPARAM w, LPARAM l) {
    if (message == WM_NCCREATE && !GetWindowLongPtrA(window, GWLP_USERDATA)) {
        auto* created = static_cast<Window*>(reinterpret_cast<const CREATESTRUCTA*>(l)->lpCreateParams);
        if (created) created->Attach(window);
    }
    auto* object = reinterpret_cast<Window*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    if (!object) return DefWindowProcA(window, message, w, l);
    if (message != WM_NCDESTROY) return Dispatch(*object, message, w, l);
    const LRESULT result = object->Default(message, w, l);
    if (object->previous_) SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(object->previous_));
    SetWindowLongPtrA(window, GWLP_USERDATA, 0);
    object->window_ = nullptr;
    object->OnDestroyed();
    return result;
}

LRESULT Window::Dispatch(Window& object, UINT message, WPARAM w, LPARAM l) {
    try {
        return object.OnMessage(message, w, l);
    } catch (const std::exception& failure) {
        object.OnFailure(failure);
    } catch (...) {
        object.OnFailure(Failure("Error"));
    }
    return 0;
}

LRESULT Window::OnMessage(UINT message, WPARAM w, LPARAM l) {
    switch (message) {
        case WM_PAINT:
            if (OnPaint()) return 0;
            break;
        case WM_ERASEBKGND:
            if (OnEraseBackground(reinterpret_cast<HDC>(w))) return 1;
            break;
        case WM_COMMAND:
            if (OnCommand(LOWORD(w), HIWORD(w))) return 0;
            break;
        case WM_CLOSE:
            if (OnClose()) return 0;
            break;
    }
    return Default(message, w, l);
}

LRESULT Window::Default(UINT message, WPARAM w, LPARAM l) {
    return previous_ ? CallWindowProcA(previous_, window_, message, w, l) : DefWindowProcA(window_, message, w, l);
}

}  // namespace velmoran::ui::win32
