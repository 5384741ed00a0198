#include "removal/uninstall_run.h"

#include <algorithm>
#include <optional>

#include "common/path.h"
#include "common/windows_names.h"
#include "removal/removal_scope.h"
#include "setup/application_registrations.h"
#include "setup/payload_names.h"
#include "setup/uninstall_entry.h"
#include "removal/removal_script.h"
#include "setup/exit_codes.h"

namespace velmoran::removal {
namespace {

std::string Normalised(const std::string& folder) { return FoldedCase(WithoutTrailingBackslashes(folder)); }

// The walk below may reach the desktop, the program menu or the program-files
// folder empty; removing one of them, or a folder above one, would damage the
// user's profile or system, so those are never touched.
class ProtectedFolders {
public:
    explicit ProtectedFolders(const platform::SpecialFolders& folders) {
        for (const std::string* folder : {&folders.desktop, &folders.programs, &folders.programFiles})
            if (!folder->empty()) folders_.push_back(Normalised(*folder));
    }
    bool Covers(const std::string& folder) const {
        const std::string candidate = Normalised(folder);
        for (const std::string& kept : folders_) {
            if (candidate.empty() || candidate == kept || LiesBelow(kept, candidate)) return true;
        }
        return false;
    }

private:
    std::vector<std::string> folders_;
};

// Removes the folder if it is empty, then each ancestor while it is longer than
// the base. Only whole folders are tried: a shorter prefix of a folder's name
// names a different folder, which the installation never made.
void RemoveEmptiedFolders(platform::FileSystem& files, const ProtectedFolders& kept, const RemovalScope& scope,
                          std::string folder, std::size_t baseLength) {
    do {
        if (!kept.Covers(folder))
            if (const auto container = scope.FolderContainer(folder)) files.RemoveFolderWithin(folder, *container);
        if (!folder.empty()) folder.pop_back();
        folder = FolderPart(folder);
    } while (folder.size() > baseLength);
}

// A log line in its long form, so that an installation logged through an 8.3
// folder name ("C:\PROGRA~1\Kestrel") matches the uninstaller's own path. Lines
// of one folder follow each other: each folder is asked for once.
class LongLines {
public:
    explicit LongLines(platform::FileSystem& files) : files_(files) {}
    std::optional<std::string> Of(const std::string& line) {
        const auto full = FullLocalPath(line);
        if (!full) return full;
        const std::string folder = FolderPart(*full);
        if (folder != lastFolder_) {
            lastFolder_ = folder;
            lastLongFolder_ = folder.size() > 3 ? files_.LongPath(folder.substr(0, folder.size() - 1)) + "\\" : folder;
        }
        return lastLongFolder_ + FileNamePart(*full);
    }

private:
    platform::FileSystem& files_;
    std::string lastFolder_, lastLongFolder_;
};

// The running uninstaller's path, in its long form.
std::optional<std::string> OwnLongPath(const setup::InstallerState& state, platform::FileSystem& files) {
    const auto own = FullLocalPath(state.programPath);
    if (!own) return own;
    return files.LongPath(*own);
}

// A file a running program holds is deleted when Windows next starts instead,
// where nobody but an administrator could lead that deletion elsewhere.
void RemoveOrSchedule(setup::InstallerState& state, setup::RunReport& report, platform::FileSystem& files,
                      const std::string& path, const std::string& container, const char* removedNote) {
    switch (files.RemoveFileWithin(path, container)) {
        case platform::Removal::Removed: report.Record(removedNote + path); return;
        case platform::Removal::NotRemoved: report.Record("Not removed: " + path); return;
        case platform::Removal::InUse: break;
    }
    if (EqualsIgnoreCase(path, OwnLongPath(state, files).value_or(std::string()))) {
        report.Record("Not removed: " + path);  // the script takes it once this program has ended
    } else if (!platform::RestartOperationIsSafe(files, path, container)) {
        state.leftFilesInUse = true;
        report.Record("In use, left (others may change its folder): " + path);
    } else if (files.DeleteAtRestartWithin(path, container)) {
        state.restartNeeded = true;
        report.Record("In use, deleted when Windows next starts: " + path);
    } else {
        report.Record("Not removed: " + path);
    }
}

// The running uninstaller's own line; its folder is the install folder.
std::string FindUninstallerLine(const setup::InstallLog& log, const std::optional<std::string>& own,
                                platform::FileSystem& files) {
    LongLines lines(files);
    for (std::size_t i = log.Count(); own && i-- > 0;) {
        const auto line = lines.Of(log.Line(i));
        if (line && EqualsIgnoreCase(*line, *own)) return log.Line(i);
    }
    return std::string();
}

// Everything the installation may have made, per-user and common alike: the
// log is not trusted to say where that is.
RemovalScope ScopeOf(const setup::InstallerState& state, const std::string& installFolder, platform::Platform& platform) {
    platform::Registry& registry = platform.registry;
    const auto userValue = [&registry](const char* name) {
        try {
            return platform::ReadShellValue(registry, platform::kShellFoldersKey, name);
        } catch (const std::exception&) {
            return std::string();  // a value of the wrong type names no folder
        }
    };
    std::vector<std::string> desktopShortcuts, groups;
    const std::string& shortcut = state.payload.Manifest().exeShortcut;
    for (const std::string& desktop : {state.folders.desktop, userValue("Desktop")})
        if (!desktop.empty() && setup::IsSafeShortcutName(shortcut)) desktopShortcuts.push_back(JoinPath(desktop, shortcut + ".lnk"));
    for (const std::string& programs : {state.folders.programs, userValue("Programs")})
        if (!programs.empty() && setup::IsSafeAppName(state.appName)) groups.push_back(JoinPath(programs, state.appName));
    return RemovalScope(platform.files, installFolder, desktopShortcuts, groups);
}

// A log beside some other program (an installer in a Downloads folder, say)
// makes it an uninstaller too; the application's entry belongs only to the
// uninstaller it names.
bool EntryNamesThisProgram(platform::Registry& registry, platform::Hive hive, const std::string& key,
                           const std::string& programPath) {
    std::string command;
    try {
        command = registry.ReadString(hive, key, "UninstallString", platform::KeyAccess::Read);
    } catch (const std::exception&) {
        return false;  // a value of another type names nothing
    }
    const auto named = FullLocalPath(setup::UninstallCommandProgram(command)), own = FullLocalPath(programPath);
    return named && own && EqualsIgnoreCase(*named, *own);
}

std::vector<std::string> FolderEntries(const setup::InstallerState& state, setup::RunReport& report,
                                       platform::FileSystem& files) {
    std::vector<std::string> names = files.ListFolder(FolderPart(state.uninstallerPath) + "\\*.*");
    for (std::size_t i = 0; i < names.size(); ++i) report.KeepResponsive();
    return names;
}

}  // namespace

std::vector<std::string> RunUninstall(setup::InstallerState& state, setup::RunReport& report,
                                      platform::Platform& platform) {
    const std::size_t count = state.log.Count();
    report.StartProgress(static_cast<long long>(count));
    report.Status("Uninstalling...");
    if (count == 0) {
        // Nothing was recorded, so there is nothing this run may remove.
        report.Status("Uninstall Complete.");
        return {};
    }

    const auto ownPath = OwnLongPath(state, platform.files);
    const std::string installFolder = FolderPart(ownPath.value_or(state.programPath));
    const RemovalScope scope = ScopeOf(state, installFolder, platform);
    if (!scope.HasInstallFolder()) {
        // Moved elsewhere through a junction, say: what lies there is not known
        // to be this installation's, and without the entry and the uninstaller
        // nothing would be left to remove it by.
        state.uninstallRefused = true;
        report.Tell(setup::Notice::Error, "The application folder \"" + installFolder +
                                              "\" is a junction or symbolic link, or cannot be opened: nothing was "
                                              "uninstalled.");
        report.Status("Nothing was uninstalled.");
        return {};
    }
    const std::string registrationLog = setup::RegistrationLogPath(installFolder, state.appName);
    if (const auto container = scope.FileContainer(registrationLog))
        setup::UnregisterApplication(state, installFolder, *container, report, platform);
    const std::string uninstallerLine = FindUninstallerLine(state.log, ownPath, platform.files);
    LongLines lines(platform.files);
    // The walk runs over folded paths, so the base is measured on one too.
    const std::string baseLine = uninstallerLine.empty() ? state.log.Line(0) : uninstallerLine;
    const std::size_t baseLength = FolderPart(lines.Of(baseLine).value_or(baseLine)).size();
    const ProtectedFolders kept(state.folders);
    // Each line is folded once: it is the next line of the one after it first.
    std::optional<std::string> path = lines.Of(state.log.Line(count - 1));
    for (std::size_t i = count; i-- > 0;) {
        const std::string line = state.log.Line(i);
        if (state.uninstallerPath.empty() && !uninstallerLine.empty() && line == uninstallerLine)
            state.uninstallerPath = line;
        std::optional<std::string> next = i > 0 ? lines.Of(state.log.Line(i - 1)) : std::nullopt;
        const auto container = path ? scope.FileContainer(*path) : std::nullopt;
        if (!container) {
            report.Record("Skipped, not a place of this installation: " + line);
        } else {
            RemoveOrSchedule(state, report, platform.files, *path, *container, "Removed: ");
            // Lines of one folder follow each other: its folder is tried once, as the run leaves it.
            const std::string folder = FolderPart(*path);
            if (!next || !EqualsIgnoreCase(FolderPart(*next), folder))
                RemoveEmptiedFolders(platform.files, kept, scope, folder, baseLength);
        }
        path = std::move(next);
        report.Advance(1);
        // A long run must not leave a window that answers nothing.
        report.KeepResponsive();
    }
    const std::string entry = std::string(platform::kUninstallKeyPrefix) + state.appName;
    const platform::Hive hive = setup::EntryHive(state.perUser);
    if (!state.appName.empty() && EntryNamesThisProgram(platform.registry, hive, entry, state.programPath))
        platform.registry.DeleteKeyTree(hive, entry);
    report.Status(state.restartNeeded ? "Uninstall Complete.  Windows must be restarted to remove the files in use."
                                      : "Uninstall Complete.");
    return FolderEntries(state, report, platform.files);
}

int UninstallExitCode(const setup::InstallerState& state) {
    if (state.uninstallRefused) return setup::kExitFailedBeforeWriting;
    return setup::ExitCodeWhenDone(state.restartNeeded);
}

void RemoveSuperseded(setup::InstallerState& state, setup::RunReport& report, platform::Platform& platform) {
    const setup::InstallLog& previous = state.previousLog;
    if (previous.Count() == 0) return;
    std::vector<std::string> written;  // sorted, for lookups in log time
    for (std::size_t i = 0; i < state.log.Count(); ++i)
        if (const auto path = FullLocalPath(state.log.Line(i))) written.push_back(FoldedCase(*path));
    std::sort(written.begin(), written.end());
    const auto folder = FullLocalPath(state.installFolder);
    if (!folder) return;
    const std::size_t baseLength = folder->size() + 1;
    const ProtectedFolders kept(state.folders);
    const RemovalScope scope = ScopeOf(state, *folder, platform);
    LongLines lines(platform.files);
    for (std::size_t i = previous.Count(); i-- > 0;) {
        const auto path = lines.Of(previous.Line(i));
        if (!path || std::binary_search(written.begin(), written.end(), FoldedCase(*path))) continue;
        const auto container = scope.FileContainer(*path);
        if (!container) continue;
        RemoveOrSchedule(state, report, platform.files, *path, *container, "Removed, no longer installed: ");
        RemoveEmptiedFolders(platform.files, kept, scope, FolderPart(*path), baseLength);
    }
    state.previousLog.Clear();
}

void RecordLeftovers(const setup::InstallerState& state, const std::vector<std::string>& names,
                     setup::RunReport& report) {
    const std::string own = FileNamePart(state.uninstallerPath);
    for (const std::string& name : names)
        if (!EqualsIgnoreCase(name, own)) report.Record("Left in the application folder: " + FolderPart(state.uninstallerPath) + name);
}

void FinishUninstall(setup::InstallerState& state, platform::Platform& platform, platform::ShowCommand show) {
    if (!state.uninstallerPath.empty()) {
        const std::string scriptPath = PrepareScriptPath(platform.files);
        const std::string systemFolder = platform.files.SystemFolder();
        // A folder of the user's the application was installed to stays, empty or not.
        const bool keep = ProtectedFolders(state.folders).Covers(FolderPart(state.uninstallerPath));
        if (const auto script = MakeRemovalScript(state.uninstallerPath, systemFolder,
                                                  keep ? UninstallerFolder::Keep : UninstallerFolder::Remove)) {
            WriteScript(platform.files, scriptPath, script->lines);
            for (const auto& [name, value] : script->environment) platform.shell.SetChildEnvironment(name, value);
            // Started in the system folder, not in the uninstaller's current one.
            platform.shell.Launch(scriptPath, "", show, systemFolder);
        }
    }
}

}  // namespace velmoran::removal
