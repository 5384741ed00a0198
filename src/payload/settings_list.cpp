#include "payload/settings_list.h"

#include "common/path.h"
#include "common/utf8.h"

namespace velmoran::payload {

void SettingsList::Clear() {
    text_.clear();
    lastLineStart_ = 0;
    index_.clear();
}

void SettingsList::Start(std::string_view firstLine) {
    Clear();
    text_.assign(firstLine);
}

void SettingsList::StartLine() {
    text_ += '\r';
    lastLineStart_ = text_.size();
}

void SettingsList::Finish() {
    index_.clear();
    std::size_t lineStart = 0;
    ForEachLine([&](std::string_view line) {
        const auto equals = line.find('=');
        if (equals != std::string_view::npos) {
            const ValueSpan value{lineStart + equals + 1, line.size() - equals - 1};
            // The first line of a name wins: a later one does not replace it.
            index_.emplace(AsciiLower(std::string(line.substr(0, equals))), value);
        }
        lineStart += line.size() + 1;
    });
}

void SettingsList::ConvertLines(const std::function<std::string(const std::string&)>& convert) {
    std::string converted;
    converted.reserve(text_.size());
    bool first = true;
    ForEachLine([&](std::string_view line) {
        if (!first) converted += '\r';
        first = false;
        lastLineStart_ = converted.size();
        converted += velmoran::IsAscii(line) ? std::string(line) : convert(std::string(line));
    });
    text_ = std::move(converted);
    Finish();
}

bool SettingsList::IsUtf8() const {
    return velmoran::IsUtf8(text_);
}

bool SettingsList::IsAscii() const {
    return velmoran::IsAscii(text_);
}

std::string SettingsList::Value(std::string_view name) const {
    const auto found = index_.find(AsciiLower(std::string(name)));
    if (found == index_.end()) return std::string();
    return text_.substr(found->second.start, found->second.size);
}

}  // namespace velmoran::payload
