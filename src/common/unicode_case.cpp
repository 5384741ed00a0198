#include "common/unicode_case.h"

#include <cstdint>

namespace velmoran {
namespace {

// The tables hold 16-bit code points: all of it lies in the Basic Multilingual
// Plane, and the stub carries them.

// Runs (first and last inclusive) whose small letters lie a fixed distance
// from their capitals.
struct Shift {
    uint16_t first, last;
    int16_t by;
};

constexpr Shift kShifts[] = {
    {0xE0, 0xF6, -32},      {0xF8, 0xFE, -32},                                                // Latin-1
    {0x256, 0x257, -205},   {0x28A, 0x28B, -217},                                             // IPA
    {0x37B, 0x37D, 130},    {0x3AC, 0x3AC, -38},   {0x3AD, 0x3AF, -37},   {0x3B1, 0x3C1, -32}, // Greek
    {0x3C2, 0x3C2, -31},    {0x3C3, 0x3CB, -32},   {0x3CC, 0x3CC, -64},   {0x3CD, 0x3CE, -63},
    {0x430, 0x44F, -32},    {0x450, 0x45F, -80},                                              // Cyrillic
    {0x561, 0x586, -48},                                                                      // Armenian
    {0x1F00, 0x1F07, 8},    {0x1F10, 0x1F15, 8},   {0x1F20, 0x1F27, 8},   {0x1F30, 0x1F37, 8}, // Greek Extended
    {0x1F40, 0x1F45, 8},    {0x1F51, 0x1F51, 8},   {0x1F53, 0x1F53, 8},   {0x1F55, 0x1F55, 8},
    {0x1F57, 0x1F57, 8},    {0x1F60, 0x1F67, 8},   {0x1F70, 0x1F71, 74},  {0x1F72, 0x1F75, 86},
    {0x1F76, 0x1F77, 100},  {0x1F78, 0x1F79, 128}, {0x1F7A, 0x1F7B, 112}, {0x1F7C, 0x1F7D, 126},
    {0x1F80, 0x1F87, 8},    {0x1F90, 0x1F97, 8},   {0x1FA0, 0x1FA7, 8},   {0x1FB0, 0x1FB1, 8},
    {0x1FB3, 0x1FB3, 9},    {0x1FCC, 0x1FCC, -9},  {0x1FD0, 0x1FD1, 8},   {0x1FE0, 0x1FE1, 8},
    {0x1FE5, 0x1FE5, 7},    {0x1FFC, 0x1FFC, -9},
    {0x2170, 0x217F, -16},  {0x24D0, 0x24E9, -26},                                            // numerals, circled
    {0x2C30, 0x2C5E, -48},  {0x2D00, 0x2D25, -7264},                                          // Glagolitic, Georgian
    {0xFF41, 0xFF5A, -32},                                                                    // fullwidth
};

// Runs of capital and small letter in turn; `smallIsOdd` tells which is which.
struct Alternating {
    uint16_t first, last;
    bool smallIsOdd;
};

constexpr Alternating kAlternating[] = {
    {0x100, 0x12F, true},   {0x132, 0x137, true},   {0x139, 0x148, false},  {0x14A, 0x177, true},   // Extended-A
    {0x179, 0x17E, false},  {0x1A0, 0x1A5, true},   {0x1B3, 0x1B6, false},  {0x1CD, 0x1DC, false},  // Extended-B
    {0x1DE, 0x1EF, true},   {0x1F4, 0x1F5, true},   {0x1F8, 0x1F9, true},   {0x1FA, 0x21F, true},
    {0x222, 0x233, true},   {0x23B, 0x23C, false},  {0x241, 0x242, false},  {0x246, 0x24F, true},
    {0x3D8, 0x3EF, true},   {0x3F7, 0x3F8, false},  {0x3FA, 0x3FB, true},                          // Greek
    {0x460, 0x481, true},   {0x48A, 0x4BF, true},   {0x4C1, 0x4CE, false},  {0x4D0, 0x513, true},   // Cyrillic
    {0x1E00, 0x1E95, true}, {0x1EA0, 0x1EF9, true},                                                 // Vietnamese &c.
    {0x2183, 0x2184, false}, {0x2C60, 0x2C61, true}, {0x2C67, 0x2C6C, false}, {0x2C75, 0x2C76, false}, // Extended-C
    {0x2C80, 0x2CE3, true},                                                                         // Coptic
};

// Letters whose capital stands elsewhere. Four small letters whose capital
// takes three bytes in UTF-8 against their two (ɫ, ɽ and two Windows maps the
// other way round) are left out: folding keeps every character's length.
struct Single {
    uint16_t small, capital;
};

constexpr Single kSingles[] = {
    {0xFF, 0x178},  {0x180, 0x243}, {0x183, 0x182}, {0x185, 0x184}, {0x188, 0x187}, {0x18C, 0x18B},
    {0x192, 0x191}, {0x195, 0x1F6}, {0x199, 0x198}, {0x19A, 0x23D}, {0x19E, 0x220}, {0x1A8, 0x1A7},
    {0x1AD, 0x1AC}, {0x1B0, 0x1AF}, {0x1B9, 0x1B8}, {0x1BD, 0x1BC}, {0x1BF, 0x1F7}, {0x1C6, 0x1C4},
    {0x1C9, 0x1C7}, {0x1CC, 0x1CA}, {0x1DD, 0x18E}, {0x1F3, 0x1F1}, {0x253, 0x181}, {0x254, 0x186},
    {0x259, 0x18F}, {0x25B, 0x190}, {0x260, 0x193}, {0x263, 0x194}, {0x268, 0x197}, {0x269, 0x196},
    {0x26F, 0x19C}, {0x272, 0x19D}, {0x275, 0x19F}, {0x280, 0x1A6}, {0x283, 0x1A9}, {0x288, 0x1AE},
    {0x289, 0x244}, {0x28C, 0x245}, {0x292, 0x1B7}, {0x3F2, 0x3F9}, {0x4CF, 0x4C0}, {0x1D7D, 0x2C63},
    {0x214E, 0x2132},
};

}  // namespace

char32_t SimpleUpperCase(char32_t c) {
    if (c < 0x80) return c >= U'a' && c <= U'z' ? c - 32 : c;
    if (c < 0xE0 || c > 0xFFFF) return c;  // the micro sign stays itself
    for (const Shift& run : kShifts)
        if (c >= run.first && c <= run.last) return static_cast<char32_t>(static_cast<int32_t>(c) + run.by);
    for (const Alternating& run : kAlternating)
        if (c >= run.first && c <= run.last) return ((c & 1) != 0) == run.smallIsOdd ? c - 1 : c;
    for (const Single& letter : kSingles)
        if (c == letter.small) return letter.capital;
    return c;
}

}  // namespace velmoran
