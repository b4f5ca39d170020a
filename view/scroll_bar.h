// A scroll bar's model: range, small and large change, value, and where the
// bar lies in the window. Setting a value that differs from the present one
// reports a change, as the window's bars do.
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

    // Position and size in the window's client pixels. Edges take any value;
    // a negative width or height is refused (false) and the old one stays.
    double Left() const { return left_; }
    double Top() const { return top_; }
    double Width() const { return width_; }
    double Height() const { return height_; }
    void SetLeft(double value) { left_ = value; }
    void SetTop(double value) { top_ = value; }
    bool SetWidth(double value);
    bool SetHeight(double value);

  private:
    int16_t min_ = 0, max_ = 32767, smallChange_ = 1, largeChange_ = 1, value_ = 0;
    std::function<void()> onChange_;
    double left_ = 0, top_ = 0, width_ = 0, height_ = 0;
};

} // namespace view
