#pragma once
// What assistive technology (Narrator, NVDA, JAWS, UI Automation through its
// MSAA bridge) learns of the window classes of our own: the gauges are progress
// bars with their percentage, the pictures graphics named by their window text.
// A window answers WM_GETOBJECT for its client area with the system's standard
// object for it, its role and value replaced; everything else (name, place,
// state, navigation) is the standard object's.

#include <string>

#include "platform/win32/windows_api.h"

namespace velmoran::ui::win32 {

struct AccessibleLook {
    long role;          // ROLE_SYSTEM_*
    int (*percent)(HWND window);  // the value as "NN%"; nullptr: no value
};

// The answer to WM_GETOBJECT(w, l) for `window`, or 0 to let the system answer
// (another object asked for, or the accessibility library missing).
LRESULT AnswerAccessibleObject(HWND window, WPARAM w, LPARAM l, const AccessibleLook& look);

// Tells assistive technology that a window's value changed.
void NotifyValueChanged(HWND window);

}  // namespace velmoran::ui::win32
