#pragma once
// What every run does first, with a wizard or without: read the installer,
// find out whether it installs or uninstalls, and claim the application.

#include <functional>
#include <optional>
#include <string>

#include "platform/platform.h"
#include "setup/installer_state.h"
#include "setup/setup_log.h"

namespace velmoran::setup {

// Reads the special folders and opens the payload (`onProblem` hears of a
// header that is odd but readable), its texts in the program's code page. The
// message start-up shows when it cannot go on (a damaged installer, a UTF-8
// one on a system whose programs cannot run in UTF-8); nothing when it can.
inline constexpr char kNeedsUtf8Windows[] = "This installer needs Windows 10 version 1903 or later.";

std::optional<std::string> OpenInstaller(InstallerState& state, platform::Platform& platform,
                                         const std::function<void(const std::string&)>& onProblem);

struct ProposedFolder {
    std::string base;  // the folder under which it is made
    std::string name;
};

// The base and name joined as the folder page joins them, and a folder split
// into them (a drive's root keeps its backslash).
std::string FolderPath(const ProposedFolder& folder);
ProposedFolder SplitFolder(const std::string& folder);

// The folder of an earlier installation of the application when there is one;
// else the program-files folder followed by TargetFolder after its placeholder,
// or nothing when that would climb out of it ("." or ".." components).
std::optional<ProposedFolder> ProposeInstallFolder(const InstallerState& state);

// Looks for an installation of the same application: its uninstall entry
// ("InstallLocation", else its uninstaller's folder, and "DisplayVersion"), or
// the application's log in the default folder. Fills the state's previous*.
void FindPreviousInstallation(InstallerState& state, platform::Platform& platform);

// "A newer version (x) of App is installed. Install version y over it?" when the
// installation found is newer than this installer; nothing otherwise (or when
// either version is unknown).
std::optional<std::string> DowngradeQuestion(const InstallerState& state);

// The install log beside the running program means this run uninstalls: the
// log is loaded and true returned. Otherwise the file data's place is noted.
bool ChooseUninstall(InstallerState& state, platform::Platform& platform);

struct Admission {
    int exitCode = 0;  // 0: the run may go on
    std::string message;
};

// Opens the setup log (when one is asked for) and claims the application for
// this run: only one installation or uninstall of it at a time.
// A per-user installer started as the system account is refused first.
Admission Admit(const InstallerState& state, platform::Platform& platform, SetupLog* log);

}  // namespace velmoran::setup
