#include "session/unattended_session.h"

#include <exception>

#include "removal/uninstall_run.h"
#include "session/session.h"
#include "setup/exit_codes.h"
#include "setup/installation_run.h"
#include "setup/start_up.h"

namespace velmoran::session {
namespace {

// Start-up without a window: everything it says goes to the setup log.
class SilentStartUp : public StartUpReport {
public:
    explicit SilentStartUp(setup::RunReport& report) : report_(report) {}
    void Warn(const std::string& problem) override { report_.Tell(setup::Notice::Warning, problem); }
    void CannotStart(Refusal, const std::string& message, int) override { report_.Tell(setup::Notice::Abort, message); }
    bool AllowDowngrade(const std::string& question) override {
        report_.Tell(setup::Notice::Abort, question + " Not without /ALLOWDOWNGRADE.");
        return false;
    }

private:
    setup::RunReport& report_;
};

int Uninstall(setup::InstallerState& state, setup::RunReport& report, platform::Platform& platform) {
    try {
        const std::vector<std::string> names = removal::RunUninstall(state, report, platform);
        removal::RecordLeftovers(state, names, report);
        // Everything but the uninstaller and its folder is gone now; the
        // script takes those once this program has ended.
        removal::FinishUninstall(state, platform, platform::ShowCommand::Hidden);
    } catch (const std::exception& failure) {
        report.Tell(setup::Notice::Abort, failure.what());
        return setup::kExitFailedWhileRunning;
    }
    return removal::UninstallExitCode(state);
}

int Install(Session& session, setup::RunReport& report) {
    setup::InstallerState& state = session.State();
    std::string folder;
    if (session.Options().installFolder) {
        folder = *session.Options().installFolder;
    } else if (const auto proposed = setup::ProposeInstallFolder(state)) {
        folder = setup::FolderPath(*proposed);
    }
    try {
        const setup::RunOutcome outcome = session.Install(folder, report);
        if (outcome == setup::RunOutcome::Done) setup::CompleteInstallation(state, report, session.Platform(), false);
        // No folder to install to is a failure here: nobody can choose one.
        if (outcome == setup::RunOutcome::Declined) return setup::kExitFailedBeforeWriting;
        return setup::ExitCodeOf(outcome, state.restartNeeded);
    } catch (const std::exception& failure) {
        report.Tell(setup::Notice::Abort, failure.what());
        return ExitCodeAfterFailure(state);
    }
}

}  // namespace

int RunUnattended(setup::InstallerState& state, const setup::RunOptions& options, platform::Platform& platform,
                  setup::SetupLog* log) {
    setup::UnattendedReport nobody;
    setup::LoggedReport report(nobody, log);
    Session session(state, platform, options, log);
    SilentStartUp startUp(report);
    try {
        if (const auto exitCode = session.StartUp(startUp, payload::OnPictureFailure::Stop)) return *exitCode;
    } catch (const std::exception& damage) {
        report.Tell(setup::Notice::Abort, damage.what());
        return setup::kExitCouldNotStart;
    }
    if (session.Uninstalling()) return Uninstall(state, report, session.Platform());
    return Install(session, report);
}

}  // namespace velmoran::session
