#include "view/draw_area.h"

#include "builder/redraw.h"
#include "builder/session.h"
#include "cadlib/kq.h"
#include "cadlib/kq_display.h"
#include "interpreter/own_files.h"
#include "platform/message_box.h"
#include "platform/numbers.h"
#include "platform/process.h"
#include "platform/runtime_error.h"
#include "view/kq_zoom.h"
#include "view/zoom_state.h"

#include <cmath>
#include <cstdlib>
#include <utility>
#include <vector>

namespace view {

namespace {

constexpr int16_t kScrollRest = 50;

// The size the document information record is given, as the window always has.
constexpr int32_t kDocInfoSize = 10;
constexpr int32_t kDocNameArraySize = 15;

PixelPoint Rounded(float x, float y) {
    return {platform::ToInt32(x), platform::ToInt32(y)};
}

// The pointer of a mouse event, rounded, kept as the last mouse position.
PixelPoint RecordPointer(float x, float y) {
    ZoomState& zoom = Zoom();
    const PixelPoint at = Rounded(x, y);
    zoom.MouseX = at.x;
    zoom.MouseY = at.y;
    return at;
}

// A wheel turn smaller than this (eighths of a degree) waits for more.
constexpr int kSmallestWheelTurn = kWheelNotch / 4;

constexpr const char* kZoomWindowPrompt = "Drag a window around what to zoom into";
constexpr const char* kPointZoomPrompt = "Click the place to zoom";
constexpr const char* kCancelHint = " (Esc cancels)";

// Moves a bar by `steps` from its rest: its change handler pans and puts it back.
void Step(ScrollBarModel& bar, int steps) {
    bar.SetValue(static_cast<int16_t>(bar.Value() + steps));
}

// Arms one point zoom for the next release, disarming the others.
void ArmPointZoom(int16_t ZoomState::*flag) {
    ZoomState& zoom = Zoom();
    zoom.ZoomInPending = zoom.ZoomOutPending = zoom.ZoomLimitsPending = 0;
    zoom.*flag = 1;
}

// Boxes answered unseen while it lives, their texts kept in `texts`: a
// reload by itself stops for none.
class UnseenBoxes {
  public:
    explicit UnseenBoxes(std::vector<std::string>& texts)
        : shown_(platform::SetMessageSink([&texts](const platform::MessageRequest& request) {
              texts.push_back(request.text);
              return platform::MessageAnswer::Ok;
          })) {}
    ~UnseenBoxes() { platform::SetMessageSink(std::move(shown_)); }
    UnseenBoxes(const UnseenBoxes&) = delete;
    UnseenBoxes& operator=(const UnseenBoxes&) = delete;

