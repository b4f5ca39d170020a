#include "platform/gdi_surface_windows.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <numeric>

namespace platform {

namespace {

constexpr int kReferencePixelSize = 256;
// A user-defined pen style holds at most this many lengths.
constexpr size_t kMaxStyleEntries = 16;
// Wider than this (device pixels) a pen is geometric; thinner it is GDI's
// cosmetic one-pixel pen, which is what the thinnest line is on every device.
constexpr double kCosmeticWidth = 1.5;
constexpr const wchar_t* kFallbackFace = L"Arial";

COLORREF ToColorRef(const Rgb& colour) {
    return RGB(colour.red, colour.green, colour.blue);
}

LONG Round(double value) {
    return static_cast<LONG>(std::lround(std::clamp(value, -1.0e8, 1.0e8)));
}

HPEN CreatePen(const Pen& pen) {
    if (pen.null) return static_cast<HPEN>(::GetStockObject(NULL_PEN));
    LOGBRUSH ink{BS_SOLID, ToColorRef(pen.colour), 0};
    const bool cosmetic = pen.width < kCosmeticWidth;
    const DWORD width = cosmetic ? 1 : static_cast<DWORD>(std::lround(pen.width));
    DWORD style = cosmetic ? PS_COSMETIC : PS_GEOMETRIC;
    std::vector<DWORD> lengths;
    if (pen.dashes.empty()) {
        style |= PS_SOLID | PS_ENDCAP_ROUND | PS_JOIN_ROUND;
    } else {
        // Whole pixels, none empty: a dot is one pixel, a gap at least one.
        for (size_t i = 0; i < pen.dashes.size() && i < kMaxStyleEntries; ++i) {
            lengths.push_back(static_cast<DWORD>(std::max(1L, std::lround(pen.dashes[i]))));
        }
        style |= PS_USERSTYLE | PS_ENDCAP_FLAT | PS_JOIN_MITER;
    }
    return ExtCreatePen(style, width, &ink, static_cast<DWORD>(lengths.size()),
                        lengths.empty() ? nullptr : lengths.data());
}

bool SamePoint(const DevicePoint& a, const DevicePoint& b) {
    return a.x == b.x && a.y == b.y;
}

} // namespace

std::wstring Widen(std::string_view text) {
    if (text.empty()) return {};
    const int size = static_cast<int>(text.size());
    const int length = MultiByteToWideChar(CP_ACP, 0, text.data(), size, nullptr, 0);
    std::wstring wide(static_cast<size_t>(length), L'\0');
    MultiByteToWideChar(CP_ACP, 0, text.data(), size, wide.data(), length);
    return wide;
}

std::optional<std::string> Narrow(std::wstring_view text) {
    if (text.empty()) return std::string();
    const int size = static_cast<int>(text.size());
    BOOL lossy = FALSE;
    const int length = WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, text.data(), size, nullptr,
                                           0, nullptr, &lossy);
    std::string narrow(static_cast<size_t>(length), '\0');
    WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, text.data(), size, narrow.data(), length,
                        nullptr, &lossy);
    if (lossy) return std::nullopt;
    return narrow;
}

// --- GdiSurface ------------------------------------------------------------------

GdiSurface::GdiSurface(HDC dc, int width, int height, double dotsPerInch)
    : dc_(dc), width_(width), height_(height), dotsPerInch_(dotsPerInch) {
    // World transforms for text; lines and fills keep the identity.
    SetGraphicsMode(dc_, GM_ADVANCED);
    SetBkMode(dc_, TRANSPARENT);
    SetPolyFillMode(dc_, ALTERNATE);
    SetTextAlign(dc_, TA_BASELINE | TA_LEFT | TA_NOUPDATECP);
}

GdiSurface::~GdiSurface() {
    ReleaseObjects();
}

void GdiSurface::ReleaseObjects() {
    if (!dc_) return;
    if (originalPen_) ::SelectObject(dc_, originalPen_);
    if (originalBrush_) ::SelectObject(dc_, originalBrush_);
    if (originalFont_) ::SelectObject(dc_, originalFont_);
    originalPen_ = originalBrush_ = originalFont_ = nullptr;
    if (pen_) DeleteObject(pen_);
    if (brush_) DeleteObject(brush_);
    pen_ = nullptr;
    brush_ = nullptr;
    for (auto& [family, entry] : fonts_)
        DeleteObject(entry.font);
    fonts_.clear();
    applied_.reset();
}

