#include "view/scroll_bar.h"

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

} // namespace view
