#pragma once
// The install folder made (with the rights its scope needs) and taken by its
// long and final paths, and the earlier installation's log read from it.

#include <string>

#include "platform/platform.h"
#include "setup/installer_state.h"
#include "setup/run_report.h"

namespace velmoran::setup {

struct InstallPlace {
    std::string folder;       // the chosen folder's long path, as the log names it
    std::string finalFolder;  // where the system says it lies; files are checked against it
    std::string logPath;      // the installation's log in it
};

// Makes the folder (a folder that cannot be made is thrown, named by the first
// file the run would write there), fills the state's install folder and main
// program, and loads the log an earlier installation left in it.
InstallPlace PrepareInstallFolder(InstallerState& state, const std::string& chosenFolder, RunReport& report,
                                  platform::Platform& platform);

// Creates every missing folder of `folder`, from the top down, with `rights`.
// The system's reason for the first that could not be made; "" when none failed.
std::string CreateFoldersTopDown(platform::FileSystem& files, const std::string& folder, platform::FolderRights rights);

}  // namespace velmoran::setup
