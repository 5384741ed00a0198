#include "ui/gauge_model.h"

#include <gtest/gtest.h>

#include "common/failure.h"

namespace velmoran::ui {
namespace {

TEST(GaugeModel, ClampsProgressAndTellsWhenToRepaint) {
    const struct {
        int max;
        long long progress;
        long long kept;
        int percent, barIn200;
        bool repaint;  // from 0 %
    } cases[] = {
        {100, 50, 50, 50, 100, true},
        {100, -5, 0, 0, 0, false},
        {100, 1LL << 40, 100, 100, 200, true},   // beyond the maximum
        {2147483647, 2147483646, 2147483646, 99, 198, true},
        {1000, 9, 9, 0, 0, false},               // below one per cent: nothing to repaint
        {0, 7, 0, 0, 0, false},                  // an empty range shows nothing
    };
    for (const auto& c : cases) {
        GaugeModel gauge;
        gauge.SetMax(c.max);
        EXPECT_EQ(gauge.SetProgress(c.progress), c.repaint) << c.max << " " << c.progress;
        EXPECT_EQ(gauge.Progress(), c.kept) << c.max << " " << c.progress;
        EXPECT_EQ(gauge.Percent(), c.percent) << c.max << " " << c.progress;
        EXPECT_EQ(gauge.BarHeight(200), c.barIn200) << c.max << " " << c.progress;
    }
    GaugeModel shrunk;
    shrunk.SetProgress(80);
    shrunk.SetMax(40);  // a smaller range takes the progress down with it
    EXPECT_EQ(shrunk.Progress(), 40);
    EXPECT_THROW(shrunk.SetMax(-1), Failure);
}

}  // namespace
}  // namespace velmoran::ui
