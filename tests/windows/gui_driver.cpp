// Drives an installer's window from outside, as a person would, for the
// end-to-end tests and by hand:
//
//   gui_driver SCRIPT            one command per line ("#" starts a comment)
//   gui_driver - < SCRIPT
//
// Commands (NAME is a control name such as btnGoInstall or labInstallTo):
//   start PATH                   start an installer and wait for its window
//   start-short PATH             the same through the path's 8.3 form
//   start-device PATH            the same through its "\\?\" form
//   start-with PATH | ARGUMENTS  the same with a command line
//   exit-code N | PATH | ARGS    run another program to its end; its exit code must be N
//   page NAME                    wait until that page is the one showing
//   text NAME TEXT               wait until the control's text is TEXT
//   system-text NAME TEXT        the same for the window system's own copy of the text
//   print NAME                   print the control's text
//   click NAME                   click a button
//   key KEY                      press Tab, Shift+Tab, Enter, Esc, Space, Up, Down or Alt+F4
//                                through the system's input
//   focus NAME                   the control has the keyboard focus
//   size NAME WIDTH HEIGHT       the client area's size ("form": the wizard's)
//   accessible NAME ROLE [VALUE] its accessible role ("progressbar", "graphic") and value
//   type NAME TEXT               set an edit box's text (an empty TEXT clears it)
//   drive X:                     choose a drive in DriveComboBox1
//   open-folder NAME             open the directory list's row NAME
//   rows                         print the directory list's rows
//   shown-drive X:               the drive box shows X: and the directory list is not empty
//   gauge NAME PERCENT           wait until the gauge shows PERCENT
//   visible NAME yes|no          the control is (not) visible
//   enabled NAME yes|no          the control is (not) enabled
//   scrolls NAME yes|no          a page-down moves the control's text (or it cannot scroll)
//   box TITLE | TEXT | PRESS [| BUTTONS]
//                                wait for a message box; TEXT "*" matches any; PRESS is a
//                                button text, "close" (its close button), "esc" or "none" (keys answer it); BUTTONS
//                                lists the expected button texts, comma-separated
//   no-box                       no message box is open
//   close-window                 a close request to the wizard window from outside
//   close-from-taskbar           the task bar's Close: a close request to the application window
//   taskbar                      a visible, unowned window titled "Installer" (the one
//                                the task bar shows) owns the wizard window
//   tooltips-noprefix            every tool-tip window shows "&" as it is
//   shot NAME                    save a picture of the window as NAME.bmp, once it is idle
//   shot-now NAME                the same without waiting for it to be idle (during a run)
//   wait-exit                    wait for the installer to end
//   wait-gone EXE                wait until no process runs the program file named EXE
//   running yes|no               the installer is (not) still running
//   shortcut LINK | TARGET | DESCRIPTION | WORKING FOLDER
//                                a .lnk file holds exactly these
//   mark                         remember this moment
//   elapsed LABEL                print the seconds since the mark
//   peak-memory                  print the installer's peak memory use
//   sleep MS
// Each command waits up to 30 seconds; the first failure ends the script with exit code 1.
// A failure message is built after the check it reports, so it shows what was read.

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

#include "platform/win32/windows_api.h"

#include <oleacc.h>
#include "ui/win32/control_ids.h"

#include <commctrl.h>
#include <objidl.h>
#include <psapi.h>
#include <tlhelp32.h>
#include <shlobj.h>

