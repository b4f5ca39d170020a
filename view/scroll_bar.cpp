#include "view/scroll_bar.h"

namespace view {

void ScrollBarModel::SetValue(int16_t value) {
    if (value == value_) return;
    value_ = value;
    if (onChange_) onChange_();
}

} // namespace view
