#pragma once
// The command script that removes the uninstaller and its folder once the
// uninstaller has ended.

#include <optional>
#include <string>
#include <vector>

#include "platform/file_system.h"

namespace velmoran::removal {

inline constexpr char kRemovalScriptPath[] = "C:\\uninstall_rd.bat";

// The script's lines for an uninstaller at `uninstallerPath`, written at
// `scriptPath`: it waits (about 10 s at most) until the uninstaller's file can
// be deleted, then removes its folder if empty and deletes itself. The one
// programs it runs are named by their full path in `systemFolder`. With `utf8`
// (the paths are UTF-8) it first switches its console to UTF-8, since the
// command interpreter reads a script in the console's code page. Nothing when
// a path holds a character the command interpreter cannot take inside quotes.
std::optional<std::vector<std::string>> RemovalScript(const std::string& uninstallerPath, const std::string& scriptPath,
                                                      const std::string& systemFolder, bool utf8);

// Where the script goes: "C:\uninstall_rd.bat", cleared of a file or of a link
// found there (removed, never followed), or a fresh name in the temporary folder
// when a folder stands at that path.
std::string PrepareScriptPath(platform::FileSystem& files);

// Creates the script new at `path`; throws Failure("Cannot create file ...").
void WriteScript(platform::FileSystem& files, const std::string& path, const std::vector<std::string>& lines);

}  // namespace velmoran::removal
