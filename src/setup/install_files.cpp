#include "setup/install_files.h"

#include <memory>

#include "common/failure.h"
#include "common/path.h"
#include "setup/install_folder.h"

namespace velmoran::setup {
namespace {

// Passes inflated bytes to the file and keeps the window responsive during a
// long file: each piece written is a unit of work (the window's pump decides
// how often that is worth a look at its queue).
class ResponsiveSink : public ByteSink {
public:
    ResponsiveSink(ByteSink& file, RunReport& report) : file_(file), report_(report) {}
    void Write(const uint8_t* data, std::size_t size) override {
        file_.Write(data, size);
        report_.KeepResponsive();
    }

private:
    ByteSink& file_;
    RunReport& report_;
};

// Where a file waits, beside the one a running program holds, for Windows to
// put it in place when it next starts.
std::string ReplacementName(const std::string& path) { return path + ".~new"; }

void ReplaceAtRestart(InstallerState& state, RunReport& report, platform::FileSystem& files, const std::string& path) {
    if (!files.ReplaceAtRestart(ReplacementName(path), path))
        throw Failure("Cannot replace \"" + path + "\", which another program uses, when Windows next starts.");
    state.restartNeeded = true;
    report.Record("In use, replaced when Windows next starts: " + path);
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

}  // namespace

RunOutcome InstallFiles(InstallerState& state, RunReport& report, platform::FileSystem& files,
                        const InstallPlace& place, uint64_t& installedBytes) {
    const std::string& folder = place.folder;
    const std::string& finalFolder = place.finalFolder;
    std::string leftInUse;  // files a program holds that no restart may replace
    std::string lastFolder;  // files come folder by folder; each is made once
    for (const payload::HeaderFileEntry& entry : state.payload.Manifest().files) {
        report.Status("Installing : " + entry.path);
        const std::string destination = JoinPath(folder, entry.path);
        const std::string destinationFolder = FolderPart(destination);
        if (destinationFolder != lastFolder) {
            lastFolder = destinationFolder;
            // Folders are made only where no link leads elsewhere; the files in
            // them are checked again, by handle, as they are made.
            const std::string link = platform::FirstLinkOnWay(files, folder, lastFolder);
            if (!link.empty()) throw platform::LinkRefusal(link);
            CreateFoldersTopDown(files, lastFolder, platform::FolderRights::Inherited);
        }
        state.log.Append(destination);
        const int32_t size = entry.size.Value();
        const FileOutcome outcome = InstallFile(state, report, files, destination, finalFolder, size);
        report.Advance(size);
        installedBytes += static_cast<uint64_t>(size);
        if (outcome == FileOutcome::LeftInUse) {
            leftInUse += "\r" + destination;
            continue;
        }
        if (!files.FileExists(destination)) {
            report.Tell(Notice::Abort, "Could not install file - aborting installation");
            return RunOutcome::Failed;
        }
        report.Record("File: " + destination + " (" + std::to_string(size) + " bytes)");
    }

    if (!leftInUse.empty())
        report.Tell(Notice::Warning, "These files are in use and stay as they were: other users of this computer may "
                                     "change their folder, so Windows cannot safely replace them when it next starts." +
                                         leftInUse);
    return RunOutcome::Done;
}

}  // namespace velmoran::setup
