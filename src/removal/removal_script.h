#pragma once
// The command script that removes the uninstaller and its folder once the
// uninstaller has ended.

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "platform/file_system.h"

namespace velmoran::removal {

inline constexpr char kRemovalScriptPath[] = "C:\\uninstall_rd.bat";

// What the uninstaller leaves behind to remove itself once it has ended.
// The script's text holds no path of the installation: those reach it through
// the environment it inherits. cmd reads a script's lines in the console's
// code page, which is not UTF-8 on every system, but expands a variable in
// UTF-16, and only once, so no character of a path ("%" included) means
// anything to it.
struct RemovalScript {
    std::vector<std::string> lines;
    std::vector<std::pair<std::string, std::string>> environment;  // name, value
};

// The script for an uninstaller at `uninstallerPath`: it waits (about 10 s at
// most) until the uninstaller's file can be deleted, then removes its folder
// if empty (unless told to keep it: a folder of the user's, such as a desktop
// the application was installed to) and deletes itself. The one program it
// runs is named by its full path in `systemFolder`. Nothing when a path holds
// a quote or a control character, which no path Windows makes does.
enum class UninstallerFolder { Remove, Keep };
std::optional<RemovalScript> MakeRemovalScript(const std::string& uninstallerPath, const std::string& systemFolder,
                                               UninstallerFolder folderAfterwards = UninstallerFolder::Remove);

// Where the script goes: "C:\uninstall_rd.bat", cleared of a file or of a link
// found there (removed, never followed), or a fresh name in the temporary folder
// when a folder stands at that path.
std::string PrepareScriptPath(platform::FileSystem& files);

// Creates the script new at `path`; throws Failure("Cannot create file ...").
void WriteScript(platform::FileSystem& files, const std::string& path, const std::vector<std::string>& lines);

}  // namespace velmoran::removal
