#pragma once
// The installation run: every file, the uninstaller copy, shortcuts, the install
// log and the uninstall entry, with or without a wizard to report to.

#include "platform/platform.h"
#include "setup/installer_state.h"
#include "setup/run_report.h"

namespace velmoran::setup {

enum class RunOutcome {
    Done,
    Declined,    // no folder, or the question about an existing folder answered No
    Unreadable,  // start-up did not finish reading the installer
    Refused,     // a name that leaves the install folder; nothing written
    Failed,      // a file could not be installed; the run stopped half-way
};

// The exit code a run's outcome ends the program with.
int ExitCodeOf(RunOutcome outcome, bool restartNeeded);

// Extracts every file into `chosenFolder`, then writes the uninstaller copy,
// shortcuts, the install log and the uninstall entry. Failures of the system
// (a full drive, a link in the way) are thrown.
RunOutcome RunInstallation(InstallerState& state, const std::string& chosenFolder, RunReport& report,
                           platform::Platform& platform);

// Releases the own file and starts the installed program if asked: as the
// signed-in user, through the desktop's shell, or (none there) as the installer.
void CompleteInstallation(InstallerState& state, RunReport& report, platform::Platform& platform, bool startProgram);


}  // namespace velmoran::setup