  private:
    platform::MessageSink shown_;
};

} // namespace

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

// --- Painting and layout -------------------------------------------------------

void DrawArea::Paint() {
    builder::RedrawScreen();
}

void DrawArea::Refresh() {
    EraseClientArea();
    Paint();
    bandOnScreen_ = false; // the picture drawn anew has none
    Show();
    Changed();
}

void DrawArea::EraseClientArea() {
    const platform::DeviceContextHandle dc = platform::GetDC(handle_);
    platform::SelectObject(dc, platform::GetStockObject(platform::NULL_PEN));
    platform::SelectObject(dc, platform::GetStockObject(platform::WHITE_BRUSH));
    platform::Rectangle(dc, 0, 0, platform::ToInt32(clientWidth_),
                        platform::ToInt32(clientHeight_));
    platform::ReleaseDC(handle_, dc);
}

void DrawArea::Resize(double width, double height) {
    clientWidth_ = width;
    clientHeight_ = height;
    // A negative size (a window smaller than the bars) is refused and skipped;
    // the edges are set whatever they come to.
    const double barWidth = VScroll1.Width(), barHeight = HScroll1.Height();
    VScroll1.SetTop(0);
    VScroll1.SetLeft(width - barWidth);
    VScroll1.SetHeight(height - barWidth);
    HScroll1.SetLeft(0);
    HScroll1.SetWidth(width - barWidth);
    HScroll1.SetTop(height - barHeight);

    if (!LayOutDrawingArea()) return;
    Refresh();
}

bool DrawArea::LayOutDrawingArea() {
    const int32_t screen = builder::Session().ScreenHandle;
    if (screen == 0) return false;
    // The drawing area is the client area less the bars' strips.
    kq_resize_vports(screen, platform::ToInt32(VScroll1.Left()), platform::ToInt32(HScroll1.Top()));
    return true;
}

void DrawArea::Shown() {
    const builder::SessionState& session = builder::Session();
    if (firstViewRecorded_ || session.ScreenHandle == 0) return;
    firstViewRecorded_ = true;
    ZoomState& zoom = Zoom();
    kq_get_vport_world(session.ScreenHandle, session.ScreenViewport, zoom.CurrentView);
    zoom.PreviousView = zoom.CurrentView;
}

// --- The drawing shown -----------------------------------------------------------

void DrawArea::OpenDrawing(const std::string& commandFile) {
    ReplaceDrawing(commandFile, false, OnError::Propagate);
}

void DrawArea::mnuOpenClick() {
    if (!host_.chooseCommandFile) return;
    if (const std::optional<std::string> file = host_.chooseCommandFile()) {
        ReplaceDrawing(*file, false, OnError::Report);
    }
}

void DrawArea::mnuReloadClick() {
    if (!drawingFile_.empty()) ReplaceDrawing(drawingFile_, true, OnError::Report);
}

bool DrawArea::ReloadIfChanged() {
    if (drawingFile_.empty()) return false;
    const std::optional<FileStamp> now = StampOf(drawingFile_);
    // No file just now: it is being replaced, and the new one will be seen.
    if (!now || now == drawingStamp_) return false;
    ReplaceDrawing(drawingFile_, true, OnError::Mark);
    return true;
}

std::string DrawArea::ReloadNote(const std::string& name, const std::string& timeOfDay) const {
    const std::string note = "Reloaded " + name + ": it changed on disk (" + timeOfDay + ")";
    if (!stoppedAt_.empty()) return note + "; it stops at an error, no box shown";
    if (!unseenBoxes_.empty()) return note + "; no box shown: " + unseenBoxes_.front();
    return note;
}

void DrawArea::ReplaceDrawing(const std::string& commandFile, bool keepView, OnError onError) {
    CancelZoom();
    builder::SessionState& session = builder::Session();
    KqRect2 view;
    keepView =
        keepView && kq_get_vport_world(session.ScreenHandle, session.ScreenViewport, view) != 0;
    // Freed as Exit frees it; the new session then starts from nothing.
    builder::CloseDrawingSession();
    drawingFile_ = commandFile;
    // Taken before reading, so that a write during the reading is seen later.
    drawingStamp_ = StampOf(commandFile);
    stoppedAt_.clear();
    unseenBoxes_.clear();
    try {
        std::optional<UnseenBoxes> unseen;
        if (onError == OnError::Mark) unseen.emplace(unseenBoxes_);
        if (opener_) stoppedAt_ = opener_(commandFile);
    } catch (const platform::RuntimeError& error) {
        if (onError == OnError::Propagate) throw;
        if (onError == OnError::Report) {
            platform::ShowMessage(error.what(), platform::ProgramName());
        }
        stoppedAt_ = std::string(error.what());
    }
    if (LayOutDrawingArea()) {
        if (keepView) {
            kq_set_vport_world(session.ScreenHandle, session.ScreenViewport, view);
            kq_reset_vport(session.ScreenHandle, session.ScreenViewport);
        } else {
            firstViewRecorded_ = false;
            if (clientWidth_ > 0) Shown();
        }
    }
    Refresh();
}

std::string DrawArea::IncompleteMark() const {
    return stoppedAt_.empty() ? std::string() : "Incomplete drawing: stopped at " + stoppedAt_;
}

std::string DrawArea::Prompt() const {
    switch (ArmedZoom()) {
    case ZoomMode::Window:
        return std::string(kZoomWindowPrompt) + kCancelHint;
    case ZoomMode::Point:
        return std::string(kPointZoomPrompt) + kCancelHint;
    case ZoomMode::None:
        break;
    }
    return {};
}

ZoomMode DrawArea::ArmedZoom() const {
    if (Zoom().ZoomWindowMode == 1) return ZoomMode::Window;
    if (PointZoomArmed()) return ZoomMode::Point;
    return ZoomMode::None;
}

std::string DrawArea::DrawingNotice() const {
    const int32_t screen = builder::Session().ScreenHandle;
    const int32_t toned = kq_toned_hatch_count(screen);
    const int32_t partial = kq_hatches_with_lines_left_out_count(screen);
    std::string notice;
    if (toned > 0) {
        notice = (toned == 1 ? std::string("1 hatch is") : std::to_string(toned) + " hatches are") +
                 " too fine, or too many, to draw line by line: shown as a tone (zoom in to see"
                 " the lines)";
    }
    if (partial > 0) {
        if (!notice.empty()) notice += "; ";
        notice += (partial == 1 ? std::string("1 hatch lacks")
                                : std::to_string(partial) + " hatches lack") +
                  " pattern lines whose spacing, dashes or base point cannot be drawn";
    }
    return notice;
}

// --- Scroll bars ---------------------------------------------------------------

void DrawArea::HScroll1Change() {
    ScrollChange(HScroll1, true);
}

void DrawArea::VScroll1Change() {
    ScrollChange(VScroll1, false);
}

namespace {

// The view and where the bars show it.
struct BarsOfView {
    KqRect2 world;
    BarPlacement across, down;
};

// No placement without a session.
std::optional<BarsOfView> PlaceBars() {
    const builder::SessionState& session = builder::Session();
    BarsOfView bars;
    if (session.ScreenHandle == 0 ||
        kq_get_vport_world(session.ScreenHandle, session.ScreenViewport, bars.world) == 0) {
        return std::nullopt;
    }
    const KqRect2& page = session.PageRect;
    const KqRect2& world = bars.world;
    bars.across = PlaceBar(page.x1, page.x2, world.x1, world.x2);
    // The vertical bar grows downwards, the world upwards.
    bars.down = PlaceBar(-page.y2, -page.y1, -world.y2, -world.y1);
    return bars;
}

// The share of the view a bar's move of `steps` pans: an arrow a twentieth,
// a click in the trough a half, the thumb let go as far as it was moved.
double ShareOfView(const ScrollBarModel& bar, int steps, const BarPlacement& placed) {
    const double sign = steps > 0 ? 1 : -1;
    if (std::abs(steps) == bar.SmallChange()) return sign * kArrowShare;
    if (std::abs(steps) == bar.LargeChange()) return sign * kTroughShare;
    return static_cast<double>(steps) / placed.span;
}

} // namespace

void DrawArea::ScrollChange(ScrollBarModel& bar, bool horizontal) {
    if (ScrollResetting != 0) return;
    // Read afresh: a zoom or an earlier pan may have changed the view.
    const std::optional<BarsOfView> bars = PlaceBars();
    if (!bars) return;
    const BarPlacement& placed = horizontal ? bars->across : bars->down;
    const int steps = bar.Value() - placed.value;
    if (steps == 0) return;
    const double share = ShareOfView(bar, steps, placed);
    const KqRect2& world = bars->world;
    if (horizontal) {
        PanView((world.x2 - world.x1) * share, 0);
    } else {
        PanView(0, -(world.y2 - world.y1) * share);
    }
}

void DrawArea::PlaceScrollBars() {
    const std::optional<BarsOfView> bars = PlaceBars();
    if (!bars) return;
    // The change this raises finds the flag set and does not pan.
    ScrollResetting = 1;
    ShowPlacement(HScroll1, bars->across);
    ShowPlacement(VScroll1, bars->down);
    ScrollResetting = 0;
}

// --- Mouse and zoom ------------------------------------------------------------

void DrawArea::MouseDown(int16_t button, int16_t, float x, float y) {
    const int32_t screen = builder::Session().ScreenHandle;
    if (screen == 0) return;
    ZoomState& zoom = Zoom();
    const PixelPoint at = RecordPointer(x, y);
    if (button == kMiddleButton) panFrom_ = at; // the view follows the pointer until release
    if (button != kLeftButton) return;
    if (zoom.ZoomWindowMode == 1) {
        zoom.BandStart = zoom.BandEnd = at;
        DrawBand();
        bandOnScreen_ = true;
        Show();
        zoom.BandShown = 1;
    }
    kq_set_mouse(screen, zoom.MouseX, zoom.MouseY);
}

void DrawArea::MouseMove(int16_t buttons, int16_t, float x, float y) {
    try {
        const int32_t screen = builder::Session().ScreenHandle;
        if (screen == 0) return;
        ZoomState& zoom = Zoom();
        const PixelPoint at = RecordPointer(x, y);
        kq_set_mouse(screen, zoom.MouseX, zoom.MouseY);
        if ((buttons & kMiddleButton) != 0 && panFrom_) {
            PanBetween(*panFrom_, at);
            panFrom_ = at;
        }
        if (buttons == kLeftButton && zoom.ZoomWindowMode == 1 && zoom.BandShown == 1) {
            DrawBand(); // off with the old band
            zoom.BandEnd = at;
            DrawBand();
            bandOnScreen_ = true;
            Show();
        }
    } catch (const platform::RuntimeError&) {
        // A move that cannot be followed (a position beyond any integer) is
        // dropped; the next one carries on.
    }
}

void DrawArea::MouseUp(int16_t button, int16_t, float x, float y) {
    if (button == kMiddleButton) panFrom_.reset();
    if (button != kLeftButton) return;
    ZoomState& zoom = Zoom();
    RecordPointer(x, y);
    if (zoom.ZoomInPending == 1) {
        ZoomInAtPoint(zoom.MouseX, zoom.MouseY);
        zoom.ZoomInPending = 0;
    }
    if (zoom.ZoomOutPending == 1) {
        ZoomOutAtPoint(zoom.MouseX, zoom.MouseY);
        zoom.ZoomOutPending = 0;
    }
    if (zoom.ZoomLimitsPending == 1) {
        ZoomLimitsAtPoint(zoom.MouseX, zoom.MouseY);
        zoom.ZoomLimitsPending = 0;
    }
    if (zoom.ZoomWindowMode == 1) {
        const builder::SessionState& session = builder::Session();
        zoom.PreviousView = zoom.CurrentView;
        // The band ends where the last move left it, not at the release.
        ZoomByWindow(zoom.BandStart, zoom.BandEnd);
        zoom.ZoomWindowMode = 0;
        Refresh(); // also wipes the band
        kq_get_vport_world(session.ScreenHandle, session.ScreenViewport, zoom.CurrentView);
        SetPointer(MousePointer::Default);
    }
    Changed(); // the prompt of what was armed has been acted on
}

void DrawArea::MouseWheel(int angle, float x, float y) {
    if (builder::Session().ScreenHandle == 0) return;
    wheelAngle_ += angle;
    if (std::abs(wheelAngle_) < kSmallestWheelTurn) return;
    const PixelPoint at = Rounded(x, y);
    const double turned = static_cast<double>(wheelAngle_) / kWheelNotch;
    wheelAngle_ = 0;
    ZoomAboutPoint(at.x, at.y, std::pow(kWheelNotchZoom, turned));
    Refresh();
}

void DrawArea::PanBetween(PixelPoint from, PixelPoint to) {
    const std::optional<KqPoint2> a = WorldAt(from.x, from.y);
    const std::optional<KqPoint2> b = WorldAt(to.x, to.y);
    if (!a || !b) return;
    // The point under the pointer when the drag began stays under it.
    PanView(a->x - b->x, a->y - b->y);
}

void DrawArea::PanView(double dx, double dy) {
    const builder::SessionState& session = builder::Session();
    KqRect2 world{}, viewport{};
    const bool placed =
        kq_get_vport_world(session.ScreenHandle, session.ScreenViewport, world) != 0 &&
        kq_get_vport_pixels(session.ScreenHandle, session.ScreenViewport, viewport) != 0;
    const bool panned = kq_pan_vport(session.ScreenHandle, session.ScreenViewport, dx, dy) != 0;
    // The picture moves against the view; the world's y grows upwards.
    const double perUnit = (viewport.x2 - viewport.x1) / (world.x2 - world.x1);
    if (panned && placed && !bandOnScreen_ && MovePicture(viewport, -dx * perUnit, dy * perUnit)) {
        Show();
        Changed();
        return;
    }
    Refresh();
}

bool DrawArea::MovePicture(const KqRect2& viewport, double dx, double dy) {
    const double width = viewport.x2 - viewport.x1, height = viewport.y2 - viewport.y1;
    if (!(std::fabs(dx) < width && std::fabs(dy) < height)) return false;
    const platform::DeviceContextHandle dc = platform::GetDC(handle_);
    const bool moved =
        platform::ScrollDC(dc, dx, dy, {viewport.x1, viewport.y1, viewport.x2, viewport.y2}) != 0;
    if (moved) {
        // The strips uncovered: beside the picture moved across, and above or below it.
        std::vector<KqRect2> strips;
        if (dx > 0) strips.push_back({viewport.x1, viewport.y1, viewport.x1 + dx, viewport.y2});
        if (dx < 0) strips.push_back({viewport.x2 + dx, viewport.y1, viewport.x2, viewport.y2});
        if (dy > 0) strips.push_back({viewport.x1, viewport.y1, viewport.x2, viewport.y1 + dy});
        if (dy < 0) strips.push_back({viewport.x1, viewport.y2 + dy, viewport.x2, viewport.y2});
        platform::SelectObject(dc, platform::GetStockObject(platform::NULL_PEN));
        platform::SelectObject(dc, platform::GetStockObject(platform::WHITE_BRUSH));
        for (const KqRect2& strip : strips) // in fractions of a pixel on a scaled screen
            platform::FindDeviceContext(dc)->Rectangle(strip.x1, strip.y1, strip.x2, strip.y2);
        platform::ReleaseDC(handle_, dc);
        for (const KqRect2& strip : strips)
            builder::RedrawPart(strip);
        return true;
    }
    platform::ReleaseDC(handle_, dc);
    return false;
}

void DrawArea::KeyDown(NavigationKey key) {
    switch (key) {
    case NavigationKey::Left:
        return Step(HScroll1, -HScroll1.SmallChange());
    case NavigationKey::Right:
        return Step(HScroll1, HScroll1.SmallChange());
    case NavigationKey::Up:
        return Step(VScroll1, -VScroll1.SmallChange());
    case NavigationKey::Down:
        return Step(VScroll1, VScroll1.SmallChange());
    case NavigationKey::PageUp:
        return Step(VScroll1, -VScroll1.LargeChange());
    case NavigationKey::PageDown:
        return Step(VScroll1, VScroll1.LargeChange());
    case NavigationKey::Escape:
        return CancelZoom();
    }
}

void DrawArea::CancelZoom() {
    ZoomState& zoom = Zoom();
    if (bandOnScreen_) {
        DrawBand(); // inverted once more: gone
        bandOnScreen_ = false;
        Show();
    }
    if (zoom.ZoomWindowMode == 1) SetPointer(MousePointer::Default);
    zoom.ZoomWindowMode = 0;
    zoom.ZoomInPending = zoom.ZoomOutPending = zoom.ZoomLimitsPending = 0;
    Changed();
}

void DrawArea::DrawBand() {
    const ZoomState& zoom = Zoom();
    DrawRubberBand(handle_, zoom.BandStart, zoom.BandEnd);
}

void DrawArea::mnuZoomWindowClick() {
    Zoom().ZoomWindowMode = 1;
    SetPointer(MousePointer::SizeAll);
    Changed();
}

void DrawArea::mnuZoomLastClick() {
    const builder::SessionState& session = builder::Session();
    ZoomState& zoom = Zoom();
    kq_set_vport_world(session.ScreenHandle, session.CurrentViewport, zoom.PreviousView);
    kq_reset_vport(session.ScreenHandle, session.CurrentViewport);
    Refresh();
    // Choosing it again goes back to the view it left.
    std::swap(zoom.CurrentView, zoom.PreviousView);
}

void DrawArea::mnuZoomPageClick() {
    builder::SessionState& session = builder::Session();
    ZoomState& zoom = Zoom();
    zoom.PreviousView = zoom.CurrentView;
    session.CurrentViewport = kq_get_vport_id(session.ScreenHandle, "TOPVIEW");
    kq_zoom_vport_limits(session.ScreenHandle, session.CurrentViewport);
    kq_reset_vport(session.ScreenHandle, session.CurrentViewport);
    Refresh();
    kq_get_vport_world(session.ScreenHandle, session.ScreenViewport, zoom.CurrentView);
}

void DrawArea::mnuZoomInClick() {
    ArmPointZoom(&ZoomState::ZoomInPending);
    Changed();
}

void DrawArea::mnuZoomOutClick() {
    ArmPointZoom(&ZoomState::ZoomOutPending);
    Changed();
}

void DrawArea::mnuZoomLimitsClick() {
    ArmPointZoom(&ZoomState::ZoomLimitsPending);
    Changed();
}

bool DrawArea::PointZoomArmed() const {
    const ZoomState& zoom = Zoom();
    return zoom.ZoomInPending == 1 || zoom.ZoomOutPending == 1 || zoom.ZoomLimitsPending == 1;
}

std::optional<KqPoint2> DrawArea::WorldAt(int32_t x, int32_t y) const {
    KqPoint2 world;
    if (kq_get_world_pnt(builder::Session().ScreenHandle, x, y, world.x, world.y) == 0) {
        return std::nullopt;
    }
    return world;
}

// --- File menu -----------------------------------------------------------------

std::string ExportFile() {
    return platform::ClassicTemporaryFile(std::string(kExportFileName));
}

void DrawArea::ExportTo(const std::string& name, bool inSharedFolder) {
    const int32_t screen = builder::Session().ScreenHandle;
    // The writer refuses a file of another kind itself, after the checks of
    // a shared folder (a link, another user's file), which say more.
    std::string failure = interpreter::OwnFileRefusal(name, name);
    if (failure.empty() && (inSharedFolder ? kq_output_private_dxf_file(screen, name.c_str())
                                           : kq_output_dxf_file(screen, name.c_str())) == 0) {
        failure = kq_last_error();
    }
    if (failure.empty()) {
        platform::ShowMessage("FILE CREATED:  " + name, platform::ProgramName());
    } else {
        platform::ShowMessage("FILE NOT CREATED:  " + name + "\n" + failure,
                              platform::ProgramName());
    }
}

// The temp folder is shared: the file is the owner's alone, and a link or
// another user's file under its name is not written through.
void DrawArea::mnuDXF12Click() {
    ExportTo(ExportFile(), true);
}

void DrawArea::mnuExportAsClick() {
    if (!host_.chooseSaveFile) return;
    if (const std::optional<std::string> file = host_.chooseSaveFile(SavedForm::Dxf)) {
        ExportTo(*file, false);
    }
}

void DrawArea::mnuPrintSetupClick() {
    if (host_.printerDialog) host_.printerDialog();
}

bool DrawArea::Print(PrintJob& job) {
    const bool started = PrintPage(job.DeviceContext());
    return job.Finish() && started;
}

void DrawArea::mnuPrintClick() {
    if (platform::ShowMessage(kPrintPrompt, "", platform::MessageButtons::OkCancel) !=
        platform::MessageAnswer::Ok) {
        return;
    }
    const std::unique_ptr<PrintJob> job = host_.openPrinter ? host_.openPrinter() : nullptr;
    if (!job) return; // nothing to print on: the hidden window of a batch run
    const bool written = Print(*job);
    const std::string file = job->PdfFile();
    if (file.empty()) {
        if (!written) {
            platform::ShowMessage("The drawing could not be printed: " + job->Failure(),
                                  platform::ProgramName());
        }
        return;
    }
    platform::ShowMessage(written ? "No printer is available: the page was saved as " + file
                                  : "No printer is available, and the page could not be saved as " +
                                        file + ": " + job->Failure(),
                          platform::ProgramName());
}

void DrawArea::mnuPrintToPdfClick() {
    if (!host_.chooseSaveFile || !host_.openPdfFile) return;
    const std::optional<std::string> file = host_.chooseSaveFile(SavedForm::Pdf);
    if (!file) return;
    std::string failure = interpreter::OwnFileRefusal(*file, *file);
    if (failure.empty()) {
        const std::unique_ptr<PrintJob> job = host_.openPdfFile(*file);
        if (!job) return; // nothing makes a PDF here: the host has said so
        if (!Print(*job)) failure = job->Failure();
    }
    platform::ShowMessage(failure.empty()
                              ? "The page was saved as " + *file
                              : "The page could not be saved as " + *file + ": " + failure,
                          platform::ProgramName());
}

// One page on the printer's context P, at one inch per inch. Everything the
// print changes is put back, except the library's binding, which goes to no
// context at all: the next paint binds the window again.
bool DrawArea::PrintPage(platform::DeviceContextHandle printer) {
    const builder::SessionState& session = builder::Session();
    const int32_t savedState = platform::SaveDC(printer);
    double extents[6] = {};
    kq_compute_drawing_extents(extents, session.ScreenHandle);
    const int32_t docName = kq_create_char_array(kDocNameArraySize);
    kq_strcpyvb2(docName, 2, kPrintJobName);
    platform::DOCINFOA info;
    info.cbSize = kDocInfoSize;
    info.lpszDocName = kPrintJobName;
    info.lpszOutput = nullptr;
    kq_set_sys_qtextmode(session.DataAreaHandle, 0);
    kq_set_window_DC(session.ScreenHandle, printer);
    const int32_t libraryMode = kq_set_map_mode(session.ScreenHandle, platform::MM_LOENGLISH);
    platform::SetMapMode(printer, platform::MM_LOENGLISH);
    const bool started = platform::StartDocA(printer, info) > 0;
    platform::StartPage(printer);
    // Again inside the page, where a printer may have reset it.
    const int32_t printerMode = platform::SetMapMode(printer, platform::MM_LOENGLISH);
    kq_print_drawing(session.ScreenHandle, 1.0, 1, 1);
    platform::EndPage(printer);
    platform::EndDoc(printer);
    kq_set_map_mode(session.ScreenHandle, libraryMode);
    platform::SetMapMode(printer, printerMode);
    kq_set_window_DC(session.ScreenHandle, 0);
    platform::RestoreDC(printer, savedState);
    kq_purge_char_array(docName);
    return started;
}

// --- Ending ----------------------------------------------------------------------

void DrawArea::mnuExitClick() {
    builder::CloseDrawingSession();
    Unload();
    // At once: no handler runs after this, the termination included.
    if (host_.endProgram) {
        host_.endProgram();
    } else {
        platform::EndProgram(0);
    }
}

void DrawArea::Terminate() {
    if (unloaded_) return; // Exit has freed the session and unloaded already
    builder::CloseDrawingSession();
    Unload();
}

void DrawArea::Unload() {
    unloaded_ = true;
    if (host_.unload) host_.unload();
}

void DrawArea::Show() {
    if (host_.show) host_.show();
}

void DrawArea::SetPointer(MousePointer pointer) {
    if (host_.setPointer) host_.setPointer(pointer);
}

void DrawArea::Changed() {
    PlaceScrollBars();
    if (host_.changed) host_.changed();
}

} // namespace view
