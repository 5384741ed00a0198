#include "ui/unattended_session.h"

#include <exception>

#include "removal/uninstall_run.h"
#include "setup/exit_codes.h"
#include "setup/installation_run.h"
#include "setup/start_up.h"

namespace velmoran::ui {
namespace {

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

int Install(setup::InstallerState& state, const setup::RunOptions& options, setup::RunReport& report,
            platform::Platform& platform) {
    std::string folder;
    if (options.installFolder) {
        folder = *options.installFolder;
    } else if (const auto proposed = setup::ProposeInstallFolder(state)) {
        folder = setup::FolderPath(*proposed);
    }
    try {
        const setup::RunOutcome outcome = setup::RunInstallation(state, folder, report, platform);
        if (outcome == setup::RunOutcome::Done) {
            removal::RemoveSuperseded(state, report, platform);
            setup::CompleteInstallation(state, report, platform, false);
        }
        // No folder to install to is a failure here: nobody can choose one.
        if (outcome == setup::RunOutcome::Declined) return setup::kExitFailedBeforeWriting;
        return setup::ExitCodeOf(outcome, state.restartNeeded);
    } catch (const std::exception& failure) {
        report.Tell(setup::Notice::Abort, failure.what());
        return state.wroteFiles ? setup::kExitFailedWhileRunning : setup::kExitFailedBeforeWriting;
    }
}

}  // namespace

int RunUnattended(setup::InstallerState& state, const setup::RunOptions& options, platform::Platform& platform,
                  setup::SetupLog* log) {
    setup::UnattendedReport nobody;
    setup::LoggedReport report(nobody, log);
    setup::LoggedRegistry registry(platform.registry, log);
    platform::Platform logged{platform.files, registry, platform.shell, platform.programs, platform.codePage};

    const auto failure = setup::OpenInstaller(state, platform, [&report](const std::string& problem) {
        report.Tell(setup::Notice::Warning, problem);
    });
    if (failure) {
        report.Tell(setup::Notice::Abort, *failure);
        return setup::kExitCouldNotStart;
    }
    state.appName = state.payload.Manifest().appName;
    state.noIcons = options.noIcons;
    state.closeApplications = !options.noCloseApplications;
    const setup::Admission admission = setup::Admit(state, logged, log);
    if (admission.exitCode != 0) {
        report.Tell(setup::Notice::Abort, admission.message);
        return admission.exitCode;
    }
    bool uninstalling = false;
    try {
        setup::SkipPresentation(state);
        uninstalling = setup::ChooseUninstall(state, platform);
    } catch (const std::exception& damage) {
        report.Tell(setup::Notice::Abort, damage.what());
        return setup::kExitCouldNotStart;
    }
    if (uninstalling) return Uninstall(state, report, logged);
    setup::FindPreviousInstallation(state, logged);
    if (const auto question = setup::DowngradeQuestion(state); question && !options.allowDowngrade) {
        report.Tell(setup::Notice::Abort, *question + " Not without /ALLOWDOWNGRADE.");
        return setup::kExitNewerInstalled;
    }
    return Install(state, options, report, logged);
}

}  // namespace velmoran::ui