namespace {

using namespace velmoran::ui::win32;

const DWORD kTimeoutMs = 30000;

struct ScriptFailure {
    std::string message;
};

PROCESS_INFORMATION g_process{};
LARGE_INTEGER g_mark{};
HWND g_form = nullptr;

std::string Trim(const std::string& text) {
    const auto first = text.find_first_not_of(" \t\r");
    if (first == std::string::npos) return std::string();
    return text.substr(first, text.find_last_not_of(" \t\r") - first + 1);
}

std::vector<std::string> SplitBars(const std::string& text) {
    std::vector<std::string> parts;
    std::size_t start = 0;
    for (;;) {
        const auto bar = text.find(" | ", start);
        parts.push_back(Trim(text.substr(start, bar == std::string::npos ? std::string::npos : bar - start)));
        if (bar == std::string::npos) return parts;
        start = bar + 3;
    }
}

template <typename Condition>
bool WaitFor(Condition condition, DWORD timeout = kTimeoutMs) {
    const DWORD start = GetTickCount();
    for (;;) {
        if (condition()) return true;
        if (GetTickCount() - start > timeout) return false;
        Sleep(5);
    }
}

std::string ClassOf(HWND window) {
    char name[64] = {};
    GetClassNameA(window, name, sizeof name);
    return name;
}

bool OwnedByInstaller(HWND window) {
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    return process == g_process.dwProcessId;
}

std::string TextOf(HWND window) {
    char buffer[4096] = {};
    DWORD_PTR ignored = 0;
    SendMessageTimeoutA(window, WM_GETTEXT, sizeof buffer, reinterpret_cast<LPARAM>(buffer), SMTO_ABORTIFHUNG, 5000,
                        &ignored);
    return buffer;
}

std::string SystemTextOf(HWND window) {
    wchar_t buffer[4096] = {};
    InternalGetWindowText(window, buffer, static_cast<int>(std::size(buffer)));
    char text[4096] = {};
    WideCharToMultiByte(CP_ACP, 0, buffer, -1, text, sizeof text, nullptr, nullptr);
    return text;
}

int IdOf(const std::string& name) {
    for (const ControlName& control : kControlNames)
        if (name == control.name) return control.id;
    throw ScriptFailure{"no control named " + name};
}

struct ChildSearch {
    int id;
    HWND found;
};

BOOL CALLBACK MatchChild(HWND window, LPARAM l) {
    auto* search = reinterpret_cast<ChildSearch*>(l);
    if (GetDlgCtrlID(window) == search->id) {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}

BOOL CALLBACK MatchForm(HWND window, LPARAM l);

HWND Control(const std::string& name) {
    if (!g_form && g_process.hProcess) WaitFor([] {
        EnumWindows(MatchForm, reinterpret_cast<LPARAM>(&g_form));
        return g_form != nullptr;
    });
    if (!g_form) throw ScriptFailure{"no installer window"};
    ChildSearch search{IdOf(name), nullptr};
    EnumChildWindows(g_form, MatchChild, reinterpret_cast<LPARAM>(&search));
    if (!search.found) throw ScriptFailure{"control " + name + " not found"};
    return search.found;
}

BOOL CALLBACK MatchForm(HWND window, LPARAM l) {
    if (OwnedByInstaller(window) && ClassOf(window) == kFormClass && IsWindowVisible(window)) {
        *reinterpret_cast<HWND*>(l) = window;
        return FALSE;
    }
    return TRUE;
}

BOOL CALLBACK MatchBox(HWND window, LPARAM l) {
    if (OwnedByInstaller(window) && ClassOf(window) == "#32770" && IsWindowVisible(window)) {
        *reinterpret_cast<HWND*>(l) = window;
        return FALSE;
    }
    return TRUE;
}

void Expect(bool condition, const std::string& message);

struct WindowSearch {
    const char* className;
    std::vector<HWND> found;
};

BOOL CALLBACK CollectByClass(HWND window, LPARAM l) {
    auto* search = reinterpret_cast<WindowSearch*>(l);
    if (OwnedByInstaller(window) && ClassOf(window) == search->className) search->found.push_back(window);
    return TRUE;
}

std::vector<HWND> InstallerWindows(const char* className) {
    WindowSearch search{className, {}};
    EnumWindows(CollectByClass, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

HWND ApplicationWindow() {
    const std::vector<HWND> windows = InstallerWindows(kApplicationClass);
    Expect(windows.size() == 1, "the installer has " + std::to_string(windows.size()) + " application windows");
    return windows[0];
}

// What gives a window a task-bar button: visible, unowned, no tool window.
void CheckTaskBar() {
    HWND application = ApplicationWindow();
    Expect(TextOf(application) == "Installer", "the application window is titled \"" + TextOf(application) + "\"");
    Expect(IsWindowVisible(application) != 0, "the application window is not visible");
    Expect(GetWindow(application, GW_OWNER) == nullptr, "the application window has an owner");
    Expect(!(GetWindowLongA(application, GWL_EXSTYLE) & WS_EX_TOOLWINDOW), "the application window is a tool window");
    Control("Panel1");  // waits for the wizard window
    Expect(GetWindow(g_form, GW_OWNER) == application,
           "the wizard window is not owned by the application window");
}

void CheckToolTips() {
    const std::vector<HWND> tips = InstallerWindows("tooltips_class32");
    Expect(!tips.empty(), "the installer has no tool-tip window");
    for (HWND tip : tips) Expect((GetWindowLongA(tip, GWL_STYLE) & TTS_NOPREFIX) != 0, "a tool-tip window lacks TTS_NOPREFIX");
}

HWND FindBox() {
    HWND box = nullptr;
    EnumWindows(MatchBox, reinterpret_cast<LPARAM>(&box));
    return box;
}

struct ButtonList {
    std::vector<std::pair<std::string, HWND>> buttons;
};

BOOL CALLBACK CollectButton(HWND window, LPARAM l) {
    if (ClassOf(window) == "Button") reinterpret_cast<ButtonList*>(l)->buttons.emplace_back(TextOf(window), window);
    return TRUE;
}

void PostClick(HWND control) {
    PostMessageA(GetParent(control), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(control), BN_CLICKED),
                 reinterpret_cast<LPARAM>(control));
}

bool IsCheckBox(HWND control) {
    char name[16] = {};
    GetClassNameA(control, name, sizeof name);
    const LONG type = GetWindowLongA(control, GWL_STYLE) & BS_TYPEMASK;
    return lstrcmpiA(name, "Button") == 0 &&
           (type == BS_CHECKBOX || type == BS_AUTOCHECKBOX || type == BS_3STATE || type == BS_AUTO3STATE);
}

LRESULT CheckState(HWND box) {
    DWORD_PTR state = 0;
    SendMessageTimeoutA(box, BM_GETCHECK, 0, 0, SMTO_ABORTIFHUNG, 5000, &state);
    return static_cast<LRESULT>(state);
}

void Expect(bool condition, const std::string& message) {
    if (!condition) throw ScriptFailure{message};
}

bool ProcessRuns(const std::string& exeName) {
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE) return false;
    PROCESSENTRY32 entry{};
    entry.dwSize = sizeof entry;
    bool found = false;
    for (BOOL more = Process32First(snapshot, &entry); more && !found; more = Process32Next(snapshot, &entry))
        found = lstrcmpiA(entry.szExeFile, exeName.c_str()) == 0;
    CloseHandle(snapshot);
    return found;
}

// Control texts and box texts may hold any byte; the log shows them readably.
std::string Escaped(const std::string& text) {
    std::string shown;
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte >= 32 && byte < 127) {
            shown += c;
        } else {
            char escape[8];
            std::snprintf(escape, sizeof escape, "\\x%02X", byte);
            shown += escape;
        }
    }
    return shown;
}

