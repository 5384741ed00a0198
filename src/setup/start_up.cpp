#include "setup/start_up.h"

#include "common/path.h"
#include "common/windows_names.h"
#include "setup/exit_codes.h"
#include "payload/format.h"
#include "setup/payload_names.h"
#include "setup/uninstall_entry.h"

namespace velmoran::setup {

std::optional<std::string> OpenInstaller(InstallerState& state, platform::Platform& platform,
                                         const std::function<void(const std::string&)>& onProblem) {
    // Special folders, empty lists and the payload, in one failure block: any
    // failure is reported as a damaged installer.
    try {
        state.folders = platform::LookUpSpecialFolders(platform.registry);
        state.log.Clear();
        state.payload.Open(*state.ownFile, state.programPath, onProblem);
        // Before 1903 Windows runs the ANSI calls in the legacy code page,
        // whatever the manifest asks: UTF-8 names would come out garbled.
        if (state.payload.Utf8() && !state.payload.Settings().IsAscii() && !platform.codePage.AnsiIsUtf8())
            return std::string(kNeedsUtf8Windows);
        state.payload.ConvertLegacyText([&platform](const std::string& text) { return platform.codePage.FromLegacy(text); });
        state.payload.SeekItemArea();
        state.perUser = state.payload.Manifest().perUser;
        if (state.perUser) state.folders = platform::LookUpUserFolders(platform.registry);
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
    if (!state.previousFolder.empty()) return SplitFolder(state.previousFolder);
    const std::string& target = state.payload.Manifest().targetFolder;
    const std::string folder = FolderPart(target);
    const auto firstBackslash = folder.find('\\');
    const std::string tail = firstBackslash == std::string::npos ? folder : folder.substr(firstBackslash);
    if (ClimbsOrStays(tail + FileNamePart(target))) return std::nullopt;
    return ProposedFolder{state.folders.programFiles + tail, FileNamePart(target)};
}

namespace {

std::string EntryValue(platform::Registry& registry, platform::Hive hive, const std::string& key, const char* name) {
    try {
        return registry.ReadString(hive, key, name, platform::KeyAccess::Read);
    } catch (const std::exception&) {
        return std::string();  // a value of another type says nothing
    }
}

}  // namespace

ProposedFolder SplitFolder(const std::string& folder) {
    return ProposedFolder{WithoutTrailingBackslashes(FolderPart(folder)), FileNamePart(folder)};
}

std::string FolderPath(const ProposedFolder& folder) {
    return JoinPath(folder.base, folder.name);
}

void FindPreviousInstallation(InstallerState& state, platform::Platform& platform) {
    if (!IsSafeAppName(state.appName)) return;
    const std::string key = std::string(platform::kUninstallKeyPrefix) + state.appName;
    const platform::Hive hive = EntryHive(state.perUser);
    std::string location = EntryValue(platform.registry, hive, key, "InstallLocation");
    if (location.empty())
        location = FolderPart(UninstallCommandProgram(EntryValue(platform.registry, hive, key, "UninstallString")));
    const auto registered = InstallFolderPath(location);
    if (registered && platform.files.FolderExists(*registered)) {
        state.previousFolder = *registered;
        state.previousVersion = EntryValue(platform.registry, hive, key, "DisplayVersion");
        return;
    }
    const auto proposed = ProposeInstallFolder(state);
    if (!proposed) return;
    const std::string folder = FolderPath(*proposed);
    if (platform.files.FileExists(JoinPath(folder, state.appName + ".ilg"))) state.previousFolder = folder;
}

std::optional<std::string> DowngradeQuestion(const InstallerState& state) {
    const std::string& ours = state.payload.Manifest().version;
    const auto installed = VersionNumbers(state.previousVersion), ourNumbers = VersionNumbers(ours);
    if (state.previousFolder.empty() || !installed || !ourNumbers || *installed <= *ourNumbers) return std::nullopt;
    return "A newer version (" + state.previousVersion + ") of " + state.appName + " is installed. Install version " +
           ours + " over it?";
}

bool ChooseUninstall(InstallerState& state, platform::Platform& platform) {
    const std::string logPath = JoinPath(FolderPart(state.programPath), state.appName + ".ilg");
    // A name that is not one folder's name could point the log path anywhere.
    if (IsSafeAppName(state.appName) && platform.files.FileExists(logPath)) {
        state.log.Load(platform.files, logPath, platform.codePage);
        return true;
    }
    state.payload.RecordFileDataStart();
    state.fileDataStartRecorded = true;
    return false;
}

Admission Admit(const InstallerState& state, platform::Platform& platform, SetupLog* log) {
    const std::string& appName = state.appName;
    // The system account's profile is nobody's: a per-user installation there
    // would reach no user.
    if (state.perUser && platform.shell.RunsAsSystem())
        return {kExitFailedBeforeWriting, appName + " is installed for the signed-in user, and this run has none: "
                                                    "it runs as the system account."};
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
