#include "payload/settings_list.h"

#include "common/path.h"

namespace velmoran::payload {
namespace {

// The installation run asks once per file, so lines are compared in place.
bool NameMatches(const std::string& line, std::string::size_type equals, const std::string& name) {
    if (equals != name.size()) return false;
    for (std::string::size_type i = 0; i < equals; ++i)
        if (LowerAscii(line[i]) != LowerAscii(name[i])) return false;
    return true;
}

}  // namespace

std::string SettingsList::Value(const std::string& name) const {
    for (const std::string& line : lines_) {
        const auto equals = line.find('=');
        if (equals != std::string::npos && NameMatches(line, equals, name)) return line.substr(equals + 1);
    }
    return std::string();
}

}  // namespace velmoran::payload