// A check box is clicked as a person clicks it, on the control itself, and
// must change its state; every other button reports its click to its parent.
void Click(HWND control) {
    if (!IsCheckBox(control)) return PostClick(control);
    const LRESULT before = CheckState(control);
    PostMessageA(control, BM_CLICK, 0, 0);
    Expect(WaitFor([&] { return CheckState(control) != before; }), "the check box did not change when clicked");
}

// Presses a key (with Shift or Alt held for "Shift+Tab", "Alt+F4") through the
// system's input, as a keyboard does: it reaches whatever has the focus.
void PressKey(const std::string& name) {
    static const std::pair<const char*, WORD> kKeys[] = {{"Tab", VK_TAB},      {"Enter", VK_RETURN}, {"Esc", VK_ESCAPE},
                                                         {"Space", VK_SPACE},  {"Down", VK_DOWN},    {"Up", VK_UP},
                                                         {"F4", VK_F4}};
    std::vector<WORD> held;
    std::string rest = name;
    for (const auto& [prefix, key] : {std::pair{"Shift+", WORD{VK_SHIFT}}, std::pair{"Alt+", WORD{VK_MENU}}})
        if (rest.rfind(prefix, 0) == 0) {
            held.push_back(key);
            rest = rest.substr(std::strlen(prefix));
        }
    WORD key = 0;
    for (const auto& [text, code] : kKeys)
        if (rest == text) key = code;
    if (!key) throw ScriptFailure{"unknown key " + name};
    std::vector<INPUT> inputs;
    const auto add = [&inputs](WORD code, bool up) {
        INPUT input{};
        input.type = INPUT_KEYBOARD;
        input.ki.wVk = code;
        input.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
        inputs.push_back(input);
    };
    for (WORD modifier : held) add(modifier, false);
    add(key, false);
    add(key, true);
    for (auto it = held.rbegin(); it != held.rend(); ++it) add(*it, true);
    SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
    Sleep(100);
}

