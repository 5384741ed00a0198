#pragma once
// Installers carry their header in UTF-8 (marked so); those made before the
// mark carry it in the Windows code page 1252 (Western), which the inspection
// commands convert.

#include <optional>
#include <string>

namespace velmoran::builder {

// Code page 1252 back to UTF-8, for messages and extracted file names.
std::string CodePageToUtf8(const std::string& text);

// The text as it may reach a terminal: control characters (C0, DEL and C1,
// which can start terminal escape sequences) and bytes that are not UTF-8
// become \xNN; everything else stays.
std::string Printable(const std::string& utf8);

// The code points of a UTF-8 text, or nothing when it is not well-formed
// (see DecodeUtf8Character); and back.
std::optional<std::u32string> DecodeUtf8(const std::string& utf8);
std::string EncodeUtf8(const std::u32string& codePoints);

}  // namespace velmoran::builder
