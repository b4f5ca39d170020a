// What a drawing pass paints, kept to be painted later: a surface that
// records its primitives in order, with where each reaches down the picture,
// so that the picture can be painted in horizontal bands, each band by its
// own painter (and thread), every band getting only what reaches it.
#pragma once

#include "platform/device_context.h"

#include <cstddef>
#include <string>
#include <vector>

namespace render {

// Whether a fill covers the whole of a picture of width x height pixels,
// hiding everything painted before it.
bool CoversThePicture(const platform::DrawState& state,
                      std::span<const platform::DevicePoint> points, int width, int height);

// The row above which `share` (0 to 1) of the work of `workByRow` lies.
int RowSplittingWork(const std::vector<double>& workByRow, double share);

class DisplayList : public platform::Surface {
  public:
    // A list for a picture the size of `measure`, which also measures text
    // while the list is made.
    explicit DisplayList(platform::Surface& measure) : measure_(measure) {}

    int Width() const override { return measure_.Width(); }
    int Height() const override { return measure_.Height(); }
    double DotsPerInch() const override { return measure_.DotsPerInch(); }
    double PixelRatio() const override { return measure_.PixelRatio(); }

    void Polyline(const platform::DrawState& state,
                  std::span<const platform::DevicePoint> points) override;
    void Segments(const platform::DrawState& state,
                  std::span<const platform::DevicePoint> ends) override;
    // An opaque fill over the whole picture hides all before it: the list
    // starts again from it (a window erased and drawn anew, however often,
    // holds one picture's primitives).
    void Polygon(const platform::DrawState& state,
                 std::span<const platform::DevicePoint> points) override;
    void Text(const platform::DrawState& state, platform::DevicePoint anchor,
              std::u16string_view text, const platform::TextFont& font) override;
    double TextWidth(std::u16string_view text, const platform::TextFont& font) override;

    bool Empty() const { return primitives_.empty(); }
    // How much the list holds: primitives and their points.
    size_t Size() const { return primitives_.size() + points_.size(); }
    void Clear();
    // Whether any primitive inverts what lies below it: such a list is
    // painted whole, as one, so that painting it twice restores the picture.
    bool Inverts() const { return inverts_; }
    // An estimate of what painting the list costs, in units of a short line.
    double Work() const { return work_; }
    // Adds the list's estimated work to `workByRow` (one entry a row of the
    // picture), each primitive's at the row of its middle.
    void AddWorkByRow(std::vector<double>& workByRow) const;

    // Paints, in order, the primitives that may reach rows [top, bottom) onto
    // `target`, each clipped to those rows.
    void Replay(platform::Surface& target, int top, int bottom) const;

  private:
    enum class Kind : uint8_t { Polyline, Segments, Polygon, Text };
    struct Primitive {
        Kind kind;
        uint32_t state;                  // into states_
        size_t first;                    // into points_ (for text, its anchor)
        size_t count;                    // points
        uint32_t font = 0;               // for text: into fonts_,
        size_t text = 0, characters = 0; // and where it lies in text_
        float top = 0, bottom = 0;       // the rows it may reach
        float work = 0;                  // what painting it costs (Work)
    };

    // Records a primitive of `points`, reaching as far beyond them as its pen.
    Primitive& Add(Kind kind, const platform::DrawState& state,
                   std::span<const platform::DevicePoint> points);

    platform::Surface& measure_;
    std::vector<Primitive> primitives_;
    std::vector<platform::DrawState> states_; // each differing from the one before
    std::vector<platform::TextFont> fonts_;   // likewise
    std::vector<platform::DevicePoint> points_;
    std::u16string text_;
    double work_ = 0;
    bool inverts_ = false;
};

} // namespace render
