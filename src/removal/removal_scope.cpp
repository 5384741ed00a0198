#include "removal/removal_scope.h"

#include "common/path.h"
#include "common/windows_names.h"

namespace velmoran::removal {
namespace {

std::string WithoutTrailingBackslash(std::string folder) {
    while (folder.size() > 3 && folder.back() == '\\') folder.pop_back();
    return folder;
}

std::vector<std::string> FullPaths(const std::vector<std::string>& folders) {
    std::vector<std::string> full;
    for (const std::string& folder : folders)
        if (const auto path = FullLocalPath(folder)) full.push_back(*path);
    return full;
}

bool Holds(const std::vector<std::string>& folders, const std::string& folder) {
    for (const std::string& candidate : folders)
        if (EqualsIgnoreCase(candidate, folder)) return true;
    return false;
}

}  // namespace

RemovalScope::RemovalScope(const std::string& installFolder, const std::vector<std::string>& desktopShortcuts,
                           const std::vector<std::string>& groupFolders)
    : installFolder_(FullLocalPath(installFolder).value_or(std::string())),
      desktopShortcuts_(FullPaths(desktopShortcuts)),
      groupFolders_(FullPaths(groupFolders)) {}

bool RemovalScope::MayDeleteFile(const std::string& path, platform::FileSystem& files) const {
    if (!installFolder_.empty() && LiesBelow(path, installFolder_)) {
        // A folder's files follow each other in the log: its path is checked once.
        const std::string folder = FolderPart(path);
        if (!EqualsIgnoreCase(folder, linkFreeFolder_)) {
            if (!platform::FirstLinkOnWay(files, installFolder_, path).empty()) return false;
            linkFreeFolder_ = folder;
        }
        return true;
    }
    if (Holds(desktopShortcuts_, path)) return true;
    const std::string name = FileNamePart(path);
    const bool isShortcut = name.size() > 4 && EqualsIgnoreCase(name.substr(name.size() - 4), ".lnk");
    return isShortcut && Holds(groupFolders_, WithoutTrailingBackslash(FolderPart(path)));
}

bool RemovalScope::MayRemoveFolder(const std::string& folder, platform::FileSystem& files) const {
    const auto path = FullLocalPath(folder);
    if (!path) return false;
    if (EqualsIgnoreCase(*path, installFolder_)) return true;
    if (!installFolder_.empty() && LiesBelow(*path, installFolder_))
        return platform::FirstLinkOnWay(files, installFolder_, *path).empty();
    return Holds(groupFolders_, *path);
}

}  // namespace velmoran::removal