void GdiSurface::Apply(const DrawState& state) {
    if (applied_ && *applied_ == state) return;
    if (!applied_ || !(applied_->pen == state.pen)) {
        HPEN pen = CreatePen(state.pen);
        HGDIOBJ previous = ::SelectObject(dc_, pen);
        if (!originalPen_) originalPen_ = previous;
        if (pen_) DeleteObject(pen_); // stock objects ignore this
        pen_ = pen;
        SetTextColor(dc_, ToColorRef(state.pen.colour));
    }
    if (!applied_ || !(applied_->brush == state.brush)) {
        HBRUSH brush = state.brush.null ? static_cast<HBRUSH>(::GetStockObject(NULL_BRUSH))
                                        : CreateSolidBrush(ToColorRef(state.brush.colour));
        HGDIOBJ previous = ::SelectObject(dc_, brush);
        if (!originalBrush_) originalBrush_ = previous;
        if (brush_) DeleteObject(brush_);
        brush_ = brush;
    }
    ::SetROP2(dc_, state.rasterOp);
    if (state.clip) {
        HRGN clip = CreateRectRgn(static_cast<int>(std::floor(state.clip->left)),
                                  static_cast<int>(std::floor(state.clip->top)),
                                  static_cast<int>(std::ceil(state.clip->right)),
                                  static_cast<int>(std::ceil(state.clip->bottom)));
        SelectClipRgn(dc_, clip);
        DeleteObject(clip);
    } else {
        SelectClipRgn(dc_, nullptr);
    }
    applied_ = state;
}

const std::vector<POINT>& GdiSurface::ToPoints(std::span<const DevicePoint> points) {
    points_.resize(points.size());
    std::transform(points.begin(), points.end(), points_.begin(), [](const DevicePoint& p) {
        return POINT{Round(p.x), Round(p.y)};
    });
    return points_;
}

// A line of one pixel's length: GDI leaves out the last pixel of a line, so
// this paints exactly the one under the point.
void GdiSurface::Dot(DevicePoint at) {
    const LONG x = Round(at.x), y = Round(at.y);
    MoveToEx(dc_, x, y, nullptr);
    LineTo(dc_, x + 1, y);
}

void GdiSurface::Polyline(const DrawState& state, std::span<const DevicePoint> points) {
    Apply(state);
    if (points.size() == 2 && SamePoint(points[0], points[1])) {
        Dot(points[0]);
        return;
    }
    const std::vector<POINT>& gdi = ToPoints(points);
    ::Polyline(dc_, gdi.data(), static_cast<int>(gdi.size()));
}

void GdiSurface::Segments(const DrawState& state, std::span<const DevicePoint> ends) {
    Apply(state);
    const std::vector<POINT>& gdi = ToPoints(ends);
    std::vector<DWORD> counts;
    std::vector<POINT> lines;
    for (size_t i = 0; i + 1 < ends.size(); i += 2) {
        if (SamePoint(ends[i], ends[i + 1])) {
            Dot(ends[i]);
            continue;
        }
        lines.push_back(gdi[i]);
        lines.push_back(gdi[i + 1]);
        counts.push_back(2);
    }
    if (!counts.empty()) {
        PolyPolyline(dc_, lines.data(), counts.data(), static_cast<DWORD>(counts.size()));
    }
}

void GdiSurface::Polygon(const DrawState& state, std::span<const DevicePoint> points) {
    Apply(state);
    const std::vector<POINT>& gdi = ToPoints(points);
    ::Polygon(dc_, gdi.data(), static_cast<int>(gdi.size()));
}

