#include "code_page.h"

#include <cstdint>

#include "common/utf8.h"

namespace velmoran::builder {
namespace {

// Unicode code points of bytes 0x80-0x9F; 0 marks the five unassigned bytes.
const uint16_t kHighControls[32] = {
    0x20AC, 0, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0, 0x017D, 0,
    0, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0, 0x017E, 0x0178,
};

}  // namespace

std::string Printable(const std::string& utf8) {
    std::string out;
    const auto escape = [&out](uint32_t value) {
        static const char digits[] = "0123456789ABCDEF";
        out += "\\x";
        out += digits[(value >> 4) & 0xF];
        out += digits[value & 0xF];
    };
    for (std::size_t i = 0; i < utf8.size();) {
        // One character at a time, so a bad byte spoils only itself.
        const auto character = DecodeUtf8Character(utf8, i);
        if (!character) {
            escape(static_cast<unsigned char>(utf8[i++]));
            continue;
        }
        const char32_t cp = character->codePoint;
        if (cp < 0x20 || (cp >= 0x7F && cp < 0xA0)) escape(cp);
        else out.append(utf8, i, character->length);
        i += character->length;
    }
    return out;
}

std::optional<std::u32string> DecodeUtf8(const std::string& utf8) {
    std::u32string out;
    for (std::size_t i = 0; i < utf8.size();) {
        const auto character = DecodeUtf8Character(utf8, i);
        if (!character) return std::nullopt;
        out += character->codePoint;
        i += character->length;
    }
    return out;
}

std::string EncodeUtf8(const std::u32string& codePoints) {
    std::string out;
    for (const char32_t cp : codePoints) AppendUtf8(out, cp);
    return out;
}

std::string CodePageToUtf8(const std::string& text) {
    std::string out;
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        const uint32_t cp = (byte >= 0x80 && byte < 0xA0) ? kHighControls[byte - 0x80] : byte;
        AppendUtf8(out, cp ? cp : 0xFFFD);
    }
    return out;
}

}  // namespace velmoran::builder
