// Upper-casing as Windows compares names: one code point to one.

#include "common/unicode_case.h"

#include "common/utf8.h"

#include <gtest/gtest.h>

namespace velmoran::testing {
namespace {

TEST(UnicodeCase, SimpleUpperCaseTable) {
    const struct {
        char32_t lower, upper;
        const char* what;
    } cases[] = {
        {U'a', U'A', "ASCII"},         {U'z', U'Z', "ASCII"},          {U'A', U'A', "already capital"},
        {U'1', U'1', "digit"},         {0xE9, 0xC9, "e acute"},        {0xFE, 0xDE, "thorn"},
        {0xF7, 0xF7, "division sign"}, {0xFF, 0x178, "y diaeresis"},   {0xDF, 0xDF, "sharp s stays"},
        {0xB5, 0xB5, "micro sign stays"},   {0x101, 0x100, "a macron"},     {0x13A, 0x139, "l acute"},
        {0x153, 0x152, "oe"},          {0x17E, 0x17D, "z caron"},      {0x131, 0x131, "dotless i stays"},
        {0x130, 0x130, "capital I dot"}, {0x3B1, 0x391, "alpha"},      {0x3C2, 0x3A3, "final sigma"},
        {0x3C9, 0x3A9, "omega"},       {0x3AC, 0x386, "alpha tonos"},  {0x3CE, 0x38F, "omega tonos"},
        {0x430, 0x410, "Cyrillic a"},  {0x44F, 0x42F, "ya"},           {0x451, 0x401, "io"},
        {0x461, 0x460, "omega (Cyrillic)"}, {0xFF41, 0xFF21, "fullwidth a"}, {0x30E1, 0x30E1, "katakana me"},
        {0x1F600, 0x1F600, "emoji"},   {0x17F, 0x17F, "long s stays"}, {0x1EA1, 0x1EA0, "a dot below"},
        {0x1EF9, 0x1EF8, "y tilde"},   {0x561, 0x531, "Armenian ayb"}, {0x2D00, 0x10A0, "Georgian an"},
        {0x4D1, 0x4D0, "a breve (Cyrillic)"}, {0x4C2, 0x4C1, "zhe breve"}, {0x4CF, 0x4C0, "palochka"},
        {0x1F00, 0x1F08, "alpha psili"}, {0x1F70, 0x1FBA, "alpha varia"}, {0x3FB, 0x3FA, "san"},
        {0x2C76, 0x2C75, "half h"},    {0x1C6, 0x1C4, "dz caron"},     {0x259, 0x18F, "schwa"},
        {0x26B, 0x26B, "l middle tilde: its capital is longer"}, {0x2C81, 0x2C80, "Coptic alfa"},
    };
    for (const auto& c : cases) EXPECT_EQ(SimpleUpperCase(c.lower), c.upper) << c.what;
}

// Paths are compared by byte offsets into their folded forms.
TEST(UnicodeCase, UpperCaseKeepsEveryCharactersLengthInUtf8) {
    for (char32_t c = 0; c < 0x30000; ++c) {
        if (c >= 0xD800 && c <= 0xDFFF) continue;
        std::string lower, upper;
        AppendUtf8(lower, c);
        AppendUtf8(upper, SimpleUpperCase(c));
        ASSERT_EQ(lower.size(), upper.size()) << std::hex << static_cast<unsigned>(c);
    }
}

}  // namespace
}  // namespace velmoran::testing
