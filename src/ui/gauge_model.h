#pragma once
// The numbers behind a vertical gauge: range, clamped progress, the percentage
// shown and the bar height, so the window and the tests agree on them.

namespace velmoran::ui {

class GaugeModel {
public:
    // Throws Failure for a negative maximum.
    void SetMax(int maximum);
    // Clamps to [0, maximum]. True when the percentage changed (time to repaint).
    bool SetProgress(long long progress);

    int Max() const { return max_; }
    long long Progress() const { return progress_; }
    // progress x 100 / range, truncated; 0 when the range is 0.
    int Percent() const;
    // The bar's height in an inner area of `innerHeight` pixels.
    int BarHeight(int innerHeight) const { return innerHeight * Percent() / 100; }

private:
    int max_ = 100;
    long long progress_ = 0;
};

}  // namespace velmoran::ui
