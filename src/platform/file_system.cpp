#include "platform/file_system.h"

namespace velmoran::platform {

std::string FirstLinkOnWay(FileSystem& files, const std::string& folder, const std::string& path) {
    for (auto end = folder.size(); end != std::string::npos && end <= path.size(); end = path.find('\\', end + 1)) {
        const std::string step = path.substr(0, end);
        if (files.IsLink(step)) return step;
    }
    return std::string();
}

}  // namespace velmoran::platform
