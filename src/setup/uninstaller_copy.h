#pragma once
// The uninstaller the installation leaves: the installer's own file cut where
// the file data begins.

#include <string>

#include "platform/file_system.h"
#include "setup/installer_state.h"
#include "setup/run_report.h"

namespace velmoran::setup {

// The first part of the installer file, up to the file data: it finds the same
// payload when it starts, and carries no files. A copy that cannot be written
// is left out (the uninstaller is a convenience: the installation stands without
// it), and the setup log says why; a read error of the installer is the
// reader's failure.
void WriteUninstallerCopy(InstallerState& state, RunReport& report, platform::FileSystem& files,
                          const std::string& finalFolder);

}  // namespace velmoran::setup
