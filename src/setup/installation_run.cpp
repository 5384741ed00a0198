#include "setup/installation_run.h"

#include <algorithm>
#include <chrono>
#include <optional>

#include "common/failure.h"
#include "common/path.h"
#include "common/windows_names.h"
#include "payload/file_entry.h"
#include "payload/pe_layout.h"
#include "setup/exit_codes.h"
#include "setup/payload_names.h"
#include "setup/uninstall_entry.h"

namespace velmoran::setup {
namespace {

// Passes inflated bytes to the file and keeps the window responsive during a
// long file: the report hears from it at least every 100 ms of work.
class ResponsiveSink : public ByteSink {
public:
    ResponsiveSink(ByteSink& file, RunReport& report) : file_(file), report_(report), last_(Clock::now()) {}
    void Write(const uint8_t* data, std::size_t size) override {
        file_.Write(data, size);
        if (Clock::now() - last_ >= std::chrono::milliseconds(100)) {
            report_.KeepResponsive();
            last_ = Clock::now();
        }
    }

private:
    using Clock = std::chrono::steady_clock;
    ByteSink& file_;
    RunReport& report_;
    Clock::time_point last_;
};

// The headers of the uninstaller copy (`head`, the file's first bytes): a
// signed installer's security directory points past the copy's end, which
// would make the copy a program with a broken signature. It becomes an unsigned
// one: the entry and the checksum that covered it are cleared.
Bytes UnsignedHeaders(Bytes head, uint64_t copyLength) {
    const auto layout = payload::ReadPeLayout(head.data(), head.size());
    if (layout && layout->certificateSize != 0 &&
        static_cast<uint64_t>(layout->certificateOffset) + layout->certificateSize > copyLength) {
        std::fill_n(head.begin() + static_cast<long>(layout->securityEntry), 8, 0);
        std::fill_n(head.begin() + static_cast<long>(layout->checksumField), 4, 0);
    }
    return head;
}

// Passes bytes on until the first write failure, which it keeps to itself.
class WriteUntilFailure : public ByteSink {
public:
    explicit WriteUntilFailure(ByteSink& file) : file_(file) {}
    void Write(const uint8_t* data, std::size_t size) override {
        if (failed) return;
        try {
            file_.Write(data, size);
        } catch (const std::exception&) {
            failed = true;
        }
    }
    bool failed = false;

private:
    ByteSink& file_;
};

// The first part of the installer file, up to the file data: it finds the same
// payload when it starts, and carries no files. A copy that cannot be written
// is left out (the uninstaller is a convenience: the installation stands without
// it); a read error of the installer is the reader's failure.
void WriteUninstallerCopy(InstallerState& state, RunReport& report, platform::FileSystem& files,
                          const std::string& finalFolder) {
    state.payload.ReloadImage();
    const uint64_t count = std::min<uint64_t>(state.payload.FileDataStart(), state.payload.FileSize());
    const Bytes headers = UnsignedHeaders(state.payload.ReadStored(0, std::min<uint64_t>(count, payload::kPeHeaderBytes)), count);
    std::unique_ptr<platform::WritableFile> copy;
    try {
        copy = files.CreateFileWithin(state.installFolder + "\\uninstall.exe", finalFolder);
    } catch (const std::exception&) {
        return;
    }
    WriteUntilFailure sink(*copy);
    sink.Write(headers.data(), headers.size());
    state.payload.CopyStored(headers.size(), count, sink);
    if (sink.failed) return;
    report.Advance(static_cast<long long>(count));
    report.Record("Uninstaller: " + state.installFolder + "\\uninstall.exe (" + std::to_string(count) + " bytes)");
}

// Where a file waits, beside the one a running program holds, for Windows to
// put it in place when it next starts.
std::string ReplacementName(const std::string& path) { return path + ".~new"; }

void ReplaceAtRestart(InstallerState& state, RunReport& report, platform::FileSystem& files, const std::string& path) {
    if (!files.ReplaceAtRestart(ReplacementName(path), path))
        throw Failure("Cannot replace \"" + path + "\", which another program uses, when Windows next starts.");
    state.restartNeeded = true;
    report.Record("In use, replaced when Windows next starts: " + path);
}

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

// The files already in the folder that this run replaces, or (named by an
// earlier installation's log, inside the folder) may delete: each by the final
// path its handle reports, and only when that lies in the folder. Restart
// Manager would otherwise close whatever holds a file a junction leads to.
std::vector<std::string> FilesToReplace(InstallerState& state, platform::FileSystem& files, const std::string& folder,
                                        const std::string& finalFolder) {
    std::vector<std::string> found;
    const auto add = [&](const std::string& path) {
        const auto finalPath = files.FinalFilePath(path);
        if (finalPath && platform::FinalPathWithin(*finalPath, finalFolder)) found.push_back(*finalPath);
    };
    for (const payload::HeaderFileEntry& file : state.payload.Manifest().files) add(JoinPath(folder, file.path));
    const auto fullFolder = FullLocalPath(folder);
    for (std::size_t i = 0; fullFolder && i < state.previousLog.Count(); ++i) {
        const auto path = FullLocalPath(state.previousLog.Line(i));
        if (path && LiesBelow(*path, *fullFolder)) add(*path);
    }
    return found;
}

// Programs holding files this run replaces are named, and closed unless told
// not to (No, or /NOCLOSEAPPLICATIONS); a file still held when its turn comes
// waits for the next start of Windows.
void CloseHoldingPrograms(InstallerState& state, RunReport& report, platform::Platform& platform,
                          const std::vector<std::string>& files, RestartClosedPrograms& restart) {
    if (files.empty()) return;
    const std::vector<std::string> names = platform.programs.Holding(files);
    if (names.empty()) return;
    std::string list;
    for (const std::string& name : names) list += "\r" + name;
    report.Record("Programs using the files: " + list.substr(1));
    if (!state.closeApplications ||
        !report.Ask("These programs use files the installation replaces:" + list +
                    "\rClose them and go on? (No goes on; Windows then finishes the installation when it next starts.)"))
        return;
    restart.closed = true;
    report.Record(platform.programs.Close() ? "Closed them." : "Some of them would not close.");
}

// A path the payload names relative to the install folder; an empty one is the folder itself.
std::string InstalledPath(const std::string& folder, const std::string& relative) {
    return relative.empty() ? folder : JoinPath(folder, relative);
}

// Each .lnk is written new through a file checked to lie in its own folder (the
// desktop, or the program group this run made; none when that folder is
// missing or a junction of its own). One that cannot be saved is simply
// missing, as the shell-link object's own save would leave it.
void MakeShortcuts(InstallerState& state, RunReport& report, platform::Platform& platform) {
    const payload::HeaderManifest& header = state.payload.Manifest();
    const std::string mainTarget = InstalledPath(state.installFolder, header.exeName);
    const std::string& name = header.exeShortcut;
    const auto shortcut = [&](const std::string& description, const std::string& folder,
                              const std::optional<std::string>& finalFolder, const std::string& target) {
        const std::string link = JoinPath(folder, description + ".lnk");
        const Bytes content = platform.shell.ShortcutContent(description, target);
        try {
            if (finalFolder && !content.empty()) {
                platform.files.CreateFileWithin(link, *finalFolder)->Write(content.data(), content.size());
                report.Record("Shortcut: " + link + " -> " + target);
            }
        } catch (const std::exception&) {
        }
        state.log.Append(link);
    };
    const std::string& desktop = state.folders.desktop;
    if (!desktop.empty())
        shortcut(name, desktop, platform::FinalFolderPathIfAny(platform.files, desktop, platform::LinkAtFolder::Follow), mainTarget);
    if (state.folders.programs.empty()) return;
    const std::string group = JoinPath(state.folders.programs, state.appName);
    platform.files.CreateFolder(group, platform::FolderRights::Inherited);
    const auto finalGroup = platform::FinalFolderPathIfAny(platform.files, group, platform::LinkAtFolder::Refuse);
    shortcut(name, group, finalGroup, mainTarget);
    for (const payload::ShortcutEntry& extra : header.shortcuts)
        shortcut(extra.name, group, finalGroup, InstalledPath(state.installFolder, extra.target));
}

enum class FileOutcome { Written, ReplacedAtRestart, LeftInUse };

// Writes one file from the payload. One a running program holds is written
// beside it and put in place when Windows next starts, but only where no other
// user could lead that replacement elsewhere; otherwise it stays as it is.
FileOutcome InstallFile(InstallerState& state, RunReport& report, platform::FileSystem& files,
                        const std::string& destination, const std::string& finalFolder, int32_t size) {
    std::unique_ptr<platform::WritableFile> file;
    bool held = false;
    try {
        file = files.CreateFileWithin(destination, finalFolder);
    } catch (const platform::FileInUse&) {
        if (!platform::RestartOperationIsSafe(files, destination, finalFolder)) {
            DiscardingSink skip;
            state.payload.ReadFile(size, skip);
            report.Record("In use, left as it was (others may change its folder): " + destination);
            return FileOutcome::LeftInUse;
        }
        held = true;
        // Logged too: without a restart it stays, and the uninstall takes it.
        state.log.Append(ReplacementName(destination));
        file = files.CreateFileWithin(ReplacementName(destination), finalFolder);
    }
    state.wroteFiles = true;
    {
        ResponsiveSink sink(*file, report);
        state.payload.ReadFile(size, sink);
        file.reset();
    }
    if (!held) return FileOutcome::Written;
    ReplaceAtRestart(state, report, files, destination);
    return FileOutcome::ReplacedAtRestart;
}

// The file a folder that cannot be made is reported for: the first the run
// would write, or the log when there are none.
std::string FirstDestination(InstallerState& state, const std::string& folder) {
    const std::vector<payload::HeaderFileEntry>& files = state.payload.Manifest().files;
    if (!files.empty() && files[0].listed) return JoinPath(folder, files[0].path);
    return JoinPath(folder, state.appName + ".ilg");
}

}  // namespace

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

RunOutcome RunInstallation(InstallerState& state, const std::string& chosenFolder, RunReport& report,
                           platform::Platform& platform) {
    if (!state.fileDataStartRecorded) {
        // Start-up did not finish reading the payload: the file data's place is
        // unknown, so neither files nor an uninstaller could be written right.
        report.Tell(Notice::Error, "The installer could not be read completely, so it cannot install.");
        return RunOutcome::Unreadable;
    }
    const payload::HeaderManifest& header = state.payload.Manifest();
    header.fileCount.Value();  // a count that is no number stops the run before anything else
    if (chosenFolder.empty()) {
        report.Tell(Notice::Warning, "Please choose a folder to install the software to.");
        return RunOutcome::Declined;
    }
    // A name that leaves the install folder could overwrite any file on the
    // machine: a damaged or hostile installer is refused before anything is written.
    if (const auto problem = FindUnsafeName(header)) {
        report.Tell(Notice::Abort, *problem);
        return RunOutcome::Refused;
    }
    const bool folderExisted = platform.files.FolderExists(chosenFolder);
    if (folderExisted &&
        !report.Ask("Folder already exists, existing files may be overwritten.\r"
                    "Are you sure you want to install the software here?"))
        return RunOutcome::Declined;
    // The folder's rights are the user's choice and stay; what lies in it could
    // be replaced by another user before an administrator runs it.
    if (folderExisted && !state.perUser && platform.files.OthersMayChange(chosenFolder) &&
        !report.Ask(Format("Other users of this computer may change the folder \"%s\": they could replace the "
                           "programs installed there.\rInstall here anyway?",
                           chosenFolder)))
        return RunOutcome::Declined;

    report.StartProgress(header.fileBytes.Value());
    // Made even when no file lies in it, so the uninstaller and the log have a
    // place; for everyone's use, so that only administrators may change it.
    const std::string reason = CreateFoldersTopDown(
        platform.files, chosenFolder,
        state.perUser ? platform::FolderRights::Inherited : platform::FolderRights::AdministratorsOnly);
    if (!platform.files.FolderExists(chosenFolder))
        throw Failure(Format("Cannot create file \"%s\". %s", FirstDestination(state, chosenFolder), reason));
    // Logged in full: the uninstaller finds itself by its long name.
    const std::string folder = platform.files.LongPath(chosenFolder);
    const std::string finalFolder = platform.files.FinalFolderPath(folder, platform::LinkAtFolder::Refuse);
    state.installFolder = folder;
    state.mainProgramPath = InstalledPath(folder, header.exeName);
    // An earlier installation's log names what this one may leave behind; it is
    // replaced below, so it is read first. One that cannot be read names nothing.
    const std::string logPath = JoinPath(folder, state.appName + ".ilg");
    state.previousLog.Clear();
    try {
        if (platform.files.FileExists(logPath)) state.previousLog.Load(platform.files, logPath, platform.codePage);
    } catch (const std::exception&) {
        state.previousLog.Clear();
    }
    report.Record("Install folder: " + folder);
    RestartClosedPrograms restartClosed(platform.programs);
    // In a folder this run made, nothing can be in use yet.
    if (folderExisted)
        CloseHoldingPrograms(state, report, platform, FilesToReplace(state, platform.files, folder, finalFolder),
                             restartClosed);

    uint64_t installedBytes = 0;
    std::string leftInUse;  // files a program holds that no restart may replace
    std::string lastFolder;  // files come folder by folder; each is made once
    for (const payload::HeaderFileEntry& entry : header.files) {
        report.Status("Installing : " + entry.path);
        const std::string destination = JoinPath(folder, entry.path);
        const std::string destinationFolder = FolderPart(destination);
        if (destinationFolder != lastFolder) {
            lastFolder = destinationFolder;
            // Folders are made only where no link leads elsewhere; the files in
            // them are checked again, by handle, as they are made.
            const std::string link = platform::FirstLinkOnWay(platform.files, folder, lastFolder);
            if (!link.empty()) throw platform::LinkRefusal(link);
            CreateFoldersTopDown(platform.files, lastFolder, platform::FolderRights::Inherited);
        }
        state.log.Append(destination);
        const int32_t size = entry.size.Value();
        const FileOutcome outcome = InstallFile(state, report, platform.files, destination, finalFolder, size);
        report.Advance(size);
        installedBytes += static_cast<uint64_t>(size);
        if (outcome == FileOutcome::LeftInUse) {
            leftInUse += "\r" + destination;
            continue;
        }
        if (!platform.files.FileExists(destination)) {
            report.Tell(Notice::Abort, "Could not install file - aborting installation");
            return RunOutcome::Failed;
        }
        report.Record("File: " + destination + " (" + std::to_string(size) + " bytes)");
    }

    if (!leftInUse.empty())
        report.Tell(Notice::Warning, "These files are in use and stay as they were: other users of this computer may "
                                     "change their folder, so Windows cannot safely replace them when it next starts." +
                                         leftInUse);
    state.log.Append(folder + "\\uninstall.exe");
    WriteUninstallerCopy(state, report, platform.files, finalFolder);
    state.log.Append(logPath);
    if (!state.noIcons) MakeShortcuts(state, report, platform);
    state.log.Save(platform.files, logPath, finalFolder);
    report.Record("Install log: " + logPath);
    const bool namesProgram = !header.exeName.empty();
    RegisterUninstallEntry(platform.registry, header,
                           {state.appName, folder, namesProgram ? state.mainProgramPath : std::string(), installedBytes,
                            state.perUser});
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
