#include "removal/removal_scope.h"

#include "common/path.h"
#include "common/windows_names.h"

namespace velmoran::removal {
RemovalScope::RemovalScope(platform::FileSystem& files, const std::string& installFolder,
                           const std::vector<std::string>& desktopShortcuts, const std::vector<std::string>& groupFolders) {
    const auto install = FullLocalPath(installFolder);
    if (install)
        if (const auto final = platform::FinalFolderPathIfAny(files, *install, platform::LinkAtFolder::Refuse))
            installFolder_ = Place{*install, *final};
    for (const std::string& shortcut : desktopShortcuts) {
        const auto path = FullLocalPath(shortcut);
        // The desktop may be redirected by the user's own choice: its link is followed.
        if (path)
            if (const auto final = platform::FinalFolderPathIfAny(files, WithoutTrailingBackslashes(FolderPart(*path)),
                                                                  platform::LinkAtFolder::Follow))
                desktopShortcuts_.push_back({*path, *final});
    }
    for (const std::string& group : groupFolders) {
        const auto path = FullLocalPath(group);
        if (path)
            if (const auto final = platform::FinalFolderPathIfAny(files, *path, platform::LinkAtFolder::Refuse))
                groupFolders_.push_back({*path, *final});
    }
}

std::optional<std::string> RemovalScope::FinalPathOf(const std::vector<Place>& places, const std::string& path) const {
    for (const Place& place : places)
        if (EqualsIgnoreCase(place.path, path)) return place.finalPath;
    return std::nullopt;
}

std::optional<std::string> RemovalScope::FileContainer(const std::string& path) const {
    if (installFolder_ && LiesBelow(path, installFolder_->path)) return installFolder_->finalPath;
    if (const auto desktop = FinalPathOf(desktopShortcuts_, path)) return desktop;
    const std::string name = FileNamePart(path);
    const bool isShortcut = name.size() >= 4 && EqualsIgnoreCase(name.substr(name.size() - 4), ".lnk");
    if (!isShortcut) return std::nullopt;
    return FinalPathOf(groupFolders_, WithoutTrailingBackslashes(FolderPart(path)));
}

std::optional<std::string> RemovalScope::FolderContainer(const std::string& folder) const {
    const auto path = FullLocalPath(folder);
    if (!path) return std::nullopt;
    if (installFolder_ && (EqualsIgnoreCase(*path, installFolder_->path) || LiesBelow(*path, installFolder_->path)))
        return installFolder_->finalPath;
    return FinalPathOf(groupFolders_, *path);
}

}  // namespace velmoran::removal
