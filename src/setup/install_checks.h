#pragma once
// What an installation checks before it writes anything: that start-up read
// the installer, that a folder was chosen, that no name of the payload leads
// outside it, and (for a folder that is there already) that the user agrees.

#include <optional>
#include <string>

#include "platform/platform.h"
#include "setup/installation_run.h"
#include "setup/installer_state.h"
#include "setup/run_report.h"

namespace velmoran::setup {

struct InstallCheck {
    std::optional<RunOutcome> stop;  // the run ends here, with this outcome
    bool folderExisted = false;
};

InstallCheck CheckBeforeInstalling(InstallerState& state, const std::string& chosenFolder, RunReport& report,
                                   platform::Platform& platform);

}  // namespace velmoran::setup
