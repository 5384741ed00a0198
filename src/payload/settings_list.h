#pragma once
// The payload header held as ordered text lines; values are looked up by name.
//
// The lines are kept as one text with CR between them (a CR never stands inside
// a line), so a header costs its own bytes and nothing per empty line. Lookups go
// through an index of names built once, when the header is complete.

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <unordered_map>

namespace velmoran::payload {

class SettingsList {
public:
    void Clear();
    // Starts the list with its first line.
    void Start(std::string_view firstLine);
    void AppendToLastLine(char c) { text_ += c; }
    void StartLine();
    std::string_view LastLine() const { return std::string_view(text_).substr(lastLineStart_); }
    std::string_view FirstLine() const { return std::string_view(text_).substr(0, text_.find('\r')); }
    // Builds the name index; the list is complete.
    void Finish();
    // Replaces every line holding a byte above 0x7F by `convert(line)` (which
    // must not put a CR in it) and builds the index anew. Line by line, so a
    // broken multi-byte character cannot take the next line with it.
    void ConvertLines(const std::function<std::string(const std::string&)>& convert);
    // True when every line is well-formed UTF-8; when every byte is ASCII.
    bool IsUtf8() const;
    bool IsAscii() const;

    // The text after the first "=" of the first line whose name (the text before
    // that "=") equals `name` regardless of ASCII letter case; "" when none does.
    std::string Value(std::string_view name) const;

    // Calls `visit` with every line in order.
    template <typename Visit>
    void ForEachLine(Visit visit) const {
        std::string_view rest(text_);
        for (;;) {
            const auto end = rest.find('\r');
            visit(rest.substr(0, end));
            if (end == std::string_view::npos) return;
            rest.remove_prefix(end + 1);
        }
    }

private:
    struct ValueSpan {
        std::size_t start;
        std::size_t size;
    };
    std::string text_;
    std::size_t lastLineStart_ = 0;
    std::unordered_map<std::string, ValueSpan> index_;
};

}  // namespace velmoran::payload
