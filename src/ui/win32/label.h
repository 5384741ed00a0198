#pragma once
// The window's text labels: left-aligned text on the parent's background, like
// a static control, with SS_LEFT (wrapping), SS_LEFTNOWORDWRAP and SS_NOPREFIX
// taken from the style. The text lives in the label itself, and repaints are
// held to one a frame: the installation sets a label once per file, thousands
// of times a second, and a static control pays a window-system round trip and
// a full repaint for each.

#include <windows.h>

namespace velmoran::ui::win32 {

inline constexpr char kLabelClass[] = "VelmoranLabel";

LRESULT CALLBACK LabelProc(HWND window, UINT message, WPARAM w, LPARAM l);

}  // namespace velmoran::ui::win32
