#include "platform/file_system.h"

#include "common/path.h"
#include "common/windows_names.h"

namespace velmoran::platform {

std::optional<std::string> FinalFolderPathIfAny(FileSystem& files, const std::string& folder, LinkAtFolder atFolder) {
    try {
        return files.FinalFolderPath(folder, atFolder);
    } catch (const std::exception&) {
        return std::nullopt;
    }
}

Failure LinkRefusal(const std::string& path) {
    return Failure("\"" + path + "\" is a junction or symbolic link; the installation writes nothing through one.");
}

bool FinalPathWithin(const std::string& finalPath, const std::string& finalFolder, bool orItself) {
    const std::string folder = WithoutTrailingBackslashes(finalFolder);
    if (folder.empty()) return false;
    return EqualsIgnoreCase(finalPath, folder) ? orItself : LiesBelow(finalPath, folder);
}

bool RestartOperationIsSafe(FileSystem& files, const std::string& path, const std::string& finalFolder) {
    const auto finalPath = files.FinalFilePath(path);
    if (!finalPath || !FinalPathWithin(*finalPath, finalFolder)) return false;
    for (std::string folder = *finalPath;;) {
        const auto slash = folder.find_last_of('\\');
        if (slash == std::string::npos) return false;
        folder.resize(slash);
        if (folder.find('\\') == std::string::npos) return true;  // the root ("C:") is reached
        if (files.OthersMayChange(folder)) return false;
    }
}

std::string FirstLinkOnWay(FileSystem& files, const std::string& folder, const std::string& path) {
    for (auto end = folder.size(); end != std::string::npos && end <= path.size(); end = path.find('\\', end + 1)) {
        const std::string step = path.substr(0, end);
        if (files.IsLink(step)) return step;
    }
    return std::string();
}

}  // namespace velmoran::platform