// The control of the installer's thread that has the keyboard focus.
HWND FocusedControl() {
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    GetGUIThreadInfo(GetWindowThreadProcessId(g_form, nullptr), &info);
    return info.hwndFocus;
}

// What assistive technology reads of a control: its role (a number, or
// "progressbar" or "graphic") and value, through AccessibleObjectFromWindow.
void ExpectAccessible(HWND control, const std::string& role, const std::string& value) {
    static const HRESULT com = CoInitialize(nullptr);
    (void)com;
    IAccessible* object = nullptr;
    const HRESULT found =
        AccessibleObjectFromWindow(control, static_cast<DWORD>(OBJID_CLIENT), __uuidof(IAccessible), reinterpret_cast<void**>(&object));
    Expect(SUCCEEDED(found) && object, "no accessible object for the control");
    VARIANT self{};
    self.vt = VT_I4;
    self.lVal = CHILDID_SELF;
    VARIANT seenRole{};
    object->get_accRole(self, &seenRole);
    const long expectedRole = role == "progressbar" ? ROLE_SYSTEM_PROGRESSBAR : role == "graphic" ? ROLE_SYSTEM_GRAPHIC
                                                                                              : std::atol(role.c_str());
    BSTR seenValue = nullptr;
    object->get_accValue(self, &seenValue);
    char text[64] = {};
    if (seenValue) WideCharToMultiByte(CP_UTF8, 0, seenValue, -1, text, sizeof text, nullptr, nullptr);
    SysFreeString(seenValue);
    object->Release();
    Expect(seenRole.vt == VT_I4 && seenRole.lVal == expectedRole,
           "the accessible role is " + std::to_string(seenRole.lVal) + ", expected " + role);
    Expect(value.empty() || value == text, std::string("the accessible value is \"") + text + "\", expected " + value);
}

bool YesNo(const std::string& word) {
    if (word == "yes") return true;
    if (word == "no") return false;
    throw ScriptFailure{"expected yes or no, not " + word};
}

void Start(const std::string& path, const std::string& arguments = std::string()) {
    std::string command = "\"" + path + "\"" + (arguments.empty() ? "" : " " + arguments);
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    std::string folder = path.substr(0, path.find_last_of("\\/") + 1);
    const bool started = CreateProcessA(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr,
                                        folder.empty() ? nullptr : folder.c_str(), &startup, &g_process) != 0;
    Expect(started, "cannot start " + path + " (error " + std::to_string(GetLastError()) + ")");
    // Start-up runs before the window shows, so a box may come first.
    const bool appeared = WaitFor([] {
        g_form = nullptr;
        EnumWindows(MatchForm, reinterpret_cast<LPARAM>(&g_form));
        return g_form != nullptr || FindBox() != nullptr;
    });
    // Whether it still runs, and how it ended if not, tells a hang from a
    // failed start (a loader's status such as 0xC0000135 or a crash's 0xC0000005).
    DWORD code = 0;
    GetExitCodeProcess(g_process.hProcess, &code);
    char ending[64];
    std::snprintf(ending, sizeof ending, code == STILL_ACTIVE ? "it still runs" : "it ended with 0x%08lX",
                  static_cast<unsigned long>(code));
    Expect(appeared, std::string("neither the installer's window nor a message box appeared; ") + ending);
}

void Box(const std::string& arguments) {
    const std::vector<std::string> parts = SplitBars(arguments);
    Expect(parts.size() >= 3, "box needs TITLE | TEXT | PRESS");
    HWND box = nullptr;
    Expect(WaitFor([&] { return (box = FindBox()) != nullptr; }), "no message box appeared");
    Sleep(100);  // let the box finish laying itself out
    const std::string title = TextOf(box);
    HWND textControl = GetDlgItem(box, idBoxText);
    const std::string text = textControl ? TextOf(textControl) : std::string();
    std::printf("  box \"%s\": \"%s\"\n", title.c_str(), text.c_str());
    Expect(title == parts[0], "box title is \"" + title + "\", expected \"" + parts[0] + "\"");
    // A text ending in "*" is a prefix: the rest is the system's own wording.
    const bool prefix = !parts[1].empty() && parts[1].back() == '*';
    const std::string expected = prefix ? parts[1].substr(0, parts[1].size() - 1) : parts[1];
    Expect(prefix ? text.compare(0, expected.size(), expected) == 0 : text == expected,
           "box text is \"" + text + "\", expected \"" + parts[1] + "\"");
    ButtonList list;
    EnumChildWindows(box, CollectButton, reinterpret_cast<LPARAM>(&list));
    if (parts.size() > 3) {
        std::string names;
        for (const auto& button : list.buttons) names += (names.empty() ? "" : ",") + button.first;
        Expect(names == parts[3], "box buttons are " + names + ", expected " + parts[3]);
    }
    const std::string& press = parts[2];
    if (press == "none") return;  // the script answers it with keys
    if (press == "close") {
        PostMessageA(box, WM_SYSCOMMAND, SC_CLOSE, 0);
    } else if (press == "esc") {
        PostMessageA(box, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
    } else {
        bool pressed = false;
        for (const auto& button : list.buttons) {
            if (button.first != press) continue;
            PostMessageA(box, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(button.second), BN_CLICKED),
                         reinterpret_cast<LPARAM>(button.second));
            pressed = true;
        }
        Expect(pressed, "the box has no button \"" + press + "\"");
    }
    Expect(WaitFor([box] { return !IsWindow(box) || !IsWindowVisible(box); }), "the box did not close");
}

