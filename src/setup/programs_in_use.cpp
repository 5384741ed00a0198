#include "setup/programs_in_use.h"

#include <optional>
#include <vector>

#include "common/path.h"
#include "common/windows_names.h"

namespace velmoran::setup {
namespace {

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

}  // namespace

void CloseProgramsHolding(InstallerState& state, RunReport& report, platform::Platform& platform,
                          const std::string& folder, const std::string& finalFolder, RestartClosedPrograms& restart) {
    CloseHoldingPrograms(state, report, platform, FilesToReplace(state, platform.files, folder, finalFolder), restart);
}

}  // namespace velmoran::setup
