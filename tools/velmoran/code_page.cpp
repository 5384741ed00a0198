#include "code_page.h"

#include <cstdint>

namespace velmoran::builder {
namespace {

// Unicode code points of bytes 0x80-0x9F; 0 marks the five unassigned bytes.
const uint16_t kHighControls[32] = {
    0x20AC, 0, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0, 0x017D, 0,
    0, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0, 0x017E, 0x0178,
};

std::optional<char> CodePointToByte(uint32_t cp) {
    if (cp < 0x80 || (cp >= 0xA0 && cp <= 0xFF)) return static_cast<char>(cp);
    for (int i = 0; i < 32; ++i)
        if (kHighControls[i] != 0 && kHighControls[i] == cp) return static_cast<char>(0x80 + i);
    return std::nullopt;
}

void AppendUtf8(std::string& out, uint32_t cp) {
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (cp >> 18));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

}  // namespace

std::optional<std::u32string> DecodeUtf8(const std::string& utf8) {
    std::u32string out;
    for (std::size_t i = 0; i < utf8.size();) {
        const auto lead = static_cast<unsigned char>(utf8[i]);
        int extra = lead < 0x80 ? 0 : (lead >> 5) == 6 ? 1 : (lead >> 4) == 14 ? 2 : (lead >> 3) == 30 ? 3 : -1;
        if (extra < 0 || i + static_cast<std::size_t>(extra) >= utf8.size()) return std::nullopt;
        uint32_t cp = extra == 0 ? lead : lead & (0x3F >> extra);
        for (int k = 1; k <= extra; ++k) {
            const auto next = static_cast<unsigned char>(utf8[i + k]);
            if ((next & 0xC0) != 0x80) return std::nullopt;
            cp = (cp << 6) | (next & 0x3F);
        }
        out += static_cast<char32_t>(cp);
        i += extra + 1;
    }
    return out;
}

std::string EncodeUtf8(const std::u32string& codePoints) {
    std::string out;
    for (const char32_t cp : codePoints) AppendUtf8(out, cp);
    return out;
}

std::optional<std::string> Utf8ToCodePage(const std::string& utf8) {
    const auto codePoints = DecodeUtf8(utf8);
    if (!codePoints) return std::nullopt;
    std::string out;
    for (const char32_t cp : *codePoints) {
        const auto byte = CodePointToByte(cp);
        if (!byte) return std::nullopt;
        out += *byte;
    }
    return out;
}

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
        std::size_t length = 1;
        const auto lead = static_cast<unsigned char>(utf8[i]);
        if (lead >= 0xC0) length = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : 2;
        const auto decoded = i + length <= utf8.size() ? DecodeUtf8(utf8.substr(i, length)) : std::nullopt;
        if (!decoded || decoded->size() != 1) {
            escape(lead);
            ++i;
            continue;
        }
        const char32_t cp = (*decoded)[0];
        if (cp < 0x20 || (cp >= 0x7F && cp < 0xA0)) escape(cp);
        else out.append(utf8, i, length);
        i += length;
    }
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
