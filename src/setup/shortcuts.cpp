#include "setup/shortcuts.h"

#include <optional>

#include "common/path.h"

namespace velmoran::setup {

std::string InstalledPath(const std::string& folder, const std::string& relative) {
    return relative.empty() ? folder : JoinPath(folder, relative);
}

void MakeShortcuts(InstallerState& state, RunReport& report, platform::Platform& platform) {
    const payload::HeaderManifest& header = state.payload.Manifest();
    const std::string mainTarget = InstalledPath(state.installFolder, header.exeName);
    const std::string& name = header.exeShortcut;
    const auto shortcut = [&](const std::string& description, const std::string& folder,
                              const std::optional<std::string>& finalFolder, const std::string& target) {
        const std::string link = JoinPath(folder, description + ".lnk");
        const Bytes content = platform.shell.ShortcutContent(description, target);
        std::string problem = !finalFolder       ? "its folder is missing, or a junction or symbolic link"
                              : content.empty() ? "the system made no shortcut"
                                                : "";
        if (problem.empty()) {
            try {
                platform.files.CreateFileWithin(link, *finalFolder)->Write(content.data(), content.size());
            } catch (const std::exception& failure) {
                problem = failure.what();
            }
        }
        report.Record(problem.empty() ? "Shortcut: " + link + " -> " + target : "Shortcut not written: " + link + ": " + problem);
        state.log.Append(link);
    };
    const std::string& desktop = state.folders.desktop;
    const bool wanted = !state.noDesktopShortcut && header.registrations.desktopShortcut != payload::DesktopShortcut::No;
    if (wanted && !desktop.empty())
        shortcut(name, desktop, platform::FinalFolderPathIfAny(platform.files, desktop, platform::LinkAtFolder::Follow), mainTarget);
    if (state.folders.programs.empty()) return;
    const std::string group = JoinPath(state.folders.programs, state.appName);
    platform.files.CreateFolder(group, platform::FolderRights::Inherited);
    const auto finalGroup = platform::FinalFolderPathIfAny(platform.files, group, platform::LinkAtFolder::Refuse);
    shortcut(name, group, finalGroup, mainTarget);
    for (const payload::ShortcutEntry& extra : header.shortcuts)
        shortcut(extra.name, group, finalGroup, InstalledPath(state.installFolder, extra.target));
}

}  // namespace velmoran::setup
