#pragma once
// The install log: every path an installation wrote, one per line, saved as
// text with CR LF after every line. The uninstaller removes what it lists.

#include <string>
#include <vector>

#include "platform/file_system.h"

namespace velmoran::setup {

class InstallLog {
public:
    void Append(const std::string& path) { lines_.push_back(path); }
    void Clear() { lines_.clear(); }

    // Creates the file new inside `finalFolder` (see FileSystem::CreateFileWithin);
    // no byte-order mark, no conversion.
    void Save(platform::FileSystem& files, const std::string& path, const std::string& finalFolder) const;
    // Replaces the lines with the file's: CR LF, a lone CR and a lone LF each end
    // a line; a final line end adds no empty line; a NUL ends the text.
    void Load(platform::FileSystem& files, const std::string& path);
    // The same rules, over a log's bytes.
    void Parse(const Bytes& content);

    std::size_t Count() const { return lines_.size(); }
    const std::string& Line(std::size_t index) const { return lines_.at(index); }

private:
    std::vector<std::string> lines_;
};

}  // namespace velmoran::setup