const GdiSurface::FontEntry& GdiSurface::FontFor(const std::string& family) {
    auto found = fonts_.find(family);
    if (found != fonts_.end()) return found->second;
    LOGFONTW face{};
    face.lfHeight = -kReferencePixelSize; // the em, not the cell
    face.lfWeight = FW_NORMAL;
    face.lfCharSet = DEFAULT_CHARSET;
    face.lfOutPrecision = OUT_TT_ONLY_PRECIS;
    face.lfQuality = CLEARTYPE_NATURAL_QUALITY;
    face.lfPitchAndFamily = VARIABLE_PITCH | FF_SWISS; // what an unknown family falls back to
    const std::u16string name = DecodeTextLine(family);
    const std::wstring wanted = family == "sans-serif" || name.empty()
                                    ? std::wstring(kFallbackFace)
                                    : std::wstring(name.begin(), name.end());
    wcsncpy(face.lfFaceName, wanted.c_str(), LF_FACESIZE - 1);
    FontEntry entry;
    entry.font = CreateFontIndirectW(&face);
    HGDIOBJ previous = ::SelectObject(dc_, entry.font);
    if (!originalFont_) originalFont_ = previous;
    OUTLINETEXTMETRICW outline{};
    outline.otmSize = sizeof outline;
    TEXTMETRICW metrics{};
    if (GetOutlineTextMetricsW(dc_, sizeof outline, &outline) != 0 && outline.otmsCapEmHeight > 0) {
        entry.capHeight = outline.otmsCapEmHeight;
    } else if (GetTextMetricsW(dc_, &metrics)) {
        // Some faces report no capital height: take the ascent's usual share.
        entry.capHeight = metrics.tmAscent * 0.7;
    }
    if (!(entry.capHeight > 0)) entry.capHeight = kReferencePixelSize * 0.7;
    return fonts_.emplace(family, entry).first->second;
}

// The advance of each character at the reference size, unrounded by the size
// the text is drawn at: placed by them, the text is as wide as it measures.
const std::vector<INT>& GdiSurface::Advances(const FontEntry& entry, std::u16string_view text) {
    ::SelectObject(dc_, entry.font);
    const auto length = static_cast<int>(text.size());
    std::vector<INT> ends(text.size());
    SIZE size{};
    GetTextExtentExPointW(dc_, reinterpret_cast<const wchar_t*>(text.data()), length, 0, nullptr,
                          ends.data(), &size);
    advances_.resize(text.size());
    for (size_t i = 0; i < ends.size(); ++i)
        advances_[i] = ends[i] - (i > 0 ? ends[i - 1] : 0);
    return advances_;
}

void GdiSurface::Text(const DrawState& state, DevicePoint anchor, std::u16string_view text,
                      const TextFont& font) {
    Apply(state);
    if (!(font.height > 0) || text.empty()) return;
    const FontEntry& entry = FontFor(font.family);
    const std::vector<INT>& advances = Advances(entry, text);
    const double advance = std::accumulate(advances.begin(), advances.end(), 0.0);
    const double x = font.align == TextAlign::Left     ? 0
                     : font.align == TextAlign::Centre ? -advance / 2
                                                       : -advance;
    // Anchor, rotation (counter-clockwise as seen), size and width, slant.
    const double scale = font.height / entry.capHeight;
    const double angle = -font.rotation * std::numbers::pi / 180.0;
    const double c = std::cos(angle), s = std::sin(angle);
    const double sx = scale * font.widthFactor, sy = scale;
    const double shear = -std::tan(font.oblique * std::numbers::pi / 180.0);
    XFORM transform;
    transform.eM11 = static_cast<FLOAT>(c * sx);
    transform.eM21 = static_cast<FLOAT>(c * sx * shear - s * sy);
    transform.eM12 = static_cast<FLOAT>(s * sx);
    transform.eM22 = static_cast<FLOAT>(s * sx * shear + c * sy);
    transform.eDx = static_cast<FLOAT>(anchor.x);
    transform.eDy = static_cast<FLOAT>(anchor.y);
    SetWorldTransform(dc_, &transform);
    // The baseline lies half a capital height below the anchor; each glyph
    // goes where the reference size puts it, so the text is as wide as it
    // measures at every size.
    ExtTextOutW(dc_, Round(x), Round(entry.capHeight / 2), 0, nullptr,
                reinterpret_cast<const wchar_t*>(text.data()), static_cast<UINT>(text.size()),
                advances.data());
    ModifyWorldTransform(dc_, nullptr, MWT_IDENTITY);
}

double GdiSurface::TextWidth(std::u16string_view text, const TextFont& font) {
    const FontEntry& entry = FontFor(font.family);
    const std::vector<INT>& advances = Advances(entry, text);
    return std::accumulate(advances.begin(), advances.end(), 0.0) * font.height / entry.capHeight *
           font.widthFactor;
}

// --- DibSurface ------------------------------------------------------------------

