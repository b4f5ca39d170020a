#include "view/draw_area.h"

#include "builder/session.h"
#include "view/zoom_state.h"

namespace view {

namespace {
constexpr int16_t kScrollRest = 50;
}

DrawArea::DrawArea() : handle_(platform::CreateWindowHandle()) {
    platform::RegisterMainWindow(handle_);
    HScroll1.OnChange([this] { HScroll1Change(); });
    VScroll1.OnChange([this] { VScroll1Change(); });
    Initialise();
}

void DrawArea::Initialise() {
    builder::SessionState& session = builder::Session();
    session.DataAreaHandle = 0;
    session.ScreenHandle = 0;

    ZoomState& zoom = Zoom();
    zoom.ZoomInPending = zoom.ZoomOutPending = zoom.ZoomLimitsPending = 0;
    zoom.ZoomWindowMode = zoom.BandShown = 0;
    zoom.MouseX = zoom.MouseY = 0;

    HScroll1.SetMin(0);
    HScroll1.SetMax(100);
    VScroll1.SetMin(0);
    VScroll1.SetMax(100);
    HScroll1.SetLargeChange(10);
    VScroll1.SetLargeChange(10);
    HScroll1.SetSmallChange(1);
    VScroll1.SetSmallChange(1);
    VScroll1.SetValue(kScrollRest);
    HScroll1.SetValue(kScrollRest);
}

void DrawArea::HScroll1Change() {
    ScrollChange(HScroll1, true);
}
void DrawArea::VScroll1Change() {
    ScrollChange(VScroll1, false);
}

void DrawArea::ScrollChange(ScrollBarModel& bar, bool) {
    // Panning arrives with the display; until then a change only re-centres the bar.
    ScrollResetting = 1;
    bar.SetValue(kScrollRest);
    ScrollResetting = 0;
}

} // namespace view
