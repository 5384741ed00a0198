#pragma once
// UTF-8, the code page of every text the installer handles: header, paths,
// logs. A byte below 0x80 never stands inside a multi-byte character, so
// splitting a path at '\' or a line at CR works byte by byte.

#include <optional>
#include <string>
#include <string_view>

namespace velmoran {

// The code point starting at `at` and the bytes it takes; nothing when the
// bytes there are not one well-formed character: a stray or missing
// continuation byte, an over-long form (which could spell '\' or '.' in a way
// a byte-wise check misses), a surrogate (unpaired in UTF-16) or a value above
// U+10FFFF.
struct Utf8Character {
    char32_t codePoint;
    std::size_t length;
};
std::optional<Utf8Character> DecodeUtf8Character(std::string_view text, std::size_t at);
void AppendUtf8(std::string& out, char32_t codePoint);

// True when the whole text is well-formed UTF-8; when every byte is ASCII.
bool IsUtf8(std::string_view text);
bool IsAscii(std::string_view text);

}  // namespace velmoran
