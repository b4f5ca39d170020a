// Device contexts: integer handles onto drawing surfaces (the window's backing
// image, a printer, an image or PDF file, a recording for tests), with the
// classic calls the viewer and the CAD library's display use. A device context
// holds the drawing state (mapping mode, raster operation, pen, brush, clip,
// saved states) and maps logical coordinates to the surface's device units;
// the surface only paints what it is given, in device units.
#pragma once

#include "platform/window_handles.h"

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

using DeviceContextHandle = int32_t;
using ObjectHandle = int32_t;

// Raster operations (SetROP2).
inline constexpr int32_t R2_NOT = 6;
inline constexpr int32_t R2_COPYPEN = 13;

// Mapping modes (SetMapMode).
inline constexpr int32_t MM_TEXT = 1;      // one unit is one device pixel, y grows downwards
inline constexpr int32_t MM_LOENGLISH = 4; // one unit is 0.01 inch, y grows upwards

// Stock objects (GetStockObject).
inline constexpr int32_t WHITE_BRUSH = 0;
inline constexpr int32_t BLACK_BRUSH = 4;
inline constexpr int32_t NULL_BRUSH = 5;
inline constexpr int32_t WHITE_PEN = 6;
inline constexpr int32_t BLACK_PEN = 7;
inline constexpr int32_t NULL_PEN = 8;

// Device capabilities (GetDeviceCaps).
inline constexpr int32_t HORZRES = 8;
inline constexpr int32_t VERTRES = 10;
inline constexpr int32_t LOGPIXELSX = 88;
inline constexpr int32_t LOGPIXELSY = 90;

struct Rgb {
    uint8_t red = 0, green = 0, blue = 0;
    bool operator==(const Rgb&) const = default;
};

struct DevicePoint {
    double x = 0, y = 0;
};
struct DeviceRect {
    double left = 0, top = 0, right = 0, bottom = 0;
    bool operator==(const DeviceRect&) const = default;
};
struct LogicalPoint {
    double x = 0, y = 0;
};
struct LogicalRect {
    double left = 0, top = 0, right = 0, bottom = 0;
};

// A pen in the units of its context: lengths are device units on a surface
// and logical units on a device context (the context converts them).
struct Pen {
    bool null = false;
    Rgb colour;
    double width = 0; // 0: the thinnest line the device draws
    // Alternating drawn and skipped lengths, starting with a drawn one; an even
    // count, or empty for a solid line. A drawn length of 0 is a dot, painted
    // one pen width long by a pen wider than 1 (DashPeriod counts it so).
    std::vector<double> dashes;
    double dashOffset = 0; // how far into the pattern the first point lies
    bool operator==(const Pen&) const = default;
};

struct Brush {
    bool null = false;
    Rgb colour{255, 255, 255};
    bool operator==(const Brush&) const = default;
};

// How far a dashed pen's pattern runs before it repeats, as it is painted:
// what a stroke cut anywhere must go on from to keep its dashes in step.
double DashPeriod(const Pen& pen);

// The corners of a dashed stroke are mitred: a tip reaches at most this many
// pen widths from its corner, beyond which the corner is cut.
inline constexpr double kMiterLimit = 2;

// Everything a surface needs to paint one primitive.
struct DrawState {
    Pen pen; // device units, width at least 1
    Brush brush;
    int32_t rasterOp = R2_COPYPEN;
    std::optional<DeviceRect> clip;
    bool operator==(const DrawState&) const = default;
};

enum class TextAlign { Left, Centre, Right };

// A line of TrueType text: the height of its capitals, the rotation in degrees
// counter-clockwise as seen, the width factor and the slant (degrees).
struct TextFont {
    std::string family;
    double height = 0;
    double rotation = 0;
    double widthFactor = 1;
    double oblique = 0;
    TextAlign align = TextAlign::Left;
    bool operator==(const TextFont&) const = default;
};

// A drawing surface in device units: origin at the top left, y down.
class Surface {
  public:
    virtual ~Surface() = default;

    virtual int Width() const = 0;
    virtual int Height() const = 0;
    virtual double DotsPerInch() const = 0;
    // Device pixels to one pixel of the window's client area: the screen's
    // scale (1.25, 1.5, 2...) for a window's surface, 1 for any other. In the
    // pixel mapping mode one logical unit is this many device pixels.
    virtual double PixelRatio() const { return 1.0; }

    // An open polyline; two equal points draw a dot.
    virtual void Polyline(const DrawState& state, std::span<const DevicePoint> points) = 0;
    // Separate segments, two points each; a segment of equal points is a dot.
    virtual void Segments(const DrawState& state, std::span<const DevicePoint> ends) = 0;
    // A closed polygon filled with the brush (even-odd) and outlined with the pen.
    virtual void Polygon(const DrawState& state, std::span<const DevicePoint> points) = 0;
    // One line of text in the pen's colour, the middle of its capitals at
    // `anchor`, aligned there horizontally.
    virtual void Text(const DrawState& state, DevicePoint anchor, std::u16string_view text,
                      const TextFont& font) = 0;
    // The advance width of `text` in device units.
    virtual double TextWidth(std::u16string_view text, const TextFont& font) = 0;

    // Moves the pixels of `area` (whole device pixels, left/top inclusive,
    // right/bottom exclusive) by dx, dy device pixels: what moves out of it
    // is lost, what it uncovers keeps its old pixels. false, changing
    // nothing, on a surface that cannot (it is drawn anew instead).
    virtual bool Scroll(const DeviceRect& area, int dx, int dy);

    // Documents and pages, for surfaces that print; the others accept them.
    virtual bool StartDocument(std::string_view name);
    virtual bool StartPage();
    virtual bool EndPage();
    virtual bool EndDocument();
};

