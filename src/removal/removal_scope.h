#pragma once
// What an uninstall run may delete. The install log is a text file in a folder
// other users may be able to write to, and the uninstaller runs elevated, so a
// line is acted on only when it names something the installation itself made:
// a file below the install folder, the application's shortcut on the desktop, or
// a shortcut directly in its program group.

#include <optional>
#include <string>
#include <vector>

#include "platform/file_system.h"

namespace velmoran::removal {

class RemovalScope {
public:
    // `installFolder`: the folder of the running uninstaller. `desktopShortcuts`:
    // the application's shortcut on each desktop; `groupFolders`: its program group
    // in each programs folder (per-user and common). Paths that are not full local
    // paths are left out, and so is a folder whose final path cannot be had (an
    // install folder or program group that is itself a junction or link).
    RemovalScope(platform::FileSystem& files, const std::string& installFolder,
                 const std::vector<std::string>& desktopShortcuts, const std::vector<std::string>& groupFolders);

    // False when the install folder is a junction or link, or cannot be opened.
    bool HasInstallFolder() const { return installFolder_.has_value(); }

    // The final path of the folder that `path` (a log line folded by
    // FullLocalPath) must be found in when it is deleted (see
    // FileSystem::RemoveFileWithin); nothing when it lies outside the installation.
    std::optional<std::string> FileContainer(const std::string& path) const;

    // The same for removing a folder: the install folder, a folder below it, or
    // a program group.
    std::optional<std::string> FolderContainer(const std::string& folder) const;

private:
    struct Place {
        std::string path;       // as the installation names it, folded
        std::string finalPath;  // as the system reaches it
    };
    std::optional<std::string> FinalPathOf(const std::vector<Place>& places, const std::string& path) const;

    std::optional<Place> installFolder_;
    std::vector<Place> desktopShortcuts_;  // each with its desktop folder's final path
    std::vector<Place> groupFolders_;
};

}  // namespace velmoran::removal
