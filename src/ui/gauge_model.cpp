#include "ui/gauge_model.h"

#include "common/failure.h"

namespace velmoran::ui {

void GaugeModel::SetMax(int maximum) {
    if (maximum < 0) throw Failure("Value must be between 1 and 2147483647");
    max_ = maximum;
    if (progress_ > max_) progress_ = max_;
}

bool GaugeModel::SetProgress(long long progress) {
    const int before = Percent();
    progress_ = progress < 0 ? 0 : (progress > max_ ? max_ : progress);
    return Percent() != before;
}

int GaugeModel::Percent() const {
    return max_ == 0 ? 0 : static_cast<int>(progress_ * 100 / max_);
}

}  // namespace velmoran::ui
