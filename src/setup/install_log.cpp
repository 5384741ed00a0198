#include "setup/install_log.h"

#include <algorithm>

#include "common/utf8.h"

namespace velmoran::setup {

void InstallLog::Append(const std::string& path) {
    starts_.push_back(static_cast<uint32_t>(text_.size()));
    text_ += path;
    text_ += '\n';
}

void InstallLog::Clear() {
    text_.clear();
    starts_.clear();
}

std::string InstallLog::Line(std::size_t index) const {
    const std::size_t start = starts_.at(index);
    const std::size_t end = index + 1 < starts_.size() ? starts_[index + 1] : text_.size();
    return text_.substr(start, end - start - 1);
}

void InstallLog::Save(platform::FileSystem& files, const std::string& path, const std::string& finalFolder) const {
    std::string text;
    text.reserve(text_.size() + starts_.size());
    for (const char c : text_) {
        if (c == '\n') text += '\r';
        text += c;
    }
    const auto file = files.CreateFileWithin(path, finalFolder);
    file->Write(reinterpret_cast<const uint8_t*>(text.data()), text.size());
}

void InstallLog::Load(platform::FileSystem& files, const std::string& path, platform::CodePage& codePage) {
    Parse(files.ReadWholeFile(path));
    if (IsUtf8(text_)) return;
    // Written before logs were UTF-8, or by a system whose programs ran in
    // another code page: such a line is in the machine's legacy one.
    const InstallLog read = *this;
    Clear();
    for (std::size_t i = 0; i < read.Count(); ++i) {
        const std::string line = read.Line(i);
        Append(IsUtf8(line) ? line : codePage.FromLegacy(line));
    }
}

void InstallLog::Parse(const Bytes& content) {
    Clear();
    // The offsets are 32 bits wide: the text past 4 GiB, which no installation
    // writes, is left out.
    const std::size_t size = std::min<std::size_t>(content.size(), UINT32_MAX - 1);
    text_.reserve(size);
    bool lineOpen = false;  // text since the last line end
    for (std::size_t i = 0; i < size && content[i] != 0; ++i) {
        const uint8_t byte = content[i];
        if (!lineOpen) starts_.push_back(static_cast<uint32_t>(text_.size()));
        if (byte == '\r' || byte == '\n') {
            text_ += '\n';
            lineOpen = false;
            // CR LF is one line end; LF CR is two.
            if (byte == '\r' && i + 1 < size && content[i + 1] == '\n') ++i;
        } else {
            text_ += static_cast<char>(byte);
            lineOpen = true;
        }
    }
    if (lineOpen) text_ += '\n';
}

}  // namespace velmoran::setup
