#pragma once
// Programs that hold files an upgrade replaces: found through Restart Manager,
// closed when the user (or /NOCLOSEAPPLICATIONS' absence) allows, and started
// again once the run is over.

#include <exception>
#include <string>

#include "platform/platform.h"
#include "setup/installer_state.h"
#include "setup/run_report.h"

namespace velmoran::setup {

// Starts again, once the run is over however it ends, the programs it closed.
class RestartClosedPrograms {
public:
    explicit RestartClosedPrograms(platform::RunningPrograms& programs) : programs_(programs) {}
    ~RestartClosedPrograms() {
        if (!closed) return;
        try {
            programs_.Restart();
        } catch (const std::exception&) {
        }
    }
    RestartClosedPrograms(const RestartClosedPrograms&) = delete;
    RestartClosedPrograms& operator=(const RestartClosedPrograms&) = delete;
    bool closed = false;

private:
    platform::RunningPrograms& programs_;
};

// Names the programs holding files of the installation in `folder` (whose
// final path is `finalFolder`) and closes them if allowed.
void CloseProgramsHolding(InstallerState& state, RunReport& report, platform::Platform& platform,
                          const std::string& folder, const std::string& finalFolder, RestartClosedPrograms& restart);

}  // namespace velmoran::setup
