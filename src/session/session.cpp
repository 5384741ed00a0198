#include "session/session.h"

#include "common/failure.h"
#include "removal/uninstall_run.h"
#include "setup/exit_codes.h"
#include "setup/start_up.h"

namespace velmoran::session {

Session::Session(setup::InstallerState& state, platform::Platform& platform, setup::RunOptions options,
                 setup::SetupLog* log)
    : state_(state),
      options_(std::move(options)),
      log_(log),
      loggedRegistry_(platform.registry, log),
      platform_{platform.files, loggedRegistry_, platform.shell, platform.programs, platform.codePage} {
    state_.noIcons = options_.noIcons;
    state_.noDesktopShortcut = options_.noDesktopShortcut;
    state_.closeApplications = !options_.noCloseApplications;
}

std::optional<int> Session::StartUp(StartUpReport& report, payload::OnPictureFailure onPictureFailure) {
    if (const auto failure = setup::OpenInstaller(state_, platform_, [&report](const std::string& problem) {
            report.Warn(problem);
        })) {
        report.CannotStart(StartUpReport::Refusal::Unreadable, *failure, setup::kExitCouldNotStart);
        return setup::kExitCouldNotStart;
    }
    payload::LeadingItemsRead items = payload::ReadLeadingItems(state_.payload, onPictureFailure);
    report.ShowPictures(items);
    state_.appName = state_.payload.Manifest().appName;
    report.ShowName();
    // One run of an application at a time, and a setup log that can be written, before anything is asked.
    const setup::Admission admission = setup::Admit(state_, platform_, log_);
    if (admission.exitCode != 0) {
        report.CannotStart(StartUpReport::Refusal::NotAdmitted, admission.message, admission.exitCode);
        return admission.exitCode;
    }
    setup::FindPreviousInstallation(state_, platform_);
    report.ShowFolder();
    report.ShowTexts(items);
    if (items.failed) throw Failure(items.failure);
    uninstalling_ = setup::ChooseUninstall(state_, platform_);
    if (uninstalling_) {
        report.ShowUninstall();
        return std::nullopt;
    }
    // An installer older than the installation it finds asks before going on; one
    // that may not ask goes on only when told to by /ALLOWDOWNGRADE.
    const auto question = setup::DowngradeQuestion(state_);
    if (question && !options_.allowDowngrade && !report.AllowDowngrade(*question)) return setup::kExitNewerInstalled;
    return std::nullopt;
}

setup::RunOutcome Session::Install(const std::string& folder, setup::RunReport& report) {
    const setup::RunOutcome outcome = setup::RunInstallation(state_, folder, report, platform_);
    if (outcome == setup::RunOutcome::Done) removal::RemoveSuperseded(state_, report, platform_);
    return outcome;
}

int ExitCodeAfterFailure(const setup::InstallerState& state) {
    return state.wroteFiles ? setup::kExitFailedWhileRunning : setup::kExitFailedBeforeWriting;
}

}  // namespace velmoran::session
