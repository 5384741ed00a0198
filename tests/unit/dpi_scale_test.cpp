// The wizard's layout at every common scale: exactly the 96-DPI table at 96,
// and at the others nothing that stood apart overlaps, nothing that lay inside
// its parent leaves it.

#include "ui/dpi_scale.h"

#include <gtest/gtest.h>

#include "ui/win32/layout.h"

namespace velmoran::ui {
namespace {

using win32::ControlSpec;

bool Overlap(const ScaledRect& a, const ScaledRect& b) {
    return a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom;
}

bool Inside(const ScaledRect& inner, int width, int height) {
    return inner.left >= 0 && inner.top >= 0 && inner.right <= width && inner.bottom <= height;
}

ScaledRect RectOf(const ControlSpec& c, int dpi) { return ScaledRectangle(c.x, c.y, c.width, c.height, dpi); }

const ControlSpec* Parent(const ControlSpec& c) {
    for (int i = 0; i < win32::kControlCount; ++i)
        if (win32::kControls[i].id == c.parent) return &win32::kControls[i];
    return nullptr;
}

TEST(DpiScale, TheLayoutScalesWithoutOverlapsAndIsExactAt96) {
    for (const int dpi : {96, 120, 144, 168, 192, 288}) {
        const int formWidth = Scaled(win32::kFormWidth, dpi), formHeight = Scaled(win32::kFormHeight, dpi);
        for (int i = 0; i < win32::kControlCount; ++i) {
            const ControlSpec& c = win32::kControls[i];
            const ScaledRect r = RectOf(c, dpi);
            if (dpi == kDesignDpi) {
                EXPECT_EQ(r.left, c.x);
                EXPECT_EQ(r.top, c.y);
                EXPECT_EQ(r.Width(), c.width);
                EXPECT_EQ(r.Height(), c.height);
            }
            const ControlSpec* parent = Parent(c);
            const int parentWidth = parent ? parent->width : win32::kFormWidth;
            const int parentHeight = parent ? parent->height : win32::kFormHeight;
            const ScaledRect designed = RectOf(c, kDesignDpi);
            if (Inside(designed, parentWidth, parentHeight)) {
                EXPECT_TRUE(Inside(r, parent ? RectOf(*parent, dpi).Width() : formWidth,
                                   parent ? RectOf(*parent, dpi).Height() : formHeight))
                    << "control " << c.id << " at " << dpi;
            }
            for (int j = i + 1; j < win32::kControlCount; ++j) {
                const ControlSpec& other = win32::kControls[j];
                if (other.parent != c.parent || Overlap(designed, RectOf(other, kDesignDpi))) continue;
                EXPECT_FALSE(Overlap(r, RectOf(other, dpi))) << c.id << " and " << other.id << " at " << dpi;
            }
        }
    }
    EXPECT_EQ(Scaled(-6, 144), -9);
    EXPECT_EQ(Scaled(317, 144), 476);  // 475.5, rounded as Windows rounds
}

}  // namespace
}  // namespace velmoran::ui
