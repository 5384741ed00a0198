#pragma once
// The install log: every path an installation wrote, one per line, saved as
// UTF-8 text (no byte-order mark) with CR LF after every line. The uninstaller
// removes what it lists.

#include <cstdint>
#include <string>
#include <vector>

#include "platform/code_page.h"
#include "platform/file_system.h"

namespace velmoran::setup {

// The lines are held as one text, each followed by a LF (which never stands
// inside a line), with the offset where each begins: a log costs its own bytes
// and four more per line, however many empty lines a damaged file holds.
class InstallLog {
public:
    void Append(const std::string& path);
    void Clear();

    // Creates the file new inside `finalFolder` (see FileSystem::CreateFileWithin);
    // the lines as they are, which are UTF-8 where the program runs in UTF-8.
    void Save(platform::FileSystem& files, const std::string& path, const std::string& finalFolder) const;
    // Replaces the lines with the file's: CR LF, a lone CR and a lone LF each end
    // a line; a final line end adds no empty line; a NUL ends the text. A line
    // that is not UTF-8 is read in the machine's legacy code page.
    void Load(platform::FileSystem& files, const std::string& path, platform::CodePage& codePage);
    // The same rules, over a log's bytes.
    void Parse(const Bytes& content);

    std::size_t Count() const { return starts_.size(); }
    std::string Line(std::size_t index) const;

private:
    std::string text_;
    std::vector<uint32_t> starts_;
};

}  // namespace velmoran::setup
