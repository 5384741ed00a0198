#include "setup/installation_run.h"

#include "common/path.h"
#include "setup/application_registrations.h"
#include "payload/format.h"
#include "setup/exit_codes.h"
#include "setup/install_checks.h"
#include "setup/install_files.h"
#include "setup/install_folder.h"
#include "setup/programs_in_use.h"
#include "setup/shortcuts.h"
#include "setup/uninstall_entry.h"
#include "setup/uninstaller_copy.h"

namespace velmoran::setup {

int ExitCodeOf(RunOutcome outcome, bool restartNeeded) {
    switch (outcome) {
        case RunOutcome::Done: return ExitCodeWhenDone(restartNeeded);
        case RunOutcome::Declined: return kExitCancelled;
        case RunOutcome::Unreadable: return kExitCouldNotStart;
        case RunOutcome::Refused: return kExitFailedBeforeWriting;
        case RunOutcome::Failed: break;
    }
    return kExitFailedWhileRunning;
}

RunOutcome RunInstallation(InstallerState& state, const std::string& chosenFolder, RunReport& report,
                           platform::Platform& platform) {
    const InstallCheck check = CheckBeforeInstalling(state, chosenFolder, report, platform);
    if (check.stop) return *check.stop;
    const payload::HeaderManifest& header = state.payload.Manifest();
    report.StartProgress(header.fileBytes.Value());
    const InstallPlace place = PrepareInstallFolder(state, chosenFolder, report, platform);
    RestartClosedPrograms restartClosed(platform.programs);
    // In a folder this run made, nothing can be in use yet.
    if (check.folderExisted) CloseProgramsHolding(state, report, platform, place.folder, place.finalFolder, restartClosed);
    uint64_t installedBytes = 0;
    if (InstallFiles(state, report, platform.files, place, installedBytes) == RunOutcome::Failed) return RunOutcome::Failed;
    state.log.Append(JoinPath(place.folder, payload::kUninstallerName));
    WriteUninstallerCopy(state, report, platform.files, place.finalFolder);
    state.log.Append(place.logPath);
    if (!state.noIcons) MakeShortcuts(state, report, platform);
    RegisterApplication(state, place.folder, place.finalFolder, report, platform);
    state.log.Save(platform.files, place.logPath, place.finalFolder);
    report.Record("Install log: " + place.logPath);
    RegisterUninstallEntry(platform.registry, header,
                           {state.appName, place.folder, header.exeName.empty() ? std::string() : state.mainProgramPath,
                            installedBytes, state.perUser});
    return RunOutcome::Done;
}

void CompleteInstallation(InstallerState& state, RunReport& report, platform::Platform& platform, bool startProgram) {
    try {
        state.ownFile->Close();
    } catch (const std::exception&) {
    }
    if (!startProgram) return;
    // A per-user installer runs with the user's own rights already.
    if (state.perUser) {
        platform.shell.Launch(state.mainProgramPath, "", platform::ShowCommand::Normal);
        return;
    }
    // Started by the installer itself, the program would have its administrator's rights.
    if (platform.shell.LaunchAsSignedInUser(state.mainProgramPath)) return;
    report.Record("No desktop shell to start the program as the signed-in user: started with the installer's rights.");
    platform.shell.Launch(state.mainProgramPath, "", platform::ShowCommand::Normal);
}

}  // namespace velmoran::setup
