#include "platform/win32/system_library.h"

#include <string>

#include "common/path.h"

namespace velmoran::platform::win32 {

void RestrictDllSearchToSystemFolder() {
    // SetDefaultDllDirectories exists from Windows 8 (and Windows 7 with its
    // update); it is looked up so the program still starts without it.
    using SetDefault = BOOL(WINAPI*)(DWORD);
    const auto setDefault = reinterpret_cast<SetDefault>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("kernel32.dll"), "SetDefaultDllDirectories")));
    if (setDefault) setDefault(LOAD_LIBRARY_SEARCH_SYSTEM32);
    // Also takes the current folder out of the search where the above is missing.
    SetDllDirectoryA("");
}

HMODULE LoadSystemLibrary(const char* name) {
    char folder[kMaxPathBytes];
    const UINT length = GetSystemDirectoryA(folder, sizeof folder);
    if (length == 0 || length >= sizeof folder) return nullptr;
    const std::string path = JoinPath(std::string(folder, length), name);
    return LoadLibraryExA(path.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
}

}  // namespace velmoran::platform::win32
