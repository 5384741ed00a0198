#include "common/header_number.h"

#include "common/failure.h"

namespace velmoran {
namespace {

int DigitValue(char c, int base) {
    int v = -1;
    if (c >= '0' && c <= '9') v = c - '0';
    else if (c >= 'a' && c <= 'f') v = c - 'a' + 10;
    else if (c >= 'A' && c <= 'F') v = c - 'A' + 10;
    return v < base ? v : -1;
}

// Length of the hexadecimal prefix at text[i], or 0 when there is none.
std::size_t HexPrefixLength(const std::string& text, std::size_t i) {
    if (i < text.size() && (text[i] == '$' || text[i] == 'x' || text[i] == 'X')) return 1;
    if (i + 1 < text.size() && text[i] == '0' && (text[i + 1] == 'x' || text[i + 1] == 'X'))
        return 2;
    return 0;
}

}  // namespace

int32_t ParseHeaderNumber(const std::string& text) {
    const std::optional<int32_t> number = TryParseHeaderNumber(text);
    if (!number) throw Failure(Format("'%s' is not a valid integer value", text));
    return *number;
}

std::optional<int32_t> TryParseHeaderNumber(const std::string& text) {
    std::size_t i = 0;
    while (i < text.size() && text[i] == ' ') ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    const std::size_t prefix = HexPrefixLength(text, i);
    const int base = prefix ? 16 : 10;
    i += prefix;
    if (i >= text.size()) return std::nullopt;

    // Magnitude limit: 2^31 for a negative number, 2^31 - 1 otherwise.
    const int64_t limit = negative ? 2147483648LL : 2147483647LL;
    int64_t magnitude = 0;
    for (; i < text.size(); ++i) {
        const int digit = DigitValue(text[i], base);
        if (digit < 0) return std::nullopt;
        magnitude = magnitude * base + digit;
        if (magnitude > limit) return std::nullopt;
    }
    return static_cast<int32_t>(negative ? -magnitude : magnitude);
}

std::optional<uint32_t> ParseDecimalDword(const std::string& text) {
    if (text.empty()) return std::nullopt;
    uint64_t number = 0;
    for (const char c : text) {
        if (c < '0' || c > '9') return std::nullopt;
        number = number * 10 + static_cast<uint64_t>(c - '0');
        if (number > 0xFFFFFFFFull) return std::nullopt;
    }
    return static_cast<uint32_t>(number);
}

}  // namespace velmoran
