#pragma once
// What an uninstall run may delete. The install log is a text file in a folder
// other users may be able to write to, and the uninstaller runs elevated, so a
// line is acted on only when it names something the installation itself made:
// a file below the install folder, the application's shortcut on the desktop, or
// a shortcut directly in its program group.

#include <string>
#include <vector>

#include "platform/file_system.h"

namespace velmoran::removal {

class RemovalScope {
public:
    // `installFolder`: the folder of the running uninstaller. `desktopShortcuts`:
    // the application's shortcut on each desktop; `groupFolders`: its program group
    // in each programs folder (per-user and common). Paths that are not full local
    // paths are left out.
    RemovalScope(const std::string& installFolder, const std::vector<std::string>& desktopShortcuts,
                 const std::vector<std::string>& groupFolders);

    // True when `path` (a log line folded by FullLocalPath) lies inside the
    // installation and does not reach it through a junction or link.
    bool MayDeleteFile(const std::string& path, platform::FileSystem& files) const;

    // True for the install folder, a folder below it, or a program group.
    // Not through a junction or link either.
    bool MayRemoveFolder(const std::string& folder, platform::FileSystem& files) const;

private:
    std::string installFolder_;
    std::vector<std::string> desktopShortcuts_;
    std::vector<std::string> groupFolders_;
    mutable std::string linkFreeFolder_;  // the last folder found to pass through no link
};

}  // namespace velmoran::removal
