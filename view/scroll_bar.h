// A scroll bar's model: range, small and large change, value. Setting a value
// that differs from the present one reports a change, as the window's bars do.
#pragma once

#include <cstdint>
#include <functional>

namespace view {

class ScrollBarModel {
  public:
    int16_t Min() const { return min_; }
    int16_t Max() const { return max_; }
    int16_t SmallChange() const { return smallChange_; }
    int16_t LargeChange() const { return largeChange_; }
    int16_t Value() const { return value_; }

    void SetMin(int16_t value) { min_ = value; }
    void SetMax(int16_t value) { max_ = value; }
    void SetSmallChange(int16_t value) { smallChange_ = value; }
    void SetLargeChange(int16_t value) { largeChange_ = value; }
    // Runs the change handler (synchronously) when the value changes.
    void SetValue(int16_t value);

    void OnChange(std::function<void()> handler) { onChange_ = std::move(handler); }

  private:
    int16_t min_ = 0, max_ = 32767, smallChange_ = 1, largeChange_ = 1, value_ = 0;
    std::function<void()> onChange_;
};

} // namespace view
