#pragma once
// The one way this program registers a window class: an arrow cursor, and the
// program's own icon for the windows the task bar shows.

#include "platform/win32/windows_api.h"

namespace velmoran::ui::win32 {

enum class ClassIcon { None, Program };

void RegisterWindowClass(HINSTANCE instance, const char* name, WNDPROC procedure, ClassIcon icon = ClassIcon::None);

}  // namespace velmoran::ui::win32
