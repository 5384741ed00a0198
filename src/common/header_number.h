#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace velmoran {

// Reads a header number: leading spaces, one optional sign, an optional
// hexadecimal prefix ("$", "x", "X", "0x", "0X"), digits, nothing after them,
// within the signed 32-bit range. Anything else throws
// Failure("'<text>' is not a valid integer value").
int32_t ParseHeaderNumber(const std::string& text);
// The same rules; nothing for a text that is no number.
std::optional<int32_t> TryParseHeaderNumber(const std::string& text);

// Decimal digits alone, within 0..4294967295 (a DWORD as a file writes it);
// nothing for anything else.
std::optional<uint32_t> ParseDecimalDword(const std::string& text);

}  // namespace velmoran
