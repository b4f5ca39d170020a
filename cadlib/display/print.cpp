// Printing: the mapping mode the library computes for, the printed page, the
// drawing's extents, and the character arrays that carry a print job's name.
#include "cadlib/display/draw.h"
#include "cadlib/geometry/extents.h"
#include "cadlib/geometry/text_frame.h"
#include "cadlib/kq_display.h"
#include "platform/text_encoding.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <memory>
#include <utility>
#include <vector>

namespace cadlib {

namespace {

constexpr double kLoEnglishPerInch = 100.0;
// The extents are found with no font system at hand: a character is taken to
// advance this many heights, wide for the faces in use.
constexpr double kEstimatedAdvancePerCharacter = 1.5;

std::vector<std::unique_ptr<std::vector<char>>>& CharArrays() {
    static std::vector<std::unique_ptr<std::vector<char>>> arrays;
    return arrays;
}

std::vector<char>* FindCharArray(int32_t handle) {
    const std::optional<uint32_t> index = IndexOf(handle, HandleKind::CharArray);
    auto& arrays = CharArrays();
    return index && *index < arrays.size() ? arrays[*index].get() : nullptr;
}

// The world a printed page shows: the limits, or what the current viewport shows.
std::optional<KqRect2> PrintedRegion(const Screen& screen, int32_t limits) {
    if (limits != 0) return Normalised(screen.paper);
    const int32_t id = ResolveViewport(screen, 0);
    if (id == 0) return std::nullopt;
    return ShownWorld(screen, id);
}

} // namespace

} // namespace cadlib

using namespace cadlib;

int32_t kq_set_map_mode(int32_t screen, int32_t mode) {
    Screen* s = FindScreen(screen);
    if (!s || (mode != platform::MM_TEXT && mode != platform::MM_LOENGLISH)) return 0;
    return std::exchange(s->mapMode, mode);
}

int32_t kq_print_drawing(int32_t screen, double scale, int32_t limits, int32_t) {
    Screen* s = FindScreen(screen);
    const DataArea* area = s ? DataAreaOf(*s) : nullptr;
    platform::DeviceContext* dc = s ? platform::FindDeviceContext(s->deviceContext) : nullptr;
    if (!area || !dc || !std::isfinite(scale) || scale <= 0) return 0;
    const std::optional<KqRect2> region = PrintedRegion(*s, limits);
    if (!region || !IsUsableView(*region)) return 0;

    // Drawing units are inches; the page's top left corner is the origin.
    const bool loEnglish = s->mapMode == platform::MM_LOENGLISH;
    const double perInch = loEnglish ? kLoEnglishPerInch : dc->Capability(platform::LOGPIXELSX);
    if (!(perInch > 0)) return 0;
    const double unit = scale * perInch;
    const double ySign = loEnglish ? 1 : -1;
    Scene scene;
    scene.mapping = {unit, -region->x1 * unit, -ySign * region->y2 * unit, ySign};
    const platform::LogicalPoint a = scene.mapping.ToLogical(region->x1, region->y1);
    const platform::LogicalPoint b = scene.mapping.ToLogical(region->x2, region->y2);
    scene.area = Normalised({a.x, a.y, b.x, b.y});
    scene.penUnit = perInch / kLoEnglishPerInch;

    const int32_t level = dc->Save();
    DrawScene(*s, *area, *dc, scene);
    dc->Restore(level);
    return 1;
}

int32_t kq_compute_drawing_extents(double extents[6], int32_t screen) {
    Screen* s = FindScreen(screen);
    const DataArea* area = s ? DataAreaOf(*s) : nullptr;
    if (!area || !extents) return 0;
    KqRect2 box = Normalised(s->paper);
    if (!area->order.empty()) {
        box = kNowhere;
        const auto estimatedWidth = [area](const TextGeometry& text) {
            const auto characters =
                static_cast<double>(platform::CharacterCount(area->KeptText(text)));
            return kEstimatedAdvancePerCharacter * characters * text.height * text.widthFactor;
        };
        const StyleFaces faces(*area);
        for (uint32_t index : area->order) {
            const KqRect2 bounds = ReachOf(*area, faces, area->entities[index], estimatedWidth);
            box = Joined(box, bounds);
        }
    }
    const double values[6] = {box.x1, box.y1, 0, box.x2, box.y2, 0};
    std::copy(std::begin(values), std::end(values), extents);
    return 1;
}

int32_t kq_create_char_array(int32_t size) {
    if (size <= 0) return 0;
    auto& arrays = CharArrays();
    arrays.push_back(std::make_unique<std::vector<char>>(size, '\0'));
    return MakeHandle(HandleKind::CharArray, static_cast<uint32_t>(arrays.size() - 1));
}

int32_t kq_strcpyvb2(int32_t array, int32_t, const char* text) {
    std::vector<char>* buffer = FindCharArray(array);
    if (!buffer || !text) return 0;
    const size_t length = std::min(std::strlen(text), buffer->size() - 1);
    std::copy_n(text, length, buffer->begin());
    (*buffer)[length] = '\0';
    return 1;
}

int32_t kq_purge_char_array(int32_t array) {
    std::vector<char>* buffer = FindCharArray(array);
    if (!buffer) return 0;
    CharArrays()[*IndexOf(array, HandleKind::CharArray)].reset();
    return 1;
}
