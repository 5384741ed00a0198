#pragma once
// Installers carry text in the Windows single-byte code page 1252 (Western).
// The builder takes UTF-8 (file names and the project file) and converts.

#include <optional>
#include <string>

namespace velmoran::builder {

// The text in code page 1252, or nothing when it is not valid UTF-8 or holds a
// character that code page lacks.
std::optional<std::string> Utf8ToCodePage(const std::string& utf8);

// Code page 1252 back to UTF-8, for messages and extracted file names.
std::string CodePageToUtf8(const std::string& text);

// The text as it may reach a terminal: control characters (C0, DEL and C1,
// which can start terminal escape sequences) and bytes that are not UTF-8
// become \xNN; everything else stays.
std::string Printable(const std::string& utf8);

// The code points of a UTF-8 text, or nothing when it is not valid UTF-8; and back.
std::optional<std::u32string> DecodeUtf8(const std::string& utf8);
std::string EncodeUtf8(const std::u32string& codePoints);

}  // namespace velmoran::builder
