#pragma once
// The uninstall run and what follows it, with or without a wizard to report to.

#include <string>
#include <vector>

#include "platform/platform.h"
#include "removal/removal_script.h"
#include "setup/installer_state.h"
#include "setup/run_report.h"

namespace velmoran::removal {

// Deletes every logged path from the last to the first, removes folders that
// became empty and deletes the uninstall entry; removes nothing (and sets
// `uninstallRefused`) when the install folder is a junction or link. Returns the names the
// application folder still holds afterwards, the running uninstaller's among them.
std::vector<std::string> RunUninstall(setup::InstallerState& state, setup::RunReport& report,
                                      platform::Platform& platform);

// The exit code an uninstall run ends the program with.
int UninstallExitCode(const setup::InstallerState& state);

// After an installation over an earlier one: deletes every path the earlier
// log names that this installation did not write, where the uninstall run
// could delete it (below the install folder, the application's shortcuts),
// and the folders that became empty.
void RemoveSuperseded(setup::InstallerState& state, setup::RunReport& report, platform::Platform& platform);

// Records each of `names` (RunUninstall's) but the uninstaller's own, for the setup log.
void RecordLeftovers(const setup::InstallerState& state, const std::vector<std::string>& names,
                     setup::RunReport& report);

// Writes and starts the script that removes the uninstaller and its folder
// once it has ended; its console window shown `show`.
void FinishUninstall(setup::InstallerState& state, platform::Platform& platform,
                     platform::ShowCommand show = platform::ShowCommand::Minimised);

}  // namespace velmoran::removal
