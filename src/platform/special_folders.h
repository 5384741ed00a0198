#pragma once
// Where the shell keeps the program menu, the desktop and the program files.

#include <string>

#include "platform/registry.h"

namespace velmoran::platform {

inline constexpr char kShellFoldersKey[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";
inline constexpr char kUninstallKeyPrefix[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\";

struct SpecialFolders {
    std::string programs;      // may be empty: no program-group shortcuts
    std::string desktop;       // may be empty: no desktop shortcut
    std::string programFiles;  // never empty
};

// Machine "Common Programs", user "Common Programs", machine "Programs", user
// "Programs"; the desktop likewise; "ProgramFilesDir" else "C:\Program Files".
// A value of a non-string type throws.
SpecialFolders LookUpSpecialFolders(Registry& registry);

// The signed-in user's own: "Programs", "Desktop", and "Local AppData" followed
// by "\Programs" (where Windows puts programs installed for one user); empty
// where the user's shell folders do not say.
SpecialFolders LookUpUserFolders(Registry& registry);

}  // namespace velmoran::platform
