// The stub's entry point: the installer and uninstaller in one program.

#include <cstdlib>

#include "platform/win32/own_file_source.h"
#include "platform/win32/system_library.h"
#include "platform/win32/win32_file_system.h"
#include "platform/win32/win32_registry.h"
#include "platform/win32/win32_shell.h"
#include "ui/win32/control_ids.h"
#include "ui/win32/frm_install.h"

namespace {

using namespace velmoran;

BOOL CALLBACK CloseForm(HWND window, LPARAM) {
    char name[32];
    if (GetClassNameA(window, name, sizeof name) && lstrcmpA(name, ui::win32::kFormClass) == 0)
        PostMessageA(window, WM_CLOSE, 0, 0);
    return TRUE;
}

// The application window carries the title the task bar shows, "Installer";
// closing it there asks the wizard window to close.
LRESULT CALLBACK ApplicationProc(HWND window, UINT message, WPARAM w, LPARAM l) {
    if (message == WM_CLOSE) {
        EnumThreadWindows(GetCurrentThreadId(), CloseForm, 0);
        return 0;
    }
    return DefWindowProcA(window, message, w, l);
}

HWND CreateApplicationWindow(HINSTANCE instance) {
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = ApplicationProc;
    windowClass.hInstance = instance;
    windowClass.lpszClassName = ui::win32::kApplicationClass;
    RegisterClassA(&windowClass);
    const int x = GetSystemMetrics(SM_CXSCREEN) / 2, y = GetSystemMetrics(SM_CYSCREEN) / 2;
    return CreateWindowExA(0, ui::win32::kApplicationClass, "Installer", WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX,
                           x, y, 0, 0, nullptr, nullptr, instance, nullptr);
}

}  // namespace

// An uncaught exception ends the program; the default handler would pull in a
// symbol demangler only to print the exception's type to a console it lacks.
namespace __gnu_cxx {
void __verbose_terminate_handler() { std::abort(); }
}  // namespace __gnu_cxx

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    platform::win32::RestrictDllSearchToSystemFolder();
    platform::win32::ComApartment apartment;
    HWND application = CreateApplicationWindow(instance);

    platform::win32::Win32FileSystem files;
    platform::win32::Win32Registry registry;
    platform::win32::Win32Shell shell;
    shell.SetOwner(application);
    platform::Platform platform{files, registry, shell};
    const std::string programPath = platform::win32::OwnProgramPath();
    platform::win32::OwnFileSource ownFile(programPath);
    {
        ui::win32::TfrmInstall form(instance, application, platform, ownFile, programPath);
        form.Run();
    }
    DestroyWindow(application);
    return 0;
}
