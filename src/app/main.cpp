// The stub's entry point: the installer and uninstaller in one program.

#include <cstdlib>

#include "platform/win32/own_file_source.h"
#include "platform/win32/system_library.h"
#include "platform/win32/win32_file_system.h"
#include "platform/win32/win32_registry.h"
#include "platform/win32/win32_shell.h"
#include "ui/win32/control_ids.h"
#include "ui/win32/frm_install.h"
#include "common/stub_resource_ids.h"

namespace {

using namespace velmoran;

// The program could not start: there is no window to run the wizard in.
constexpr int kExitCouldNotStart = 1;

BOOL CALLBACK CloseForm(HWND window, LPARAM) {
    char name[32];
    if (GetClassNameA(window, name, sizeof name) && lstrcmpA(name, ui::win32::kFormClass) == 0)
        PostMessageA(window, WM_CLOSE, 0, 0);
    return TRUE;
}

// The application window is the one with the task-bar button, titled
// "Installer": visible but of no size, it owns the wizard window (which so has
// no button of its own). Closing it from the task bar asks the wizard window to
// close; activating it there brings the wizard (or its open box) to the front.
LRESULT CALLBACK ApplicationProc(HWND window, UINT message, WPARAM w, LPARAM l) {
    if (message == WM_CLOSE) {
        EnumThreadWindows(GetCurrentThreadId(), CloseForm, 0);
        return 0;
    }
    if (message == WM_ACTIVATE && LOWORD(w) != WA_INACTIVE) {
        HWND front = GetLastActivePopup(window);
        if (front && front != window && IsWindowEnabled(front)) SetActiveWindow(front);
        return 0;
    }
    return DefWindowProcA(window, message, w, l);
}

HWND CreateApplicationWindow(HINSTANCE instance) {
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = ApplicationProc;
    windowClass.hInstance = instance;
    windowClass.lpszClassName = ui::win32::kApplicationClass;
    windowClass.hIcon = LoadIconA(instance, MAKEINTRESOURCEA(VELMORAN_ICON_GROUP));
    RegisterClassA(&windowClass);
    const int x = GetSystemMetrics(SM_CXSCREEN) / 2, y = GetSystemMetrics(SM_CYSCREEN) / 2;
    HWND window = CreateWindowExA(0, ui::win32::kApplicationClass, "Installer",
                                  WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX, x, y, 0, 0, nullptr, nullptr,
                                  instance, nullptr);
    ShowWindow(window, SW_SHOWNOACTIVATE);
    return window;
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
    // No desktop to show a window on (a service session, or no display at all):
    // nothing can be asked or shown, and the program ends saying so by its exit code.
    if (!application) return kExitCouldNotStart;

    platform::win32::Win32FileSystem files;
    platform::win32::Win32Registry registry;
    platform::win32::Win32Shell shell;
    platform::Platform platform{files, registry, shell};
    const std::string programPath = platform::win32::OwnProgramPath();
    platform::win32::OwnFileSource ownFile(programPath);
    {
        ui::win32::TfrmInstall form(instance, application, platform, ownFile, programPath);
        shell.SetOwner([&form] { return form.Window(); });
        const bool shown = form.Run();
        shell.SetOwner(nullptr);
        if (!shown) {
            DestroyWindow(application);
            return kExitCouldNotStart;
        }
    }
    DestroyWindow(application);
    return 0;
}
