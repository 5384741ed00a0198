#include "setup/install_log.h"

namespace velmoran::setup {

void InstallLog::Save(platform::FileSystem& files, const std::string& path, const std::string& finalFolder) const {
    std::string text;
    for (const std::string& line : lines_) text += line + "\r\n";
    const auto file = files.CreateFileWithin(path, finalFolder);
    file->Write(reinterpret_cast<const uint8_t*>(text.data()), text.size());
}

void InstallLog::Load(platform::FileSystem& files, const std::string& path) { Parse(files.ReadWholeFile(path)); }

void InstallLog::Parse(const Bytes& content) {
    lines_.clear();
    std::string line;
    bool lineOpen = false;  // text since the last line end
    for (std::size_t i = 0; i < content.size() && content[i] != 0; ++i) {
        const uint8_t byte = content[i];
        if (byte == '\r' || byte == '\n') {
            lines_.push_back(line);
            line.clear();
            lineOpen = false;
            // CR LF is one line end; LF CR is two.
            if (byte == '\r' && i + 1 < content.size() && content[i + 1] == '\n') ++i;
        } else {
            line += static_cast<char>(byte);
            lineOpen = true;
        }
    }
    if (lineOpen) lines_.push_back(line);
}

}  // namespace velmoran::setup
