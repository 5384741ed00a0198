#include "common/unicode_case.h"

namespace velmoran {
namespace {

bool Odd(char32_t c) { return (c & 1) != 0; }

}  // namespace

char32_t SimpleUpperCase(char32_t c) {
    if (c >= U'a' && c <= U'z') return c - 32;
    if (c < 0xB5) return c;
    if (c == 0xB5) return 0x39C;                              // micro sign: Greek capital mu
    if (c >= 0xE0 && c <= 0xFE && c != 0xF7) return c - 32;  // à-þ, not ÷
    if (c == 0xFF) return 0x178;                              // ÿ
    // Latin Extended-A: pairs, capital first, with a run of odd capitals in the middle.
    if ((c >= 0x100 && c <= 0x12F) || (c >= 0x132 && c <= 0x137) || (c >= 0x14A && c <= 0x177))
        return Odd(c) ? c - 1 : c;
    if ((c >= 0x139 && c <= 0x148) || (c >= 0x179 && c <= 0x17E)) return Odd(c) ? c : c - 1;
    if (c == 0x131) return U'I';  // dotless i
    if (c == 0x17F) return U'S';  // long s
    // Greek.
    if (c == 0x3AC) return 0x386;
    if (c >= 0x3AD && c <= 0x3AF) return c - 37;
    if (c == 0x3C2) return 0x3A3;  // final sigma
    if (c >= 0x3B1 && c <= 0x3CB) return c - 32;
    if (c == 0x3CC) return 0x38C;
    if (c == 0x3CD || c == 0x3CE) return c - 63;
    // Cyrillic.
    if (c >= 0x430 && c <= 0x44F) return c - 32;
    if (c >= 0x450 && c <= 0x45F) return c - 80;
    if (c >= 0x460 && c <= 0x481) return Odd(c) ? c - 1 : c;
    if (c >= 0x48A && c <= 0x4BF) return Odd(c) ? c - 1 : c;
    // Fullwidth a-z.
    if (c >= 0xFF41 && c <= 0xFF5A) return c - 32;
    return c;
}

}  // namespace velmoran
