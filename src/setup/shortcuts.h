#pragma once
// The shortcuts an installation makes: the main program's on the desktop and
// in the program group, and the payload's further ones in the group.

#include <string>

#include "platform/platform.h"
#include "setup/installer_state.h"
#include "setup/run_report.h"

namespace velmoran::setup {

// A path the payload names relative to the install folder; an empty one is the folder itself.
std::string InstalledPath(const std::string& folder, const std::string& relative);

// Each .lnk is written new through a file checked to lie in its own folder (the
// desktop, or the program group this run made; none when that folder is
// missing or a junction of its own). One that cannot be saved is missing, as
// the shell-link object's own save would leave it, and the setup log says why.
void MakeShortcuts(InstallerState& state, RunReport& report, platform::Platform& platform);

}  // namespace velmoran::setup
