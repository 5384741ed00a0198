#pragma once
// The files of the payload written into the install folder, folder by folder,
// each checked by handle to lie where the folder's final path says.

#include <cstdint>
#include <string>

#include "platform/platform.h"
#include "setup/installation_run.h"
#include "setup/installer_state.h"
#include "setup/run_report.h"

namespace velmoran::setup {

struct InstallPlace;

// Writes every file of the payload into the place; adds their bytes to
// `installedBytes`. Failed when a file is missing after its turn; failures of
// the system are thrown.
RunOutcome InstallFiles(InstallerState& state, RunReport& report, platform::FileSystem& files,
                        const InstallPlace& place, uint64_t& installedBytes);

}  // namespace velmoran::setup
