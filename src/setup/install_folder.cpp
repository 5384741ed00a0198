#include "setup/install_folder.h"

#include <exception>

#include "common/failure.h"
#include "common/path.h"
#include "setup/shortcuts.h"

namespace velmoran::setup {
namespace {

// The file a folder that cannot be made is reported for: the first the run
// would write, or the log when there are none.
std::string FirstDestination(InstallerState& state, const std::string& folder) {
    const std::vector<payload::HeaderFileEntry>& files = state.payload.Manifest().files;
    if (!files.empty() && files[0].listed) return JoinPath(folder, files[0].path);
    return JoinPath(folder, state.appName + ".ilg");
}

}  // namespace

std::string CreateFoldersTopDown(platform::FileSystem& files, const std::string& folder, platform::FolderRights rights) {
    std::string firstReason;
    const auto make = [&](const std::string& level) {
        if (files.FolderExists(level)) return;
        const std::string reason = files.CreateFolder(level, rights);
        if (firstReason.empty()) firstReason = reason;
    };
    for (std::string::size_type end = folder.find('\\'); end != std::string::npos; end = folder.find('\\', end + 1)) {
        const std::string level = folder.substr(0, end);
        if (!level.empty() && level.back() != ':') make(level);
    }
    if (!folder.empty() && folder.back() != '\\') make(folder);
    return firstReason;
}

InstallPlace PrepareInstallFolder(InstallerState& state, const std::string& chosenFolder, RunReport& report,
                                  platform::Platform& platform) {
    // Made even when no file lies in it, so the uninstaller and the log have a
    // place; for everyone's use, so that only administrators may change it.
    const std::string reason = CreateFoldersTopDown(
        platform.files, chosenFolder,
        state.perUser ? platform::FolderRights::Inherited : platform::FolderRights::AdministratorsOnly);
    if (!platform.files.FolderExists(chosenFolder))
        throw Failure(Format("Cannot create file \"%s\". %s", FirstDestination(state, chosenFolder), reason));
    // Logged in full: the uninstaller finds itself by its long name.
    InstallPlace place;
    place.folder = platform.files.LongPath(chosenFolder);
    place.finalFolder = platform.files.FinalFolderPath(place.folder, platform::LinkAtFolder::Refuse);
    state.installFolder = place.folder;
    state.mainProgramPath = InstalledPath(place.folder, state.payload.Manifest().exeName);
    // An earlier installation's log names what this one may leave behind; it is
    // replaced below, so it is read first. One that cannot be read names nothing.
    place.logPath = JoinPath(place.folder, state.appName + ".ilg");
    state.previousLog.Clear();
    try {
        if (platform.files.FileExists(place.logPath)) state.previousLog.Load(platform.files, place.logPath, platform.codePage);
    } catch (const std::exception&) {
        state.previousLog.Clear();
    }
    report.Record("Install folder: " + place.folder);
    return place;
}

}  // namespace velmoran::setup
