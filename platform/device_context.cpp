#include "platform/device_context.h"

#include "platform/text_encoding.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <memory>
#include <unordered_map>
#include <utility>

namespace platform {

namespace {

constexpr double kLoEnglishPerInch = 100.0;

// Stock objects: handles are this base plus the stock index.
constexpr ObjectHandle kStockBase = 0x7E000000;

struct StockObject {
    bool pen;
    bool null;
    Rgb colour;
};

std::optional<StockObject> Stock(ObjectHandle object) {
    switch (object - kStockBase) {
    case WHITE_BRUSH:
        return StockObject{false, false, {255, 255, 255}};
    case BLACK_BRUSH:
        return StockObject{false, false, {0, 0, 0}};
    case NULL_BRUSH:
        return StockObject{false, true, {}};
    case WHITE_PEN:
        return StockObject{true, false, {255, 255, 255}};
    case BLACK_PEN:
        return StockObject{true, false, {0, 0, 0}};
    case NULL_PEN:
        return StockObject{true, true, {}};
    default:
        return std::nullopt;
    }
}

struct Registry {
    std::unordered_map<WindowHandle, Surface*> windows;
    struct Entry {
        WindowHandle window; // 0 for contexts made with CreateDeviceContext
        std::unique_ptr<DeviceContext> context;
    };
    std::unordered_map<DeviceContextHandle, Entry> contexts;
    DeviceContextHandle next = 0x00DC0001;