std::vector<std::string> ListRows(HWND list) {
    std::vector<std::string> rows;
    const LRESULT count = SendMessageA(list, LB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
        // Asked in UTF-16: across processes the list's strings come back wide.
        wchar_t wide[MAX_PATH] = {};
        char row[MAX_PATH] = {};
        if (SendMessageW(list, LB_GETTEXTLEN, static_cast<WPARAM>(i), 0) < MAX_PATH)
            SendMessageW(list, LB_GETTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(wide));
        WideCharToMultiByte(CP_ACP, 0, wide, -1, row, sizeof row, nullptr, nullptr);
        rows.push_back(row);
    }
    return rows;
}

void OpenFolder(const std::string& name) {
    HWND list = Control("DirectoryListBox1");
    const std::vector<std::string> rows = ListRows(list);
    for (std::size_t i = 0; i < rows.size(); ++i) {
        if (lstrcmpiA(rows[i].c_str(), name.c_str()) != 0) continue;
        SendMessageA(list, LB_SETCURSEL, static_cast<WPARAM>(i), 0);
        PostMessageA(GetParent(list), WM_COMMAND, MAKEWPARAM(idDirectoryListBox1, LBN_DBLCLK),
                     reinterpret_cast<LPARAM>(list));
        return;
    }
    throw ScriptFailure{"the directory list has no row " + name};
}

void ChooseDrive(const std::string& drive) {
    HWND box = Control("DriveComboBox1");
    const std::string item = std::string(1, static_cast<char>(tolower(drive[0]))) + ":";
    Expect(SendMessageA(box, CB_SELECTSTRING, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(item.c_str())) != CB_ERR,
           "no drive " + item);
    PostMessageA(GetParent(box), WM_COMMAND, MAKEWPARAM(idDriveComboBox1, CBN_SELCHANGE), reinterpret_cast<LPARAM>(box));
}

bool Scrolls(HWND control) {
    if (!(GetWindowLongA(control, GWL_STYLE) & WS_VSCROLL) || !IsWindowEnabled(GetParent(control))) return false;
    DWORD_PTR before = 0, after = 0, ignored = 0;
    SendMessageTimeoutA(control, EM_GETFIRSTVISIBLELINE, 0, 0, SMTO_ABORTIFHUNG, 5000, &before);
    SendMessageTimeoutA(control, WM_VSCROLL, SB_PAGEDOWN, 0, SMTO_ABORTIFHUNG, 5000, &ignored);
    SendMessageTimeoutA(control, EM_GETFIRSTVISIBLELINE, 0, 0, SMTO_ABORTIFHUNG, 5000, &after);
    return after > before;
}

// A 24-bit bottom-up BMP of the window as it is on the screen.
void Shot(const std::string& file, bool waitForIdle) {
    // Let the window finish painting what the last commands changed.
    if (waitForIdle) {
        WaitForInputIdle(g_process.hProcess, 5000);
        Sleep(300);
    }
    RECT r;
    GetWindowRect(g_form, &r);
    const int width = r.right - r.left, height = r.bottom - r.top;
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    BITMAPINFO info{};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), width, height, 1, 24, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, width, height, screen, r.left, r.top, SRCCOPY);
    GdiFlush();
    const DWORD stride = ((width * 3 + 3) / 4) * 4;
    BITMAPFILEHEADER header{0x4D42, static_cast<DWORD>(sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER) + stride * height),
                            0, 0, sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER)};
    std::ofstream out(file, std::ios::binary);
    out.write(reinterpret_cast<const char*>(&header), sizeof header);
    out.write(reinterpret_cast<const char*>(&info.bmiHeader), sizeof info.bmiHeader);
    out.write(static_cast<const char*>(bits), static_cast<std::streamsize>(stride * height));
    SelectObject(memory, old);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    Expect(out.good(), "cannot write " + file);
}

