// The stub's entry point: the installer and uninstaller in one program.

#include <cstdlib>
#include <memory>

#include "platform/win32/local_text.h"
#include "platform/win32/own_file_source.h"
#include "platform/win32/system_library.h"
#include "platform/win32/win32_code_page.h"
#include "platform/win32/win32_file_system.h"
#include "platform/win32/win32_registry.h"
#include "platform/win32/win32_running_programs.h"
#include "platform/win32/win32_shell.h"
#include "ui/win32/control_ids.h"
#include "setup/command_line.h"
#include "setup/exit_codes.h"
#include "session/unattended_session.h"
#include "ui/install.h"
#include "ui/win32/frm_install.h"
#include "ui/win32/message_box.h"
#include "ui/win32/window.h"

namespace {

using namespace velmoran;

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
class ApplicationWindow : public ui::win32::Window {
public:
    HWND Open(HINSTANCE instance) {
        ui::win32::RegisterWindowClass(instance, ui::win32::kApplicationClass, &Window::Procedure,
                                       ui::win32::ClassIcon::Program);
        const int x = GetSystemMetrics(SM_CXSCREEN) / 2, y = GetSystemMetrics(SM_CYSCREEN) / 2;
        HWND window = Create(0, ui::win32::kApplicationClass, "Installer", WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX,
                             {x, y, x, y}, nullptr, instance);
        ShowWindow(window, SW_SHOWNOACTIVATE);
        return window;
    }
    ~ApplicationWindow() override {
        if (Handle()) DestroyWindow(Handle());
    }

private:
    bool OnClose() override {
        EnumThreadWindows(GetCurrentThreadId(), CloseForm, 0);
        return true;
    }
    LRESULT OnMessage(UINT message, WPARAM w, LPARAM l) override {
        if (message == WM_ACTIVATE && LOWORD(w) != WA_INACTIVE) {
            HWND front = GetLastActivePopup(Handle());
            if (front && front != Handle() && IsWindowEnabled(front)) SetActiveWindow(front);
            return 0;
        }
        return Window::OnMessage(message, w, l);
    }
};

// "/?" and usage errors: a box, or the setup log alone when boxes are suppressed.
int AnswerUsage(const setup::ParsedCommandLine& parsed, setup::SetupLog* log) {
    const bool error = !parsed.error.empty();
    const std::string text = error ? parsed.error + "\r\n\r\n" + setup::kUsageText : setup::kUsageText;
    if (log) log->Line((error ? "Error: " : "") + text);
    if (!parsed.options.suppressMessageBoxes) {
        // The stock font is made for the system's scale; so is the box.
        HDC screen = GetDC(nullptr);
        const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
        ReleaseDC(nullptr, screen);
        ui::win32::ShowMessageBox(nullptr, static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT)), dpi,
                                  error ? "Error" : "Information",
                                  error ? ui::win32::BoxIcon::Error : ui::win32::BoxIcon::Information, text,
                                  ui::MessageButtons::Ok);
    }
    return error ? setup::kExitCouldNotStart : setup::kExitDone;
}

int RunWizard(HINSTANCE instance, const setup::RunOptions& options, platform::Platform& platform,
              platform::win32::Win32Shell& shell, ByteSource& ownFile, const std::string& programPath,
              setup::SetupLog* log) {
    ApplicationWindow applicationWindow;
    HWND application = applicationWindow.Open(instance);
    // No desktop to show a window on (a service session, or no display at all):
    // nothing can be asked or shown, and the program ends saying so by its exit code.
    if (!application) {
        if (log) log->Line("Error: no window can be shown here; /S runs without one.");
        return setup::kExitCouldNotStart;
    }
    int exitCode = setup::kExitCouldNotStart;
    {
        ui::win32::TfrmInstall form(instance, application);
        ui::Install install(form, platform, ownFile, programPath, options, log);
        form.Connect(install);
        shell.SetOwner([&form] { return form.Handle(); });
        if (form.Run()) exitCode = install.ExitCode();
        shell.SetOwner(nullptr);
    }
    return exitCode;
}

int Run(HINSTANCE instance, const setup::ParsedCommandLine& parsed, platform::win32::Win32FileSystem& files,
        const std::string& programPath, setup::SetupLog* log) {
    if (!parsed.error.empty() || parsed.options.help) return AnswerUsage(parsed, log);
    platform::win32::Win32Registry registry;
    platform::win32::Win32Shell shell;
    platform::win32::Win32RunningPrograms programs;
    platform::win32::Win32CodePage codePage;
    platform::Platform platform{files, registry, shell, programs, codePage};
    platform::win32::OwnFileSource ownFile(programPath);
    if (parsed.options.quietness != setup::Quietness::VerySilent)
        return RunWizard(instance, parsed.options, platform, shell, ownFile, programPath, log);
    setup::InstallerState state;
    state.ownFile = &ownFile;
    state.programPath = programPath;
    return session::RunUnattended(state, parsed.options, platform, log);
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
    const setup::ParsedCommandLine parsed =
        setup::ParseCommandLine(setup::ArgumentsAfterProgramName(GetCommandLineA()));
    const std::string programPath = platform::win32::OwnProgramPath();
    platform::win32::Win32FileSystem files;
    std::unique_ptr<setup::SetupLog> log;
    if (parsed.options.writeLog) {
        log = std::make_unique<setup::SetupLog>(parsed.options.logFile, platform::win32::LocalTimeText,
                                                platform::win32::AnsiToUtf8);
        log->Line("Started: " + programPath);
        std::string seen = "Switches:";
        for (const std::string& argument : parsed.options.seen) seen += " " + argument;
        log->Line(seen);
    }
    const int exitCode = Run(instance, parsed, files, programPath, log.get());
    if (log) {
        log->Line("Exit code: " + std::to_string(exitCode));
        // A run that ended before naming its application still leaves its log.
        if (!log->IsOpen()) log->Open(files, "");
    }
    return exitCode;
}
