// Surfaces that paint through real GDI device contexts: the memory context of
// a DIB section (the window's backing bitmap, a headless picture) and a
// printer's context. The platform's device context keeps the classic state
// (mapping mode, saved states) and hands device pixels here; pens, brushes,
// raster operations, clipping and TrueType text are GDI's own.
#pragma once

#include "platform/device_context.h"

#include <windows.h>
// The system's DrawState function, not our drawing state.
#undef DrawState

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace platform {

class GdiSurface : public Surface {
  public:
    ~GdiSurface() override;
    GdiSurface(const GdiSurface&) = delete;
    GdiSurface& operator=(const GdiSurface&) = delete;

    int Width() const override { return width_; }
    int Height() const override { return height_; }
    double DotsPerInch() const override { return dotsPerInch_; }

    void Polyline(const DrawState& state, std::span<const DevicePoint> points) override;
    void Segments(const DrawState& state, std::span<const DevicePoint> ends) override;
    void Polygon(const DrawState& state, std::span<const DevicePoint> points) override;
    void Text(const DrawState& state, DevicePoint anchor, std::u16string_view text,
              const TextFont& font) override;
    double TextWidth(std::u16string_view text, const TextFont& font) override;

    HDC Dc() const { return dc_; }

  protected:
    GdiSurface(HDC dc, int width, int height, double dotsPerInch);
    // Puts the stock objects back and deletes the ones made here; a derived
    // surface calls it before it deletes its context.
    void ReleaseObjects();
    // A printer forgets the selected objects at each page: select them again.
    void ForgetAppliedState() { applied_.reset(); }

  private:
    // A family at a fixed pixel size; text is scaled from it by the world
    // transform, so every height is exact and measures agree with the drawing.
    struct FontEntry {
        HFONT font = nullptr;
        double capHeight = 0;
    };

    void Apply(const DrawState& state);
    const FontEntry& FontFor(const std::string& family);
    const std::vector<POINT>& ToPoints(std::span<const DevicePoint> points);
    void Dot(DevicePoint at);
    const std::vector<INT>& Advances(const FontEntry& entry, std::u16string_view text);

    HDC dc_;
    int width_, height_;
    double dotsPerInch_;
    std::optional<DrawState> applied_;
    HPEN pen_ = nullptr;
    HBRUSH brush_ = nullptr;
    HGDIOBJ originalPen_ = nullptr, originalBrush_ = nullptr, originalFont_ = nullptr;
    std::map<std::string, FontEntry> fonts_;
    std::vector<POINT> points_;
    std::vector<INT> advances_;
};

// A white top-down 32-bit DIB section in a memory context of its own.
class DibSurface : public GdiSurface {
  public:
    DibSurface(int width, int height, double dotsPerInch = 100.0);
    ~DibSurface() override;

    // Rows from the top, each pixel 0x00RRGGBB; nullptr when the system had
    // no bitmap of that size.
    uint32_t* Pixels();

  private:
    HBITMAP bitmap_ = nullptr;
    HGDIOBJ originalBitmap_ = nullptr;
    void* bits_ = nullptr;
};

// The pages of a printer, the paper's corner as the origin. The surface owns
// the context it is given.
class PrinterSurface : public GdiSurface {
  public:
    // `outputFile` non-empty: the document goes to that file (a printer that
    // writes files, such as a PDF printer). `unitsPerInch` 0: the surface's
    // unit is the printer's dot; else GDI maps that many units to the inch.
    PrinterSurface(HDC printer, std::wstring outputFile = {}, double unitsPerInch = 0);
    ~PrinterSurface() override;

    bool StartDocument(std::string_view name) override;
    bool StartPage() override;
    bool EndPage() override;
    bool EndDocument() override;

    // Ends the document if it is still open; false when any step failed.
    bool Finish();

  private:
    void MapPaper();

    std::wstring outputFile_;
    int unitsPerInch_;
    bool documentOpen_ = false;
    bool failed_ = false;
};

// Windows-1252 or UTF-16 text the system's wide functions take.
std::wstring Widen(std::string_view text);
// `text` in the ANSI code page; nullopt when it has characters the code page
// lacks.
std::optional<std::string> Narrow(std::wstring_view text);

} // namespace platform
