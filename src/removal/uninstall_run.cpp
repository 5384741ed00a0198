#include "removal/uninstall_run.h"

#include "common/path.h"

namespace velmoran::removal {
namespace {

using ui::Gauge;
using ui::Label;

std::string Normalised(std::string folder) {
    while (!folder.empty() && folder.back() == '\\') folder.pop_back();
    return AsciiLower(folder);
}

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
            if (candidate.empty() || candidate == kept) return true;
            if (kept.compare(0, candidate.size(), candidate) == 0 && kept[candidate.size()] == '\\') return true;
            if (candidate.size() == 2 && candidate[1] == ':' && kept.compare(0, 2, candidate) == 0) return true;
        }
        return false;
    }

private:
    std::vector<std::string> folders_;
};

// Removes the path's folder if it is empty, then every shorter prefix of it
// while that is longer than the base: one character at a time.
void RemoveEmptiedFolders(platform::FileSystem& files, const ProtectedFolders& kept, const std::string& path,
                          std::size_t baseLength) {
    std::string folder = FolderPart(path);
    do {
        if (!kept.Covers(folder)) files.RemoveFolder(folder);
        if (!folder.empty()) folder.pop_back();
    } while (folder.size() > baseLength);
}

void ReportLeftovers(ui::InstallerState& state, ui::View& view, platform::FileSystem& files) {
    std::size_t entries = 0;
    for (const std::string& name : files.ListFolder(FolderPart(state.uninstallerPath) + "\\*.*")) {
        (void)name;
        view.ProcessMessages();
        ++entries;
    }
    // The running uninstaller itself is always one of them.
    if (entries > 1)
        view.SetLabel(Label::Traces, "Some files created after the original installation are still in the application folder.");
}

}  // namespace

void RunUninstall(ui::InstallerState& state, ui::View& view, platform::Platform& platform) {
    view.ShowPage(ui::Page::Uninstalled);
    view.SetLabel(Label::Uninstall2, "Uninstalling...");
    view.EnableUninstallExit(false);
    const std::size_t count = state.log.Count();
    view.SetGaugeMax(Gauge::Uninstall, static_cast<int>(count));
    view.SetGaugeProgress(Gauge::Uninstall, 0);
    if (count == 0) {
        // Nothing was recorded, so there is nothing this run may remove.
        view.SetLabel(Label::Uninstall2, "Uninstall Complete.");
        view.EnableUninstallExit(true);
        return;
    }

    const std::size_t baseLength = FolderPart(state.log.Line(0)).size();
    const ProtectedFolders kept(state.folders);
    for (std::size_t i = count; i-- > 0;) {
        const std::string& path = state.log.Line(i);
        if (state.uninstallerPath.empty() && path.find("uninstall.exe") != std::string::npos)
            state.uninstallerPath = path;
        platform.files.RemoveFile(path);
        RemoveEmptiedFolders(platform.files, kept, path, baseLength);
        view.SetGaugeProgress(Gauge::Uninstall, view.GaugeProgress(Gauge::Uninstall) + 1);
        view.RepaintGauge(Gauge::Uninstall);
    }
    if (!state.appName.empty())
        platform::DeleteMachineKey(platform.registry, std::string(platform::kUninstallKeyPrefix) + state.appName);
    view.SetLabel(Label::Uninstall2, "Uninstall Complete.");
    ReportLeftovers(state, view, platform.files);
    view.EnableUninstallExit(true);
}

std::vector<std::string> RemovalScript(const std::string& uninstallerPath) {
    std::string folder = FolderPart(uninstallerPath);
    if (!folder.empty() && folder.back() == '\\') folder.pop_back();
    return {
        "@echo off",
        "del \"" + uninstallerPath + "\"",
        "rmdir \"" + folder + "\"",
        std::string("del \"") + kRemovalScriptPath + "\"",
    };
}

void FinishUninstall(ui::InstallerState& state, ui::View& view, platform::Platform& platform) {
    if (!state.uninstallerPath.empty()) {
        std::string text;
        for (const std::string& line : RemovalScript(state.uninstallerPath)) text += line + "\r\n";
        {
            const auto script = platform.files.CreateOrReplaceFile(kRemovalScriptPath);
            script->Write(reinterpret_cast<const uint8_t*>(text.data()), text.size());
        }
        platform.shell.Launch(kRemovalScriptPath, "", platform::ShowCommand::Minimised);
    }
    view.Terminate();
}

}  // namespace velmoran::removal
