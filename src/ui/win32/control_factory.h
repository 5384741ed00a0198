#pragma once
// Makes the wizard's controls from their rows in the layout table: each kind
// of control is one row of window class and styles.

#include "ui/win32/layout.h"
#include "platform/win32/windows_api.h"

namespace velmoran::ui::win32 {

struct ControlFonts {
    HFONT normal;
    HFONT bold;
};

// The control `entry` describes, as a child of `parent`, in its font.
HWND CreateControl(const ControlSpec& entry, RECT place, HWND parent, HINSTANCE instance, ControlFonts fonts);

}  // namespace velmoran::ui::win32
