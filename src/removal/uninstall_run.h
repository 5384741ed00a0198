#pragma once
// The work behind "Uninstall" and the uninstall page's OK button.

#include <string>
#include <vector>

#include "platform/platform.h"
#include "removal/removal_script.h"
#include "ui/installer_state.h"
#include "ui/view.h"

namespace velmoran::removal {

// btnUninstallClick: deletes every logged path from the last to the first,
// removes folders that became empty, deletes the uninstall entry and reports
// files left in the application folder.
void RunUninstall(ui::InstallerState& state, ui::View& view, platform::Platform& platform);

// btnUninstallExitClick: writes and starts the script that removes the
// uninstaller and its folder once it has ended, then ends.
void FinishUninstall(ui::InstallerState& state, ui::View& view, platform::Platform& platform);

}  // namespace velmoran::removal