DibSurface::DibSurface(int width, int height, double dotsPerInch)
    : GdiSurface(CreateCompatibleDC(nullptr), std::max(1, width), std::max(1, height),
                 dotsPerInch) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = Width();
    info.bmiHeader.biHeight = -Height(); // top-down rows
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    bitmap_ = CreateDIBSection(Dc(), &info, DIB_RGB_COLORS, &bits_, nullptr, 0);
    if (!bitmap_) return; // too large for the system: paints nothing, shows white
    originalBitmap_ = ::SelectObject(Dc(), bitmap_);
    std::fill_n(static_cast<uint32_t*>(bits_), static_cast<size_t>(Width()) * Height(),
                0x00FFFFFFu);
}

DibSurface::~DibSurface() {
    ReleaseObjects();
    if (originalBitmap_) ::SelectObject(Dc(), originalBitmap_);
    if (bitmap_) DeleteObject(bitmap_);
    ::DeleteDC(Dc());
}

uint32_t* DibSurface::Pixels() {
    GdiFlush(); // GDI may batch calls: finish them before the bits are used
    return static_cast<uint32_t*>(bits_);
}

// --- PrinterSurface --------------------------------------------------------------

namespace {

// The paper's extent and resolution in the surface's units.
int InUnits(HDC printer, int index, double unitsPerInch) {
    const int dots = GetDeviceCaps(printer, index);
    const int dotsPerInch = std::max(1, GetDeviceCaps(printer, LOGPIXELSX));
    return unitsPerInch > 0 ? static_cast<int>(std::lround(dots * unitsPerInch / dotsPerInch))
                            : dots;
}

} // namespace

PrinterSurface::PrinterSurface(HDC printer, std::wstring outputFile, double unitsPerInch)
    : GdiSurface(printer, InUnits(printer, PHYSICALWIDTH, unitsPerInch),
                 InUnits(printer, PHYSICALHEIGHT, unitsPerInch),
                 unitsPerInch > 0 ? unitsPerInch : GetDeviceCaps(printer, LOGPIXELSX)),
      outputFile_(std::move(outputFile)), unitsPerInch_(static_cast<int>(unitsPerInch)) {
    MapPaper();
}

PrinterSurface::~PrinterSurface() {
    if (documentOpen_) AbortDoc(Dc());
    ReleaseObjects();
    ::DeleteDC(Dc());
}

// A printer's context starts at the printable area; the drawing is laid out
// on the whole sheet, in the surface's units.
void PrinterSurface::MapPaper() {
    if (unitsPerInch_ > 0) {
        ::SetMapMode(Dc(), MM_ANISOTROPIC);
        SetWindowExtEx(Dc(), unitsPerInch_, unitsPerInch_, nullptr);
        SetViewportExtEx(Dc(), GetDeviceCaps(Dc(), LOGPIXELSX), GetDeviceCaps(Dc(), LOGPIXELSY),
                         nullptr);
    }
    SetViewportOrgEx(Dc(), -GetDeviceCaps(Dc(), PHYSICALOFFSETX),
                     -GetDeviceCaps(Dc(), PHYSICALOFFSETY), nullptr);
}

bool PrinterSurface::StartDocument(std::string_view name) {
    const std::wstring title = Widen(name);
    DOCINFOW info{};
    info.cbSize = sizeof info;
    info.lpszDocName = title.c_str();
    info.lpszOutput = outputFile_.empty() ? nullptr : outputFile_.c_str();
    documentOpen_ = StartDocW(Dc(), &info) > 0;
    failed_ = failed_ || !documentOpen_;
    return documentOpen_;
}

bool PrinterSurface::StartPage() {
    const bool started = documentOpen_ && ::StartPage(Dc()) > 0;
    ForgetAppliedState();
    MapPaper();
    failed_ = failed_ || !started;
    return started;
}

bool PrinterSurface::EndPage() {
    const bool ended = documentOpen_ && ::EndPage(Dc()) > 0;
    failed_ = failed_ || !ended;
    return ended;
}

bool PrinterSurface::EndDocument() {
    const bool ended = documentOpen_ && ::EndDoc(Dc()) > 0;
    documentOpen_ = false;
    failed_ = failed_ || !ended;
    return ended;
}

bool PrinterSurface::Finish() {
    if (documentOpen_) EndDocument();
    return !failed_;
}

} // namespace platform