    DeviceContextHandle Add(WindowHandle window, Surface& surface) {
        const DeviceContextHandle handle = next++;
        contexts.emplace(handle, Entry{window, std::make_unique<DeviceContext>(surface)});
        return handle;
    }
    bool Remove(DeviceContextHandle dc, WindowHandle window) {
        const auto found = contexts.find(dc);
        if (found == contexts.end() || found->second.window != window) return false;
        contexts.erase(found);
        return true;
    }
    void EndContextsOf(WindowHandle window) {
        std::erase_if(contexts,
                      [window](const auto& entry) { return entry.second.window == window; });
    }
};

Registry& Contexts() {
    static Registry registry;
    return registry;
}

template <typename Action>
int32_t WithContext(DeviceContextHandle dc, Action action) {
    DeviceContext* context = FindDeviceContext(dc);
    return context ? action(*context) : 0;
}

} // namespace

double DashPeriod(const Pen& pen) {
    double period = 0;
    for (size_t i = 0; i < pen.dashes.size(); ++i) {
        const bool dot = i % 2 == 0 && pen.dashes[i] == 0;
        period += dot && pen.width > 1 ? pen.width : pen.dashes[i];
    }
    return period;
}

bool Surface::Scroll(const DeviceRect&, int, int) {
    return false;
}

bool Surface::StartDocument(std::string_view) {
    return true;
}
bool Surface::StartPage() {
    return true;
}
bool Surface::EndPage() {
    return true;
}
bool Surface::EndDocument() {
    return true;
}

std::u16string DecodeTextLine(std::string_view text) {
    std::u16string result;
    result.reserve(text.size());
    for (size_t position = 0; position < text.size();) {
        const char32_t character = NextCharacter(text, position);
        const bool control = character < 0x20 || (character >= 0x7F && character < 0xA0);
        if (control) {
            result += u' ';
        } else if (character < 0x10000) {
            result += static_cast<char16_t>(character);
        } else { // a surrogate pair
            result += static_cast<char16_t>(0xD800 + ((character - 0x10000) >> 10));
            result += static_cast<char16_t>(0xDC00 + ((character - 0x10000) & 0x3FF));
        }
    }
    return result;
}

// --- DeviceContext -------------------------------------------------------------

DeviceContext::DeviceContext(Surface& surface)
    : surface_(surface), pixelRatio_(surface.PixelRatio()) {
    Select(kStockBase + BLACK_PEN);
    Select(kStockBase + WHITE_BRUSH);
}

int32_t DeviceContext::SetMapMode(int32_t mode) {
    if (mode != MM_TEXT && mode != MM_LOENGLISH) return 0;
    const int32_t previous = state_.mapMode;
    state_.mapMode = mode;
    deviceStale_ = true;
    return previous;
}

int32_t DeviceContext::SetRasterOp(int32_t op) {
    if (op < 1 || op > 16) return 0;
    const int32_t previous = state_.rasterOp;
    state_.rasterOp = op;
    deviceStale_ = true;
    return previous;
}

ObjectHandle DeviceContext::Select(ObjectHandle object) {
    const std::optional<StockObject> stock = Stock(object);
    if (!stock) return 0;
    ObjectHandle previous;
    if (stock->pen) {
        state_.pen = Pen{stock->null, stock->colour, 0, {}, 0};
        previous = std::exchange(state_.penObject, object);
    } else {
        state_.brush = Brush{stock->null, stock->colour};
        previous = std::exchange(state_.brushObject, object);
    }
    deviceStale_ = true;
    return previous;
}

void DeviceContext::SetPen(const Pen& pen) {
    state_.pen = pen;
    state_.penObject = 0;
    deviceStale_ = true;
}

void DeviceContext::SetBrush(const Brush& brush) {
    state_.brush = brush;
    state_.brushObject = 0;
    deviceStale_ = true;
}

void DeviceContext::SetClip(std::optional<LogicalRect> clip) {
    state_.clip = clip;
    deviceStale_ = true;
}

int32_t DeviceContext::Save() {
    saved_.push_back(state_);
    return static_cast<int32_t>(saved_.size());
}

bool DeviceContext::Restore(int32_t level) {
    const auto depth = static_cast<int32_t>(saved_.size());
    const int32_t target = level < 0 ? depth + level + 1 : level;
    if (target < 1 || target > depth) return false;
    state_ = saved_[target - 1];
    saved_.resize(target - 1);
    deviceStale_ = true;
    return true;
}

int32_t DeviceContext::Capability(int32_t index) const {
    switch (index) {
    case HORZRES:
        return surface_.Width();
    case VERTRES:
        return surface_.Height();
    case LOGPIXELSX:
    case LOGPIXELSY:
        return static_cast<int32_t>(surface_.DotsPerInch() + 0.5);
    default:
        return 0;
    }
}

double DeviceContext::DevicePerLogical() const {
    return state_.mapMode == MM_LOENGLISH ? surface_.DotsPerInch() / kLoEnglishPerInch
                                          : pixelRatio_;
}

DevicePoint DeviceContext::ToDevice(LogicalPoint point) const {
    const double perLogical = DevicePerLogical();
    if (state_.mapMode == MM_TEXT) return {point.x * perLogical, point.y * perLogical};
    return {point.x * perLogical, -point.y * perLogical};
}

TextFont DeviceContext::ToDevice(const TextFont& font) const {
    TextFont device = font;
    device.height = font.height * DevicePerLogical();
    return device;
}

const DrawState& DeviceContext::Device() {
    if (!deviceStale_) return device_;
    const double perLogical = DevicePerLogical();
    device_.pen = state_.pen;
    // On a screen a pen of one pixel or less is the thinnest line the device
    // draws, one device pixel at every scale; wider pens keep their size.
    const bool hairline = state_.mapMode == MM_TEXT && state_.pen.width <= 1;
    device_.pen.width = hairline ? 1.0 : std::max(1.0, state_.pen.width * perLogical);
    for (double& length : device_.pen.dashes)
        length *= perLogical;
    device_.pen.dashOffset *= perLogical;
    device_.brush = state_.brush;
    device_.rasterOp = state_.rasterOp;
    device_.clip.reset();
    if (state_.clip) {
        const DevicePoint a = ToDevice({state_.clip->left, state_.clip->top});
        const DevicePoint b = ToDevice({state_.clip->right, state_.clip->bottom});
        device_.clip = DeviceRect{std::min(a.x, b.x), std::min(a.y, b.y), std::max(a.x, b.x),
                                  std::max(a.y, b.y)};
    }
    deviceStale_ = false;
    return device_;
}

const std::vector<DevicePoint>& DeviceContext::ToDevice(std::span<const LogicalPoint> points) {
    points_.resize(points.size());
    std::transform(points.begin(), points.end(), points_.begin(),
                   [this](LogicalPoint point) { return ToDevice(point); });
    return points_;
}

void DeviceContext::Polyline(std::span<const LogicalPoint> points) {
    const DrawState& state = Device();
    if (points.size() >= 2 && !state.pen.null) surface_.Polyline(state, ToDevice(points));
}

void DeviceContext::Segments(std::span<const LogicalPoint> ends) {
    const DrawState& state = Device();
    if (ends.size() >= 2 && !state.pen.null) {
        surface_.Segments(state, ToDevice(ends.first(ends.size() & ~size_t{1})));
    }
}

void DeviceContext::Polygon(std::span<const LogicalPoint> points) {
    const DrawState& state = Device();
    if (points.size() >= 2 && !(state.pen.null && state.brush.null)) {
        surface_.Polygon(state, ToDevice(points));
    }
}

void DeviceContext::Rectangle(double left, double top, double right, double bottom) {
    const LogicalPoint corners[] = {{left, top}, {right, top}, {right, bottom}, {left, bottom}};
    Polygon(corners);
}

bool DeviceContext::Scroll(const LogicalRect& area, double dx, double dy) {
    const DevicePoint move = ToDevice({dx, dy});
    const auto whole = [](double pixels) {
        return std::isfinite(pixels) && std::fabs(pixels - std::round(pixels)) < 1e-9 &&
               std::fabs(pixels) < 1e9;
    };
    if (!whole(move.x) || !whole(move.y)) return false;
    const DevicePoint a = ToDevice({area.left, area.top});
    const DevicePoint b = ToDevice({area.right, area.bottom});
    // An edge across a row or column of pixels (a scaled screen) leaves pixels
    // half of the area: neither moved whole nor drawn whole by the strips.
    if (!whole(a.x) || !whole(a.y) || !whole(b.x) || !whole(b.y)) return false;
    // The pixels whose middles lie in the area.
    const DeviceRect pixels{
        std::ceil(std::min(a.x, b.x) - 0.5), std::ceil(std::min(a.y, b.y) - 0.5),
        std::ceil(std::max(a.x, b.x) - 0.5), std::ceil(std::max(a.y, b.y) - 0.5)};
    return surface_.Scroll(pixels, static_cast<int>(std::round(move.x)),
                           static_cast<int>(std::round(move.y)));
}

void DeviceContext::Text(LogicalPoint anchor, std::string_view text, const TextFont& font) {
    const DrawState& state = Device();
    surface_.Text(state, ToDevice(anchor), DecodeTextLine(text), ToDevice(font));
}

double DeviceContext::TextWidth(std::string_view text, const TextFont& font) {
    return surface_.TextWidth(DecodeTextLine(text), ToDevice(font)) / DevicePerLogical();
}

// --- Handles -------------------------------------------------------------------

void RegisterWindowSurface(WindowHandle window, Surface* surface) {
    Registry& registry = Contexts();
    registry.EndContextsOf(window);
    if (surface) {
        registry.windows[window] = surface;
    } else {
        registry.windows.erase(window);
    }
}

ScopedWindowSurface::ScopedWindowSurface(WindowHandle window, Surface& surface) : window_(window) {
    RegisterWindowSurface(window, &surface);
}

ScopedWindowSurface::~ScopedWindowSurface() {
    RegisterWindowSurface(window_, nullptr);
}

DeviceContextHandle CreateDeviceContext(Surface& surface) {
    return Contexts().Add(0, surface);
}

int32_t DeleteDC(DeviceContextHandle dc) {
    return Contexts().Remove(dc, 0) ? 1 : 0;
}

DeviceContext* FindDeviceContext(DeviceContextHandle dc) {
    Registry& registry = Contexts();
    const auto found = registry.contexts.find(dc);
    return found == registry.contexts.end() ? nullptr : found->second.context.get();
}

// --- The classic calls ---------------------------------------------------------

DeviceContextHandle GetDC(WindowHandle window) {
    Registry& registry = Contexts();
    const auto found = registry.windows.find(window);
    if (window == 0 || found == registry.windows.end()) return 0;
    return registry.Add(window, *found->second);
}

int32_t ReleaseDC(WindowHandle window, DeviceContextHandle dc) {
    return window != 0 && Contexts().Remove(dc, window) ? 1 : 0;
}

int32_t SetROP2(DeviceContextHandle dc, int32_t op) {
    return WithContext(dc, [op](DeviceContext& context) { return context.SetRasterOp(op); });
}

ObjectHandle GetStockObject(int32_t index) {
    return Stock(kStockBase + index) ? kStockBase + index : 0;
}

ObjectHandle SelectObject(DeviceContextHandle dc, ObjectHandle object) {
    return WithContext(dc, [object](DeviceContext& context) { return context.Select(object); });
}

int32_t Rectangle(DeviceContextHandle dc, int32_t left, int32_t top, int32_t right,
                  int32_t bottom) {
    return WithContext(dc, [&](DeviceContext& context) {
        context.Rectangle(left, top, right, bottom);
        return 1;
    });
}

int32_t SaveDC(DeviceContextHandle dc) {
    return WithContext(dc, [](DeviceContext& context) { return context.Save(); });
}

int32_t RestoreDC(DeviceContextHandle dc, int32_t level) {
    return WithContext(dc,
                       [level](DeviceContext& context) { return context.Restore(level) ? 1 : 0; });
}

int32_t SetMapMode(DeviceContextHandle dc, int32_t mode) {
    return WithContext(dc, [mode](DeviceContext& context) { return context.SetMapMode(mode); });
}

int32_t GetDeviceCaps(DeviceContextHandle dc, int32_t index) {
    return WithContext(dc, [index](DeviceContext& context) { return context.Capability(index); });
}

int32_t ScrollDC(DeviceContextHandle dc, double dx, double dy, const LogicalRect& area) {
    return WithContext(
        dc, [&](DeviceContext& context) { return context.Scroll(area, dx, dy) ? 1 : 0; });
}

int32_t StartDocA(DeviceContextHandle dc, const DOCINFOA& info) {
    return WithContext(dc, [&info](DeviceContext& context) {
        return context.StartDocument(info.lpszDocName ? info.lpszDocName : "") ? 1 : 0;
    });
}

int32_t StartPage(DeviceContextHandle dc) {
    return WithContext(dc, [](DeviceContext& context) { return context.StartPage() ? 1 : 0; });
}

int32_t EndPage(DeviceContextHandle dc) {
    return WithContext(dc, [](DeviceContext& context) { return context.EndPage() ? 1 : 0; });
}

int32_t EndDoc(DeviceContextHandle dc) {
    return WithContext(dc, [](DeviceContext& context) { return context.EndDocument() ? 1 : 0; });
}

} // namespace platform
