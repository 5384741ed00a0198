#pragma once
// The payload header held as ordered text lines; values are looked up by name.

#include <string>
#include <vector>

namespace velmoran::payload {

class SettingsList {
public:
    void Clear() { lines_.clear(); }
    void AddLine(std::string line) { lines_.push_back(std::move(line)); }
    std::string& LastLine() { return lines_.back(); }

    // The text after the first "=" of the first line whose name (the text before
    // that "=") equals `name` regardless of ASCII letter case; "" when none does.
    std::string Value(const std::string& name) const;

    const std::vector<std::string>& Lines() const { return lines_; }

private:
    std::vector<std::string> lines_;
};

}  // namespace velmoran::payload
