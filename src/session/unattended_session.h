#pragma once
// A run with no window of any kind (/S, /VERYSILENT): the installer or
// uninstaller does what the wizard would with every question answered by its
// default, and tells only the setup log. Works with no desktop at all.

#include "platform/platform.h"
#include "setup/command_line.h"
#include "setup/installer_state.h"
#include "setup/setup_log.h"

namespace velmoran::session {

// Returns the exit code. `state` holds the own file and program path.
int RunUnattended(setup::InstallerState& state, const setup::RunOptions& options, platform::Platform& platform,
                  setup::SetupLog* log);

}  // namespace velmoran::session
