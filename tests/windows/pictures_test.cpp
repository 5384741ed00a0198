// The window's pictures: the JPEG decoder decodes a picture no larger than it
// needs to be and refuses a declared size beyond what is shown before any
// memory is asked for; a disabled button's glyph is drawn greyed.

#include <gtest/gtest.h>

#include <fstream>
#include <algorithm>
#include <iterator>
#include <vector>

#include "common/failure.h"
#include "ui/win32/pictures.h"

namespace velmoran::testing {
namespace {

using ui::win32::DecodeJpeg;

Bytes SampleSplash() {  // 128 x 296
    std::ifstream in(VELMORAN_SAMPLE_SPLASH, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// The same picture declaring another size in its frame header.
Bytes Declaring(Bytes jpeg, unsigned width, unsigned height) {
    for (std::size_t i = 2; i + 9 < jpeg.size(); ++i) {
        if (jpeg[i] == 0xFF && (jpeg[i + 1] == 0xC0 || jpeg[i + 1] == 0xC2)) {
            jpeg[i + 5] = static_cast<uint8_t>(height >> 8), jpeg[i + 6] = static_cast<uint8_t>(height);
            jpeg[i + 7] = static_cast<uint8_t>(width >> 8), jpeg[i + 8] = static_cast<uint8_t>(width);
            return jpeg;
        }
    }
    ADD_FAILURE() << "no frame header";
    return jpeg;
}

TEST(JpegBitmap, DecodesScaledToTwiceTheShownSizeAndRefusesBombs) {
    const Bytes splash = SampleSplash();
    ASSERT_FALSE(splash.empty());
    const struct { SIZE shownAt; LONG width, height; } cases[] = {
        {{128, 296}, 128, 296},  // shown as large as it is
        {{64, 148}, 128, 296},   // twice the shown size: kept
        {{40, 100}, 64, 148},    // halved
        {{8, 8}, 16, 37},        // an eighth is the most libjpeg reduces
    };
    for (const auto& c : cases) {
        SIZE size{};
        DecodeJpeg(splash, c.shownAt, size);
        EXPECT_EQ(size.cx, c.width) << c.shownAt.cx;
        EXPECT_EQ(size.cy, c.height) << c.shownAt.cx;
    }
    for (const auto& [width, height] : {std::pair{20000u, 20000u}, {4097u, 16u}, {16u, 65500u}}) {
        SIZE size{};
        EXPECT_THROW(DecodeJpeg(Declaring(splash, width, height), SIZE{128, 296}, size), Failure) << width;
    }
}

// The pixels of a glyph, 0x00RRGGBB.
std::vector<uint32_t> Pixels(HBITMAP bitmap) {
    DIBSECTION section{};
    EXPECT_EQ(GetObject(bitmap, sizeof section, &section), static_cast<int>(sizeof section));
    const auto* bits = static_cast<const uint32_t*>(section.dsBm.bmBits);
    return std::vector<uint32_t>(bits, bits + ui::win32::kGlyphSize * ui::win32::kGlyphSize);
}

TEST(Glyphs, DisabledGlyphsAreGreyedAndStillShowTheirShape) {
    for (int glyph = 0; glyph < ui::win32::kGlyphCount; ++glyph) {
        const auto shown = Pixels(ui::win32::MakeGlyph(static_cast<ui::win32::Glyph>(glyph)).Get());
        const auto greyed = Pixels(ui::win32::MakeGlyph(static_cast<ui::win32::Glyph>(glyph), true).Get());
        uint32_t darkest = 0xFF, lightest = 0;
        for (const uint32_t p : greyed) {
            const uint32_t r = (p >> 16) & 0xFF, g = (p >> 8) & 0xFF, b = p & 0xFF;
            EXPECT_TRUE(r == g && g == b) << glyph;
            darkest = std::min(darkest, r), lightest = std::max(lightest, r);
        }
        EXPECT_GE(darkest, 64u) << glyph;            // no full black: plainly inactive
        EXPECT_GT(lightest, darkest + 40) << glyph;  // the shape still stands out
        EXPECT_NE(shown, greyed) << glyph;
    }
}

}  // namespace
}  // namespace velmoran::testing
