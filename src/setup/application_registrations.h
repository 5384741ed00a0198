#pragma once
// An installation's registrations with Windows, from its header to the
// registry and back: written after the files, recorded in the registration
// log beside the install log, undone by the uninstall and, for what a new
// version no longer declares, by the upgrade.

#include <string>

#include "platform/platform.h"
#include "setup/installer_state.h"
#include "setup/run_report.h"

namespace velmoran::setup {

// "<install folder>\<AppName>.rlg".
std::string RegistrationLogPath(const std::string& installFolder, const std::string& appName);

// Writes what the header declares, removes what only the earlier version's
// registration log names, and replaces that log (or removes it when nothing
// is registered any more). A write that fails undoes this run's writes and is
// thrown, naming the key.
void RegisterApplication(const InstallerState& state, const std::string& installFolder, const std::string& finalFolder,
                         RunReport& report, platform::Platform& platform);

// Undoes what the registration log names, as far as the policy allows, and
// removes the log.
void UnregisterApplication(const InstallerState& state, const std::string& installFolder,
                           const std::string& finalFolder, RunReport& report, platform::Platform& platform);

}  // namespace velmoran::setup
