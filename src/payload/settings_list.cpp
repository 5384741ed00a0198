#include "payload/settings_list.h"

#include "common/path.h"

namespace velmoran::payload {

std::string SettingsList::Value(const std::string& name) const {
    for (const std::string& line : lines_) {
        const auto equals = line.find('=');
        if (equals == std::string::npos) continue;
        if (EqualsIgnoreCase(line.substr(0, equals), name)) return line.substr(equals + 1);
    }
    return std::string();
}

}  // namespace velmoran::payload
