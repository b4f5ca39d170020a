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
    // The thumb's length in the bar's units: the share of the bar the view is.
    int16_t Span() const { return span_; }

    void SetMin(int16_t value) { min_ = value; }
    void SetMax(int16_t value) { max_ = value; }
    void SetSmallChange(int16_t value) { smallChange_ = value; }
    void SetLargeChange(int16_t value) { largeChange_ = value; }
    void SetSpan(int16_t value) { span_ = value; }
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
    int16_t min_ = 0, max_ = 32767, smallChange_ = 1, largeChange_ = 1, value_ = 0, span_ = 1;
    std::function<void()> onChange_;
    double left_ = 0, top_ = 0, width_ = 0, height_ = 0;
};

// An arrow of a bar pans this share of the view, a click in its trough this.
inline constexpr double kArrowShare = 1 / 20.0;
inline constexpr double kTroughShare = 1 / 2.0;

// The steps a bar has from the start of what it spans to its end.
inline constexpr int16_t kBarSteps = 1000;

// Where a bar shows the view along one axis of the drawing (coordinates
// growing along the bar): the page and the view, with half a view more on
// either side so that the view can always be panned further, take the
// bar's kBarSteps; the thumb (`span` steps) is the view. A span of all the
// steps when there is nothing to show.
struct BarPlacement {
    int16_t value = 0, span = kBarSteps, max = 0;
};
BarPlacement PlaceBar(double pageStart, double pageEnd, double viewStart, double viewEnd);

// Sets `bar` to show `placement`: its range, thumb and value; an arrow steps
// a twentieth of the view's steps, the trough half of them.
void ShowPlacement(ScrollBarModel& bar, const BarPlacement& placement);

} // namespace view