std::wstring Wide(const std::string& utf8) {
    const int length = MultiByteToWideChar(CP_UTF8, 0, utf8.c_str(), -1, nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(length > 0 ? length : 1), L'\0');
    if (length > 0) MultiByteToWideChar(CP_UTF8, 0, utf8.c_str(), -1, &wide[0], length);
    wide.resize(wide.size() - 1);
    return wide;
}

std::string Utf8(const wchar_t* wide) {
    const int length = WideCharToMultiByte(CP_UTF8, 0, wide, -1, nullptr, 0, nullptr, nullptr);
    std::string utf8(static_cast<std::size_t>(length > 0 ? length : 1), '\0');
    if (length > 0) WideCharToMultiByte(CP_UTF8, 0, wide, -1, &utf8[0], length, nullptr, nullptr);
    utf8.resize(utf8.size() - 1);
    return utf8;
}

// Read through the shell's Unicode interface, the script's UTF-8 names in
// UTF-16: what a user's Explorer sees, whatever the installer's code page.
void CheckShortcut(const std::string& arguments) {
    const std::vector<std::string> parts = SplitBars(arguments);
    Expect(parts.size() == 4, "shortcut needs LINK | TARGET | DESCRIPTION | WORKING FOLDER");
    IShellLinkW* link = nullptr;
    Expect(SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                      reinterpret_cast<void**>(&link))),
           "no shell-link object");
    IPersistFile* file = nullptr;
    link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file));
    const bool loaded = file && SUCCEEDED(file->Load(Wide(parts[0]).c_str(), STGM_READ));
    wchar_t target[MAX_PATH] = {}, description[MAX_PATH] = {}, folder[MAX_PATH] = {};
    if (loaded) {
        link->GetPath(target, MAX_PATH, nullptr, SLGP_RAWPATH);
        link->GetDescription(description, MAX_PATH);
        link->GetWorkingDirectory(folder, MAX_PATH);
    }
    if (file) file->Release();
    link->Release();
    Expect(loaded, "cannot read the shortcut " + parts[0]);
    std::printf("  shortcut: %s -> %s (\"%s\", in %s)\n", parts[0].c_str(), Utf8(target).c_str(),
                Utf8(description).c_str(), Utf8(folder).c_str());
    Expect(CompareStringOrdinal(target, -1, Wide(parts[1]).c_str(), -1, TRUE) == CSTR_EQUAL,
           "its target is " + Utf8(target));
    Expect(Wide(parts[2]) == description, "its description is " + Utf8(description));
    Expect(Wide(parts[3]) == folder, "its working folder is " + Utf8(folder));
}

// Runs another program to its end, beside the one under test, and checks the
// whole exit code (Wine's launcher would hand it on modulo 256).
void CheckExitCode(const std::string& arguments) {
    const std::vector<std::string> parts = SplitBars(arguments);
    Expect(parts.size() == 3, "exit-code needs CODE | PROGRAM | ARGUMENTS");
    std::wstring command = Wide("\"" + parts[1] + "\" " + parts[2]);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    const bool started =
        CreateProcessW(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process) != 0;
    Expect(started, "cannot start " + parts[1] + " (error " + std::to_string(GetLastError()) + ")");
    const bool ended = WaitForSingleObject(process.hProcess, kTimeoutMs) == WAIT_OBJECT_0;
    DWORD code = 0;
    GetExitCodeProcess(process.hProcess, &code);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    Expect(ended, parts[1] + " did not end");
    std::printf("  exit code: %lu\n", static_cast<unsigned long>(code));
    Expect(std::to_string(code) == parts[0], parts[1] + " ended with " + std::to_string(code) + ", not " + parts[0]);
}

