#include "ui/win32/window_class.h"

#include "common/stub_resource_ids.h"

namespace velmoran::ui::win32 {

void RegisterWindowClass(HINSTANCE instance, const char* name, WNDPROC procedure, ClassIcon icon) {
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = procedure;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursor(nullptr, IDC_ARROW);
    if (icon == ClassIcon::Program) windowClass.hIcon = LoadIconA(instance, MAKEINTRESOURCEA(VELMORAN_ICON_GROUP));
    windowClass.lpszClassName = name;
    RegisterClassA(&windowClass);
}

}  // namespace velmoran::ui::win32
