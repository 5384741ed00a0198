#pragma once
// Installers run from download folders, where a planted DLL could wait for
// them: every DLL this program loads comes from the system folder only.

#include "platform/win32/windows_api.h"

namespace velmoran::platform::win32 {

// Restricts the process's DLL search to the system folder. Called first thing.
void RestrictDllSearchToSystemFolder();

// Loads a DLL from the system folder by its full path; nullptr when absent.
HMODULE LoadSystemLibrary(const char* name);

// Points `function` at the export `name` of `library`; it stays null when
// either is missing.
template <typename Function>
void Resolve(HMODULE library, const char* name, Function& function) {
    if (library) function = reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(library, name)));
}

}  // namespace velmoran::platform::win32
