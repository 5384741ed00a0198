#pragma once
// Text updates of a static control held to one a frame. The installation sets
// the file label once per file, thousands of times a second; a static control
// pays a window-system round trip to store each text and repaints at once. A
// label given to HoldTextToFrames keeps the newest text itself (WM_GETTEXT
// answers with it at once) and passes it on to the control, which stores and
// draws it, at most once every 20 ms. It stays a static control in every other
// respect, for accessibility tools as much as for drawing.

#include <windows.h>

namespace velmoran::ui::win32 {

void HoldTextToFrames(HWND label);

}  // namespace velmoran::ui::win32