// UTF-8 text as UTF-16, for drawing as one line: control characters become
// blanks.
std::u16string DecodeTextLine(std::string_view text);

// A device context over a surface.
class DeviceContext {
  public:
    explicit DeviceContext(Surface& surface);

    // Previous mode; 0, changing nothing, for an unknown mode.
    int32_t SetMapMode(int32_t mode);
    int32_t MapMode() const { return state_.mapMode; }
    // Previous operation; 0, changing nothing, for an unknown one.
    int32_t SetRasterOp(int32_t op);
    // Selects a stock pen or brush; returns the object it replaces, 0 for an unknown object.
    ObjectHandle Select(ObjectHandle object);
    // Pens and brushes made on the spot (lengths in logical units).
    void SetPen(const Pen& pen);
    void SetBrush(const Brush& brush);
    void SetClip(std::optional<LogicalRect> clip);

    // The state's number on the stack (from 1), 0 on failure.
    int32_t Save();
    // Back to saved state `level` (negative: relative to the top), dropping it
    // and every state saved after it.
    bool Restore(int32_t level);

    int32_t Capability(int32_t index) const;

    void Polyline(std::span<const LogicalPoint> points);
    void Segments(std::span<const LogicalPoint> ends);
    void Polygon(std::span<const LogicalPoint> points);
    void Rectangle(double left, double top, double right, double bottom);
    // Surface::Scroll by dx, dy logical units, of the whole device pixels of
    // `area`; false when the surface cannot, or the move is not a whole
    // number of device pixels (so that what moves lands on pixels exactly).
    bool Scroll(const LogicalRect& area, double dx, double dy);
    // `height` and `rotation` as in TextFont, the height in logical units.
    void Text(LogicalPoint anchor, std::string_view text, const TextFont& font);
    double TextWidth(std::string_view text, const TextFont& font);

    bool StartDocument(std::string_view name) { return surface_.StartDocument(name); }
    bool StartPage() { return surface_.StartPage(); }
    bool EndPage() { return surface_.EndPage(); }
    bool EndDocument() { return surface_.EndDocument(); }

  private:
    struct State {
        int32_t mapMode = MM_TEXT;
        int32_t rasterOp = R2_COPYPEN;
        Pen pen;
        Brush brush;
        ObjectHandle penObject = 0, brushObject = 0;
        std::optional<LogicalRect> clip;
    };

    double DevicePerLogical() const; // the same across and down
    DevicePoint ToDevice(LogicalPoint point) const;
    TextFont ToDevice(const TextFont& font) const;
    const DrawState& Device(); // the state in device units, rebuilt after a change
    const std::vector<DevicePoint>& ToDevice(std::span<const LogicalPoint> points);

    Surface& surface_;
    const double pixelRatio_; // a surface's, which it keeps: asked for at every point
    State state_;
    std::vector<State> saved_;
    DrawState device_;
    bool deviceStale_ = true;
    std::vector<DevicePoint> points_;
};

// --- Handles -----------------------------------------------------------------

// Makes `surface` the one that GetDC hands out for `window` (nullptr: none).
// Removing a window's surface ends the device contexts obtained for it.
void RegisterWindowSurface(WindowHandle window, Surface* surface);

// Registers a surface for the life of the object.
class ScopedWindowSurface {
  public:
    ScopedWindowSurface(WindowHandle window, Surface& surface);
    ~ScopedWindowSurface();
    ScopedWindowSurface(const ScopedWindowSurface&) = delete;
    ScopedWindowSurface& operator=(const ScopedWindowSurface&) = delete;

  private:
    WindowHandle window_;
};

// A device context onto a surface that belongs to no window (a printer, a
// file); DeleteDC ends it.
DeviceContextHandle CreateDeviceContext(Surface& surface);
int32_t DeleteDC(DeviceContextHandle dc);

// The context of a handle; nullptr for 0, unknown or ended handles.
DeviceContext* FindDeviceContext(DeviceContextHandle dc);

// --- The classic calls ---------------------------------------------------------

// A fresh device context onto the window's surface, 0 when it has none.
DeviceContextHandle GetDC(WindowHandle window);
int32_t ReleaseDC(WindowHandle window, DeviceContextHandle dc);
int32_t SetROP2(DeviceContextHandle dc, int32_t op);
ObjectHandle GetStockObject(int32_t index);
ObjectHandle SelectObject(DeviceContextHandle dc, ObjectHandle object);
int32_t Rectangle(DeviceContextHandle dc, int32_t left, int32_t top, int32_t right, int32_t bottom);
int32_t SaveDC(DeviceContextHandle dc);
int32_t RestoreDC(DeviceContextHandle dc, int32_t level);
int32_t SetMapMode(DeviceContextHandle dc, int32_t mode);
int32_t GetDeviceCaps(DeviceContextHandle dc, int32_t index);
// Moves the picture within `area` by dx, dy logical units (DeviceContext::Scroll):
// 1 when it moved, 0 when it did not and the area must be drawn anew.
int32_t ScrollDC(DeviceContextHandle dc, double dx, double dy, const LogicalRect& area);

// The document information record: size, document name, output file (null: the device).
struct DOCINFOA {
    int32_t cbSize = 0;
    const char* lpszDocName = nullptr;
    const char* lpszOutput = nullptr;
};

// Print job calls: a positive result on success, 0 or less on failure.
int32_t StartDocA(DeviceContextHandle dc, const DOCINFOA& info);
int32_t StartPage(DeviceContextHandle dc);
int32_t EndPage(DeviceContextHandle dc);
int32_t EndDoc(DeviceContextHandle dc);

} // namespace platform
