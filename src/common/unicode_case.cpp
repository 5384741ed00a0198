#include "common/unicode_case.h"

namespace velmoran {
namespace {

struct Shift {
    char32_t first, last;
    int by;
};

// Runs whose small letters lie a fixed distance from their capitals.
constexpr Shift kShifts[] = {
    {0x61, 0x7A, -32},      {0xE0, 0xF6, -32},     {0xF8, 0xFE, -32},   {0x3AC, 0x3AC, -38},   {0x3AD, 0x3AF, -37},
    {0x3B1, 0x3C1, -32},    {0x3C2, 0x3C2, -31},  // final sigma
    {0x3C3, 0x3CB, -32},    {0x3CC, 0x3CC, -64},   {0x3CD, 0x3CE, -63}, {0x430, 0x44F, -32},   {0x450, 0x45F, -80},
    {0x561, 0x586, -48},    {0x2170, 0x217F, -16}, {0x24D0, 0x24E9, -26}, {0x2D00, 0x2D25, -7264},
    {0xFF41, 0xFF5A, -32},
};

// Runs of capital and small letter in turn; `smallIsOdd` tells which is which.
struct Alternating {
    char32_t first, last;
    bool smallIsOdd;
};

constexpr Alternating kAlternating[] = {
    {0x100, 0x12F, true},  {0x132, 0x137, true},  {0x139, 0x148, false}, {0x14A, 0x177, true},
    {0x179, 0x17E, false}, {0x460, 0x481, true},  {0x48A, 0x4BF, true},  {0x4C1, 0x4CE, false},
    {0x4D0, 0x513, true},  {0x1E00, 0x1E95, true}, {0x1EA0, 0x1EF9, true},
};

}  // namespace

char32_t SimpleUpperCase(char32_t c) {
    if (c < 0x80) return c >= U'a' && c <= U'z' ? c - 32 : c;
    if (c == 0xFF) return 0x178;  // ÿ
    if (c == 0x4CF) return 0x4C0;  // palochka
    for (const Shift& run : kShifts)
        if (c >= run.first && c <= run.last) return static_cast<char32_t>(static_cast<int>(c) + run.by);
    for (const Alternating& run : kAlternating)
        if (c >= run.first && c <= run.last) return ((c & 1) != 0) == run.smallIsOdd ? c - 1 : c;
    return c;
}

}  // namespace velmoran
