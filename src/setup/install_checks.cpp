#include "setup/install_checks.h"

#include "common/failure.h"
#include "setup/payload_names.h"

namespace velmoran::setup {
namespace {

InstallCheck Stop(RunOutcome outcome) { return InstallCheck{outcome, false}; }

}  // namespace

InstallCheck CheckBeforeInstalling(InstallerState& state, const std::string& chosenFolder, RunReport& report,
                                   platform::Platform& platform) {
    InstallCheck check;
    if (!state.fileDataStartRecorded) {
        // Start-up did not finish reading the payload: the file data's place is
        // unknown, so neither files nor an uninstaller could be written right.
        report.Tell(Notice::Error, "The installer could not be read completely, so it cannot install.");
        return Stop(RunOutcome::Unreadable);
    }
    const payload::HeaderManifest& header = state.payload.Manifest();
    header.fileCount.Value();  // a count that is no number stops the run before anything else
    if (chosenFolder.empty()) {
        report.Tell(Notice::Warning, "Please choose a folder to install the software to.");
        return Stop(RunOutcome::Declined);
    }
    // A name that leaves the install folder could overwrite any file on the
    // machine: a damaged or hostile installer is refused before anything is written.
    if (const auto problem = FindUnsafeName(header)) {
        report.Tell(Notice::Abort, *problem);
        return Stop(RunOutcome::Refused);
    }
    check.folderExisted = platform.files.FolderExists(chosenFolder);
    if (check.folderExisted &&
        !report.Ask("Folder already exists, existing files may be overwritten.\r"
                    "Are you sure you want to install the software here?"))
        return Stop(RunOutcome::Declined);
    // The folder's rights are the user's choice and stay; what lies in it could
    // be replaced by another user before an administrator runs it.
    if (check.folderExisted && !state.perUser && platform.files.OthersMayChange(chosenFolder) &&
        !report.Ask(Format("Other users of this computer may change the folder \"%s\": they could replace the "
                           "programs installed there.\rInstall here anyway?",
                           chosenFolder)))
        return Stop(RunOutcome::Declined);

    return check;
}

}  // namespace velmoran::setup
