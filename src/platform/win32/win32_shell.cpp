#include "platform/win32/win32_shell.h"

#include <objbase.h>
#include <objidl.h>
#include <shellapi.h>
#include <shlobj.h>

#include <algorithm>
#include <cstring>
#include <vector>

#include "common/failure.h"
#include "common/path.h"
#include "platform/win32/handles.h"
#include "platform/win32/system_error.h"
#include "platform/win32/system_library.h"

namespace velmoran::platform::win32 {
namespace {

// The identities of the shell-link object and its two interfaces.
const CLSID kShellLinkClass = {0x00021401, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
const IID kShellLinkA = {0x000214EE, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
const IID kPersistStream = {0x00000109, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};

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
};

template <typename Function>
void Resolve(HMODULE library, const char* name, Function& function) {
    if (library) function = reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(library, name)));
}

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

}  // namespace

// The link is saved into memory, not to its path: the caller writes the bytes
// through a file it has checked lies where the installation puts things.
Bytes Win32Shell::ShortcutContent(const std::string& description, const std::string& target) {
    ComPtr<IShellLinkA> link;
    if (!Api().coCreateInstance) throw Failure(SystemErrorText(static_cast<unsigned long>(REGDB_E_CLASSNOTREG)));
    HRESULT result = Api().coCreateInstance(kShellLinkClass, nullptr, CLSCTX_INPROC_SERVER, kShellLinkA, link.ReceiveVoid());
    if (FAILED(result)) throw Failure(SystemErrorText(static_cast<unsigned long>(result)));
    ComPtr<IPersistStream> persist;
    result = link->QueryInterface(kPersistStream, persist.ReceiveVoid());
    if (FAILED(result)) throw Failure(SystemErrorText(static_cast<unsigned long>(result)));
    // A link that cannot be completed or saved is simply missing afterwards.
    link->SetPath(target.c_str());
    link->SetDescription(description.c_str());
    link->SetWorkingDirectory(FolderPart(target).c_str());
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

Win32Shell::~Win32Shell() {
    if (claim_) CloseHandle(claim_);
}

bool Win32Shell::ClaimSingleRun(const std::string& appName) {
    // Folded, as the uninstall key it guards is; a backslash would name a namespace.
    std::string name = "Global\\Velmoran Setup " + AsciiLower(appName);
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

}  // namespace velmoran::platform::win32