void Run(const std::string& line) {
    std::istringstream words(line);
    std::string command, name;
    words >> command;
    std::string rest;
    std::getline(words, rest);
    rest = Trim(rest);
    const auto split = rest.find(' ');
    name = rest.substr(0, split);
    const std::string value = split == std::string::npos ? std::string() : Trim(rest.substr(split + 1));

    if (command == "start") return Start(rest);
    if (command == "start-with") {
        const std::vector<std::string> parts = SplitBars(rest);
        Expect(parts.size() == 2, "start-with needs PROGRAM | ARGUMENTS");
        return Start(parts[0], parts[1]);
    }
    if (command == "exit-code") return CheckExitCode(rest);
    if (command == "start-short") {
        char shortPath[MAX_PATH];
        const DWORD length = GetShortPathNameA(rest.c_str(), shortPath, MAX_PATH);
        Expect(length > 0 && length < MAX_PATH, "no short path for " + rest);
        Expect(lstrcmpiA(shortPath, rest.c_str()) != 0, rest + " has no 8.3 form of its own");
        std::printf("  short path: %s\n", shortPath);
        return Start(shortPath);
    }
    if (command == "start-device") return Start("\\\\?\\" + rest);
    if (command == "page") {
        HWND page = Control(rest);
        Expect(WaitFor([page] { return IsWindowVisible(page) != 0; }), "page " + rest + " is not showing");
        return;
    }
    if (command == "text" || command == "system-text") {
        // system-text reads the window system's own copy, as other processes' tools do.
        HWND control = Control(name);
        const auto read = command == "text" ? TextOf : SystemTextOf;
        std::string seen;
        const bool matched = WaitFor([&] { return (seen = read(control)) == value; });
        Expect(matched, name + " says \"" + seen + "\", expected \"" + value + "\"");
        return;
    }
    if (command == "print") return (void)std::printf("  %s: %s\n", rest.c_str(), TextOf(Control(rest)).c_str());
    if (command == "click") return Click(Control(rest));
    if (command == "key") return PressKey(rest);
    if (command == "size") {
        // size NAME WIDTH HEIGHT: the client area ("form": the wizard window's).
        HWND window = name == "form" ? g_form : Control(name);
        RECT client{};
        GetClientRect(window, &client);
        const std::string seen = std::to_string(client.right) + " " + std::to_string(client.bottom);
        return Expect(seen == value, name + " is " + seen + ", expected " + value);
    }
    if (command == "accessible") {
        const std::string role = value.substr(0, value.find(' '));
        return ExpectAccessible(Control(name), role, value.find(' ') == std::string::npos ? "" : value.substr(value.find(' ') + 1));
    }
    if (command == "focus") {
        HWND control = Control(rest);
        return Expect(WaitFor([&] { return FocusedControl() == control; }),
                      rest + " does not have the focus (" + TextOf(FocusedControl()) + " has)");
    }
    if (command == "type") {
        DWORD_PTR ignored = 0;
        SendMessageTimeoutA(Control(name), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(value.c_str()), SMTO_ABORTIFHUNG,
                            5000, &ignored);
        return;
    }
    if (command == "drive") return ChooseDrive(rest);
    if (command == "shown-drive") {
        HWND box = Control("DriveComboBox1");
        wchar_t wide[16] = {};  // wide, as the list rows: across processes strings come back as UTF-16
        char item[16] = {};
        const LRESULT index = SendMessageW(box, CB_GETCURSEL, 0, 0);
        if (index >= 0 && SendMessageW(box, CB_GETLBTEXTLEN, static_cast<WPARAM>(index), 0) < 16)
            SendMessageW(box, CB_GETLBTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(wide));
        WideCharToMultiByte(CP_ACP, 0, wide, -1, item, sizeof item, nullptr, nullptr);
        Expect(lstrcmpiA(item, rest.c_str()) == 0, std::string("the drive box shows \"") + item + "\", expected " + rest);
        Expect(!ListRows(Control("DirectoryListBox1")).empty(), "the directory list is empty");
        return;
    }
    if (command == "rows") {
        for (const std::string& row : ListRows(Control("DirectoryListBox1"))) std::printf("  row: %s\n", row.c_str());
        return;
    }
    if (command == "open-folder") return OpenFolder(rest);
    if (command == "gauge") {
        HWND gauge = Control(name);
        DWORD_PTR percent = 0;
        const bool matched = WaitFor([&] {
            SendMessageTimeoutA(gauge, kGaugeGetPercent, 0, 0, SMTO_ABORTIFHUNG, 5000, &percent);
            return static_cast<int>(percent) == std::atoi(value.c_str());
        });
        Expect(matched, name + " shows " + std::to_string(percent) + "%, expected " + value + "%");
        return;
    }
    if (command == "visible") {
        HWND control = Control(name);
        Expect(WaitFor([&] { return (IsWindowVisible(control) != 0) == YesNo(value); }), name + " visibility is not " + value);
        return;
    }
    if (command == "enabled") {
        HWND control = Control(name);
        Expect(WaitFor([&] { return (IsWindowEnabled(control) != 0) == YesNo(value); }), name + " is not enabled=" + value);
        return;
    }
    if (command == "scrolls") return Expect(Scrolls(Control(name)) == YesNo(value), name + " scrolls is not " + value);
    if (command == "box") return Box(rest);
    if (command == "no-box") {
        Sleep(300);
        return Expect(FindBox() == nullptr, "a message box is open: " + TextOf(FindBox()));
    }
    if (command == "close-window") return (void)PostMessageA(g_form, WM_CLOSE, 0, 0);
    if (command == "close-from-taskbar") return (void)PostMessageA(ApplicationWindow(), WM_CLOSE, 0, 0);
    if (command == "taskbar") return CheckTaskBar();
    if (command == "tooltips-noprefix") return CheckToolTips();
    if (command == "shot" || command == "shot-now")
        return Shot(rest.size() > 4 && rest.substr(rest.size() - 4) == ".bmp" ? rest : rest + ".bmp", command == "shot");
    if (command == "wait-exit") {
        Expect(WaitForSingleObject(g_process.hProcess, kTimeoutMs) == WAIT_OBJECT_0, "the installer did not end");
        g_form = nullptr;
        return;
    }
    if (command == "wait-gone") {
        // A program the installer started may still run, holding its file, when
        // the next step (an uninstall) begins.
        const bool gone = WaitFor([&] { return !ProcessRuns(rest); });
        return Expect(gone, rest + " is still running");
    }
    if (command == "running") {
        const bool running = WaitForSingleObject(g_process.hProcess, 0) == WAIT_TIMEOUT;
        return Expect(running == YesNo(rest), std::string("the installer is ") + (running ? "" : "not ") + "running");
    }
    if (command == "shortcut") return CheckShortcut(rest);
    if (command == "mark") return (void)QueryPerformanceCounter(&g_mark);
    if (command == "elapsed") {
        LARGE_INTEGER now, frequency;
        QueryPerformanceCounter(&now);
        QueryPerformanceFrequency(&frequency);
        std::printf("  elapsed %s: %.3f s\n", rest.c_str(),
                    static_cast<double>(now.QuadPart - g_mark.QuadPart) / static_cast<double>(frequency.QuadPart));
        return;
    }
    if (command == "peak-memory") {
        PROCESS_MEMORY_COUNTERS counters{};
        counters.cb = sizeof counters;
        Expect(K32GetProcessMemoryInfo(g_process.hProcess, &counters, sizeof counters) != 0, "no memory figures");
        std::printf("  peak memory: working set %.1f MB, private %.1f MB\n", counters.PeakWorkingSetSize / 1048576.0,
                    counters.PeakPagefileUsage / 1048576.0);
        return;
    }
    if (command == "sleep") return Sleep(static_cast<DWORD>(std::atoi(rest.c_str())));
    throw ScriptFailure{"unknown command " + command};
}

}  // namespace

int main(int argc, char** argv) {
    SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX);
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    if (argc != 2) {
        std::fprintf(stderr, "usage: gui_driver SCRIPT (or - for standard input); commands are listed in gui_driver.cpp\n");
        return 2;
    }
    std::ifstream file;
    std::istream* in = &std::cin;
    if (std::string(argv[1]) != "-") {
        file.open(argv[1]);
        if (!file) {
            std::fprintf(stderr, "gui_driver: cannot read %s\n", argv[1]);
            return 2;
        }
        in = &file;
    }
    std::string line;
    for (int number = 1; std::getline(*in, line); ++number) {
        line = Trim(line);
        if (line.empty() || line[0] == '#') continue;
        std::printf("%d: %s\n", number, line.c_str());
        std::fflush(stdout);
        try {
            Run(line);
        } catch (const ScriptFailure& failure) {
            std::printf("FAILED at line %d: %s\n", number, Escaped(failure.message).c_str());
            if (g_process.hProcess) TerminateProcess(g_process.hProcess, 1);
            return 1;
        }
    }
    return 0;
}
