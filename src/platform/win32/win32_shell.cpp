#include "platform/win32/win32_shell.h"

#include <exdisp.h>
#include <objbase.h>
#include <objidl.h>
#include <servprov.h>
#include <shellapi.h>
#include <shldisp.h>
#include <shlobj.h>

#include <algorithm>
#include <cstring>
#include <vector>

#include "common/failure.h"
#include "common/path.h"
#include "platform/win32/handles.h"
#include "platform/win32/local_text.h"
#include "platform/win32/system_error.h"
#include "platform/win32/system_library.h"

namespace velmoran::platform::win32 {
namespace {

// The identities of the shell-link object and its two interfaces.
const CLSID kShellLinkClass = {0x00021401, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
const IID kShellLinkW = {0x000214F9, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
const IID kPersistStream = {0x00000109, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
// ... and those on the way from the desktop's window to its shell's ShellExecute.
const CLSID kShellWindowsClass = {0x9BA05972, 0xF6A8, 0x11CF, {0xA4, 0x42, 0x00, 0xA0, 0xC9, 0x0A, 0x8F, 0x39}};
const IID kShellWindows = {0x85CB6900, 0x4D95, 0x11CF, {0x96, 0x0C, 0x00, 0x80, 0xC7, 0xF4, 0xEE, 0x85}};
const IID kServiceProvider = {0x6D5140C1, 0x7436, 0x11CE, {0x80, 0x34, 0x00, 0xAA, 0x00, 0x60, 0x09, 0xFA}};
const GUID kTopLevelBrowser = {0x4C96BE40, 0x915C, 0x11CF, {0x99, 0xD3, 0x00, 0xAA, 0x00, 0x4A, 0xE8, 0x37}};
const IID kShellBrowser = {0x000214E2, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
const IID kDispatch = {0x00020400, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
const IID kShellFolderViewDual = {0xE7A1AF80, 0x4D96, 0x11CF, {0x96, 0x0C, 0x00, 0x80, 0xC7, 0xF4, 0xEE, 0x85}};
const IID kShellDispatch2 = {0xA4C6892C, 0x3BA9, 0x11D2, {0x9D, 0xEA, 0x00, 0xC0, 0x4F, 0xB1, 0x61, 0x62}};

// The shell and the component object system are loaded from the system folder
// once the DLL search is restricted, never linked directly: their own
// dependencies would otherwise be looked for beside the installer as well.
struct ShellApi {
    decltype(&CoInitializeEx) coInitializeEx = nullptr;
    decltype(&CoUninitialize) coUninitialize = nullptr;
    decltype(&CoCreateInstance) coCreateInstance = nullptr;
    decltype(&CreateStreamOnHGlobal) createStreamOnHGlobal = nullptr;
    decltype(&GetHGlobalFromStream) getHGlobalFromStream = nullptr;
    decltype(&ShellExecuteA) shellExecute = nullptr;
    decltype(&SysAllocString) sysAllocString = nullptr;
    decltype(&SysFreeString) sysFreeString = nullptr;
};

const ShellApi& Api() {
    static const ShellApi api = [] {
        ShellApi loaded;
        HMODULE ole = LoadSystemLibrary("ole32.dll");
        HMODULE shell = LoadSystemLibrary("shell32.dll");
        Resolve(ole, "CoInitializeEx", loaded.coInitializeEx);
        Resolve(ole, "CoUninitialize", loaded.coUninitialize);
        Resolve(ole, "CoCreateInstance", loaded.coCreateInstance);
        Resolve(ole, "CreateStreamOnHGlobal", loaded.createStreamOnHGlobal);
        Resolve(ole, "GetHGlobalFromStream", loaded.getHGlobalFromStream);
        Resolve(shell, "ShellExecuteA", loaded.shellExecute);
        HMODULE automation = LoadSystemLibrary("oleaut32.dll");
        Resolve(automation, "SysAllocString", loaded.sysAllocString);
        Resolve(automation, "SysFreeString", loaded.sysFreeString);
        return loaded;
    }();
    return api;
}

// The stream's bytes from its start to its current position.
Bytes StreamBytes(IStream* stream) {
    HGLOBAL memory = nullptr;
    LARGE_INTEGER zero{};
    ULARGE_INTEGER end{};
    if (!Api().getHGlobalFromStream || FAILED(Api().getHGlobalFromStream(stream, &memory)) ||
        FAILED(stream->Seek(zero, STREAM_SEEK_CUR, &end)))
        return Bytes();
    const auto* bytes = static_cast<const uint8_t*>(GlobalLock(memory));
    if (!bytes) return Bytes();
    Bytes content(bytes, bytes + static_cast<std::size_t>(end.QuadPart));
    GlobalUnlock(memory);
    return content;
}

// A text variant for the shell's automation interface; freed with it.
class TextVariant {
public:
    explicit TextVariant(const std::string& text) {
        variant_.vt = VT_BSTR;
        variant_.bstrVal = Api().sysAllocString(AnsiToWide(text).data());
    }
    ~TextVariant() { Api().sysFreeString(variant_.bstrVal); }
    TextVariant(const TextVariant&) = delete;
    TextVariant& operator=(const TextVariant&) = delete;
    const VARIANT& Get() const { return variant_; }
    bool Valid() const { return variant_.bstrVal != nullptr; }

private:
    VARIANT variant_{};
};

// The automation object of the shell that owns the desktop window: what it
// starts runs in the signed-in user's own session, with the user's rights.
bool DesktopShell(ComPtr<IShellDispatch2>& shell) {
    ComPtr<IShellWindows> windows;
    if (FAILED(Api().coCreateInstance(kShellWindowsClass, nullptr, CLSCTX_LOCAL_SERVER, kShellWindows,
                                      windows.ReceiveVoid())))
        return false;
    VARIANT nowhere{};
    long window = 0;
    ComPtr<IDispatch> desktop;
    if (windows->FindWindowSW(&nowhere, &nowhere, SWC_DESKTOP, &window, SWFO_NEEDDISPATCH, desktop.Receive()) != S_OK ||
        !desktop)
        return false;
    ComPtr<IServiceProvider> services;
    ComPtr<IShellBrowser> browser;
    ComPtr<IShellView> view;
    ComPtr<IDispatch> background;
    ComPtr<IShellFolderViewDual> folderView;
    ComPtr<IDispatch> application;
    return SUCCEEDED(desktop->QueryInterface(kServiceProvider, services.ReceiveVoid())) &&
           SUCCEEDED(services->QueryService(kTopLevelBrowser, kShellBrowser, browser.ReceiveVoid())) &&
           SUCCEEDED(browser->QueryActiveShellView(view.Receive())) &&
           SUCCEEDED(view->GetItemObject(SVGIO_BACKGROUND, kDispatch, background.ReceiveVoid())) &&
           SUCCEEDED(background->QueryInterface(kShellFolderViewDual, folderView.ReceiveVoid())) &&
           SUCCEEDED(folderView->get_Application(application.Receive())) &&
           SUCCEEDED(application->QueryInterface(kShellDispatch2, shell.ReceiveVoid()));
}

}  // namespace

void Win32Shell::SetChildEnvironment(const std::string& name, const std::string& value) {
    SetEnvironmentVariableA(name.c_str(), value.c_str());
}

bool Win32Shell::LaunchAsSignedInUser(const std::string& file) {
    if (!Api().coCreateInstance || !Api().sysAllocString || !Api().sysFreeString) return false;
    ComPtr<IShellDispatch2> shell;
    if (!DesktopShell(shell)) return false;
    const TextVariant path(file), none(""), folder(FolderPart(file)), open("open");
    VARIANT show{};
    show.vt = VT_I4;
    show.lVal = SW_SHOWNORMAL;
    return path.Valid() && SUCCEEDED(shell->ShellExecute(path.Get().bstrVal, none.Get(), folder.Get(), open.Get(), show));
}

// The link is saved into memory, not to its path: the caller writes the bytes
// through a file it has checked lies where the installation puts things.
Bytes Win32Shell::ShortcutContent(const std::string& description, const std::string& target) {
    ComPtr<IShellLinkW> link;
    if (!Api().coCreateInstance) throw Failure(SystemErrorText(static_cast<unsigned long>(REGDB_E_CLASSNOTREG)));
    HRESULT result = Api().coCreateInstance(kShellLinkClass, nullptr, CLSCTX_INPROC_SERVER, kShellLinkW, link.ReceiveVoid());
    if (FAILED(result)) throw Failure(SystemErrorText(static_cast<unsigned long>(result)));
    ComPtr<IPersistStream> persist;
    result = link->QueryInterface(kPersistStream, persist.ReceiveVoid());
    if (FAILED(result)) throw Failure(SystemErrorText(static_cast<unsigned long>(result)));
    // A link that cannot be completed or saved is simply missing afterwards.
    // Through the Unicode interface, so the link holds its names in Unicode:
    // given an ANSI target, Wine's shell keeps it as ANSI in the link, which a
    // program in another code page then reads garbled.
    link->SetPath(AnsiToWide(target).data());
    link->SetDescription(AnsiToWide(description).data());
    link->SetWorkingDirectory(AnsiToWide(FolderPart(target)).data());
    ComPtr<IStream> stream;
    if (!Api().createStreamOnHGlobal || FAILED(Api().createStreamOnHGlobal(nullptr, TRUE, stream.Receive())) ||
        FAILED(persist->Save(stream.Get(), TRUE)))
        return Bytes();
    return StreamBytes(stream.Get());
}

bool Win32Shell::Launch(const std::string& file, const std::string& parameters, ShowCommand show,
                        const std::string& workingFolder) {
    // The texts pass through buffers of 1025 bytes; a longer one would be cut to
    // the name of some other file, so nothing is started.
    char fileBuffer[kLaunchTextLimit + 1];
    char parameterBuffer[kLaunchTextLimit + 1];
    if (file.size() > kLaunchTextLimit || parameters.size() > kLaunchTextLimit) return false;
    std::memcpy(fileBuffer, file.c_str(), file.size() + 1);
    std::memcpy(parameterBuffer, parameters.c_str(), parameters.size() + 1);
    if (!Api().shellExecute) return false;
    const HINSTANCE result =
        Api().shellExecute(owner_ ? owner_() : nullptr, nullptr, fileBuffer, parameterBuffer,
                           workingFolder.empty() ? nullptr : workingFolder.c_str(), static_cast<int>(show));
    return reinterpret_cast<INT_PTR>(result) > 32;
}

ComApartment::ComApartment()
    : initialised_(Api().coInitializeEx && SUCCEEDED(Api().coInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) {}

ComApartment::~ComApartment() {
    if (initialised_) Api().coUninitialize();
}

bool Win32Shell::RunsAsSystem() {
    HANDLE token = nullptr;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token)) return false;
    alignas(TOKEN_USER) unsigned char buffer[sizeof(TOKEN_USER) + SECURITY_MAX_SID_SIZE];
    DWORD length = 0;
    const bool read = GetTokenInformation(token, TokenUser, buffer, sizeof buffer, &length) != 0;
    CloseHandle(token);
    return read && IsWellKnownSid(reinterpret_cast<TOKEN_USER*>(buffer)->User.Sid, WinLocalSystemSid);
}

Win32Shell::~Win32Shell() {
    if (claim_) CloseHandle(claim_);
}

bool Win32Shell::ClaimSingleRun(const std::string& appName) {
    // Folded, as the uninstall key it guards is; a backslash would name a namespace.
    std::string name = "Global\\Velmoran Setup " + AsciiLower(FoldedCase(appName));
    std::replace(name.begin() + 7, name.end(), '\\', '/');
    HANDLE mutex = CreateMutexA(nullptr, FALSE, name.c_str());
    const DWORD error = GetLastError();
    if (!mutex) return error != ERROR_ACCESS_DENIED;  // denied: another user's run made it
    if (error == ERROR_ALREADY_EXISTS) {
        CloseHandle(mutex);
        return false;
    }
    if (claim_) CloseHandle(claim_);
    claim_ = mutex;
    return true;
}

void Win32Shell::NotifyAssociationsChanged() { SHChangeNotify(SHCNE_ASSOCCHANGED, SHCNF_IDLIST, nullptr, nullptr); }

void Win32Shell::BroadcastEnvironmentChange() {
    // A hung window is skipped at once, a slow one after two seconds: the run never waits on another program.
    DWORD_PTR result = 0;
    SendMessageTimeoutA(HWND_BROADCAST, WM_SETTINGCHANGE, 0, reinterpret_cast<LPARAM>("Environment"), SMTO_ABORTIFHUNG,
                        2000, &result);
}

}  // namespace velmoran::platform::win32
