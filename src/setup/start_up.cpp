#include "setup/start_up.h"

#include "common/header_number.h"
#include "common/path.h"
#include "common/windows_names.h"
#include "setup/exit_codes.h"
#include "setup/payload_names.h"

namespace velmoran::setup {

std::optional<std::string> OpenInstaller(InstallerState& state, platform::Registry& registry,
                                         const std::function<void(const std::string&)>& onProblem) {
    // Special folders, empty lists and the payload, in one failure block: any
    // failure is reported as a damaged installer.
    try {
        state.folders = platform::LookUpSpecialFolders(registry);
        state.log.Clear();
        state.payload.Open(*state.ownFile, state.programPath, onProblem);
        state.payload.SeekItemArea();
        return std::nullopt;
    } catch (const payload::OpenFailure& failure) {
        return std::string(failure.what());
    } catch (const std::exception&) {
        return payload::OpenFailureMessage(payload::OpenFailureKind::General);
    }
}

namespace {

// A "." or ".." component (Windows trims trailing dots and spaces, so "..." and
// ". " count too) would propose a folder other than the one the name shows.
bool ClimbsOrStays(const std::string& path) {
    return !EveryComponent(path, [](const std::string& part) {
        return part.empty() || part.find_first_not_of(". ") != std::string::npos;
    });
}

}  // namespace

std::optional<ProposedFolder> ProposeInstallFolder(const InstallerState& state) {
    const std::string target = state.payload.Value("TargetFolder");
    const std::string folder = FolderPart(target);
    const auto firstBackslash = folder.find('\\');
    const std::string tail = firstBackslash == std::string::npos ? folder : folder.substr(firstBackslash);
    if (ClimbsOrStays(tail + FileNamePart(target))) return std::nullopt;
    return ProposedFolder{state.folders.programFiles + tail, FileNamePart(target)};
}

void SkipPresentation(InstallerState& state) {
    DiscardingSink nowhere;
    for (const char* picture : {"Splash", "Icon"}) {
        const std::string size = state.payload.Value(picture);
        if (!size.empty()) state.payload.InflateItem(ParseHeaderNumber(size), nowhere);
    }
    for (const char* text : {"infoAbout", "infoInstall"})
        state.payload.CopyRawItem(ParseHeaderNumber(state.payload.Value(text)), nowhere);
}

bool ChooseUninstall(InstallerState& state, platform::FileSystem& files) {
    std::string ownFolder = FolderPart(state.programPath);
    if (!ownFolder.empty() && ownFolder.back() == '\\') ownFolder.pop_back();
    const std::string logPath = ownFolder + "\\" + state.appName + ".ilg";
    // A name that is not one folder's name could point the log path anywhere.
    if (IsSafeAppName(state.appName) && files.FileExists(logPath)) {
        state.log.Load(files, logPath);
        return true;
    }
    state.payload.RecordFileDataStart();
    state.fileDataStartRecorded = true;
    return false;
}

Admission Admit(const std::string& appName, platform::Platform& platform, SetupLog* log) {
    if (log) {
        std::string problem = log->Open(platform.files, appName);
        if (!problem.empty()) return {kExitCouldNotStart, problem};
    }
    if (!platform.shell.ClaimSingleRun(appName))
        return {kExitAnotherRunning, "Another installation or uninstall of " + appName +
                                         " is running. Please try again when it has finished."};
    return {};
}

}  // namespace velmoran::setup
