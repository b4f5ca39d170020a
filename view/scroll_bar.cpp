#include "view/scroll_bar.h"

#include <algorithm>
#include <cmath>

namespace view {

void ScrollBarModel::SetValue(int16_t value) {
    if (value == value_) return;
    value_ = value;
    if (onChange_) onChange_();
}

bool ScrollBarModel::SetWidth(double value) {
    if (value < 0) return false;
    width_ = value;
    return true;
}

bool ScrollBarModel::SetHeight(double value) {
    if (value < 0) return false;
    height_ = value;
    return true;
}

namespace {

int16_t Steps(double count, int lowest, int highest) {
    return static_cast<int16_t>(std::clamp<long>(std::lround(count), lowest, highest));
}

} // namespace

BarPlacement PlaceBar(double pageStart, double pageEnd, double viewStart, double viewEnd) {
    const double view = viewEnd - viewStart;
    const double start = std::min(pageStart, viewStart) - view / 2;
    const double end = std::max(pageEnd, viewEnd) + view / 2;
    const double perStep = (end - start) / kBarSteps;
    if (!(view > 0) || !std::isfinite(perStep) || !(perStep > 0)) return {};
    BarPlacement placement;
    placement.span = Steps(view / perStep, 1, kBarSteps);
    placement.max = static_cast<int16_t>(kBarSteps - placement.span);
    placement.value = Steps((viewStart - start) / perStep, 0, placement.max);
    return placement;
}

void ShowPlacement(ScrollBarModel& bar, const BarPlacement& placement) {
    bar.SetMin(0);
    bar.SetMax(placement.max);
    bar.SetSpan(placement.span);
    bar.SetSmallChange(Steps(placement.span * kArrowShare, 1, kBarSteps));
    bar.SetLargeChange(Steps(placement.span * kTroughShare, 1, kBarSteps));
    bar.SetValue(placement.value);
}

} // namespace view
