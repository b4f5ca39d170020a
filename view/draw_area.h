// The drawing window ("Screen View"): its state and handlers, written against
// the platform's window, device-context and message-box services only. The
// batch run creates it hidden so the library's display can be bound to its
// handle; plotdxf-view shows it through a shell (view/qt/ on Linux,
// view/win32/ on Windows), which turns the system's events into these
// handlers and provides the host hooks.
#pragma once

#include "cadlib/records.h"
#include "platform/device_context.h"
#include "platform/window_handles.h"
#include "view/file_stamp.h"
#include "view/scroll_bar.h"
#include "view/zoom_state.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace view {

// Mouse buttons as the handlers receive them: a press or release names one,
// a move gives the mask of those held.
inline constexpr int16_t kLeftButton = 1;
inline constexpr int16_t kRightButton = 2;
inline constexpr int16_t kMiddleButton = 4;

enum class MousePointer { Default, SizeAll };

// The zoom armed for the left button: none, Zoom Window's band, or Zoom In,
// Out or Limits at the next click.
enum class ZoomMode { None, Window, Point };

// Keys the window answers besides its menu shortcuts.
enum class NavigationKey { Left, Right, Up, Down, PageUp, PageDown, Escape };

// A wheel notch, in the eighths of a degree wheels report, and the zoom it makes.
inline constexpr int kWheelNotch = 120;
inline constexpr double kWheelNotchZoom = 1.2;

// The fixed name of the file Export to DXF writes in the classic temp folder.
inline constexpr std::string_view kExportFileName = "ztest.dxf";
// The file Export to DXF writes: kExportFileName in the classic temp folder
// (/tmp, or \temp on the current drive), whatever TMPDIR or TMP says.
std::string ExportFile();

inline constexpr std::string_view kPrintPrompt = "Printing, Click OK to Continue...";
inline constexpr const char* kPrintJobName = "DO-DEZ Print";

// A printer's device context for one print job, from the system that shows
// the window. The job ends with the object.
class PrintJob {
  public:
    virtual ~PrintJob() = default;
    virtual platform::DeviceContextHandle DeviceContext() const = 0;
    // The PDF file the page goes to when no printer is available; empty when
    // it goes to a printer.
    virtual std::string PdfFile() const = 0;
    // Completes the document; false when it could not be written.
    virtual bool Finish() = 0;
    // Why the job failed, once Finish or the start of the document has.
    virtual std::string Failure() const { return "the printer did not accept the job"; }
};

// What Export As... and Print to PDF... save.
enum class SavedForm { Dxf, Pdf };

// Opens a command file into a new drawing session (the previous one is
// gone) and says where its interpretation stopped at an error: empty when
// the whole file was read, else "line N of FILE (why)". Run-time errors
// outside the interpreter's own trap propagate.
using DrawingOpener = std::function<std::string(const std::string& commandFile)>;

// What the window asks of the system that shows it. A hook left empty does
// nothing, which suits the batch run's hidden window; endProgram then ends
// the process.
struct WindowHost {
    // The client area's surface has been drawn on: show it.
    std::function<void()> show;
    std::function<void(MousePointer)> setPointer;
    // The system's printer dialog (Print Setup).
    std::function<void()> printerDialog;
    // The printer to print on, or a PDF file when there is no printer.
    std::function<std::unique_ptr<PrintJob>()> openPrinter;
    // Takes the window off the screen for good.
    std::function<void()> unload;
    std::function<void()> endProgram;
    // What the window tells its user has changed: the file shown, the prompt,
    // the incomplete mark or the view (so the pointer's place moved).
    std::function<void()> changed;
    // Asks for a command file to open; nullopt when the user chose none.
    std::function<std::optional<std::string>()> chooseCommandFile;
    // Asks where to save the drawing (Export As...) or its printed page
    // (Print to PDF...); nullopt when the user chose nowhere.
    std::function<std::optional<std::string>(SavedForm)> chooseSaveFile;
    // A print job onto the PDF file `pdfFile`, as Print makes with no printer;
    // nullptr, after saying why, when nothing can make a PDF.
    std::function<std::unique_ptr<PrintJob>(const std::string& pdfFile)> openPdfFile;
};

class DrawArea {
  public:
    // Creates the window object, registers its handle and runs the initialisation.
    DrawArea();

    // The system that shows the window; until it is given, nothing is shown.
    void SetHost(WindowHost host) { host_ = std::move(host); }

    platform::WindowHandle Handle() const { return handle_; }

    // What opens a command file for Open and Reload.
    void SetDrawingOpener(DrawingOpener opener) { opener_ = std::move(opener); }
    // Shows `commandFile` in place of the drawing shown, on the whole page.
    // Run-time errors outside the interpreter's trap propagate: at start-up
    // they end the program as they always have.
    void OpenDrawing(const std::string& commandFile);
    // The command file shown (empty before the first) and, when its
    // interpretation stopped at an error, where: "line N of FILE (why)".
    const std::string& DrawingFile() const { return drawingFile_; }
    const std::string& StoppedAt() const { return stoppedAt_; }
    // The mark the status bar shows for as long as such a drawing is shown:
    // "Incomplete drawing: stopped at line N of FILE (why)"; empty otherwise.
    std::string IncompleteMark() const;
    // Reads the file again when it has changed since it was read, keeping
    // the view; true when it did. Nothing stops for a box: an error the
    // reading meets is the incomplete mark, and ReloadNote says so.
    bool ReloadIfChanged();
    // What the status bar says after ReloadIfChanged has read `name` (the
    // file's name as the window shows it) at `timeOfDay`: that it stops at
    // an error, or the first box it did not show.
    std::string ReloadNote(const std::string& name, const std::string& timeOfDay) const;
    // What the window asks of its user now ("Click the place to zoom"...),
    // empty when nothing is armed.
    std::string Prompt() const;
    // The zoom the prompt is about; a band armed goes before a click.
    ZoomMode ArmedZoom() const;
    // What the picture shows otherwise than the drawing asks (hatches too
    // fine to draw line by line, shown as a tone; hatches without pattern
    // lines that cannot be drawn); empty when nothing.
    std::string DrawingNotice() const;

    ScrollBarModel HScroll1;
    ScrollBarModel VScroll1;

    void Load() {}
    // Draws the drawing into the window (RedrawScreen).
    void Paint();
    // Erases the client area with white and paints it again, at once.
    void Refresh();
    // The client area is now width x height pixels: lays out the bars and the
    // library's drawing area, and refreshes.
    void Resize(double width, double height);
    // The window has been shown. The first time, with a session open, the view
    // on screen is remembered as the current one, so that Zoom Last before any
    // zoom comes back to it.
    void Shown();

    // Change of a scroll bar: pans the view to where the bar's thumb now is.
    // The bars follow every change of the view (each pan and zoom): the
    // thumb shows the view's place and size over the page.
    void HScroll1Change();
    void VScroll1Change();

    // `button` is the button pressed or released, `buttons` the mask of those
    // held; `shift` the shift keys (unused). Positions in client pixels, beyond
    // the client area while a button is held.
    void MouseDown(int16_t button, int16_t shift, float x, float y);
    void MouseMove(int16_t buttons, int16_t shift, float x, float y);
    void MouseUp(int16_t button, int16_t shift, float x, float y);
    // Wheel turned by `angle` eighths of a degree (away from the user
    // positive): zoom in or out about the pointer by kWheelNotchZoom a notch.
    // Small turns (touchpads) add up until they make a quarter of a notch.
    void MouseWheel(int angle, float x, float y);
    // Arrows pan as the bars' arrows do, Page Up and Down as a click in the
    // vertical bar's trough; Escape cancels an armed zoom and a band.
    void KeyDown(NavigationKey key);

    void mnuZoomWindowClick();
    void mnuZoomLastClick();
    void mnuZoomPageClick();
    // The next left-button release zooms in, out or to the limits there.
    void mnuZoomInClick();
    void mnuZoomOutClick();
    void mnuZoomLimitsClick();
    // Whether a release of the left button has a point zoom to run. Those
    // zooms do not show themselves: whoever releases the button refreshes.
    bool PointZoomArmed() const;

    // File > Open... and Reload. A run-time error on the way is reported in
    // a box and leaves the window without a drawing.
    void mnuOpenClick();
    void mnuReloadClick();
    void mnuDXF12Click();
    // Export As... and Print to PDF...: the drawing, or the page Print
    // makes, saved where the user chooses.
    void mnuExportAsClick();
    void mnuPrintToPdfClick();
    void mnuPrintSetupClick();
    void mnuPrintClick();
    // Frees the session and ends the program.
    void mnuExitClick();
    // The window is released: frees the session (the program goes on).
    void Terminate();

    // The drawing point under the client pixel (x, y); nullopt without a session.
    std::optional<KqPoint2> WorldAt(int32_t x, int32_t y) const;

  private:
    void Initialise();
    // Opens the file, the view kept or the page shown; start-up lets
    // run-time errors through, the menu reports them in a box, a reload by
    // itself shows no box at all (the incomplete mark tells).
    enum class OnError { Propagate, Report, Mark };
    void ReplaceDrawing(const std::string& commandFile, bool keepView, OnError onError);
    void CancelZoom();
    void PanBetween(PixelPoint from, PixelPoint to);
    // Pans the view by dx, dy drawing units and shows it: the picture moves
    // and only what it uncovers is drawn, when the move is whole pixels.
    void PanView(double dx, double dy);
    // Moves the viewport's picture by dx, dy client pixels and draws the
    // strips it uncovers; false when the window's surface cannot move it.
    bool MovePicture(const KqRect2& viewport, double dx, double dy);
    void Changed();
    void ScrollChange(ScrollBarModel& bar, bool horizontal);
    void PlaceScrollBars();
    void EraseClientArea();
    void DrawBand();
    // False when the printer would not start the document.
    bool PrintPage(platform::DeviceContextHandle printer);
    // Prints the page on `job`; true when it was written.
    bool Print(PrintJob& job);
    // Writes the drawing as `name` and says in a box whether it was created;
    // the owner's alone in the shared temp folder (ExportFile).
    void ExportTo(const std::string& name, bool inSharedFolder);
    // Lays the library's drawing area over the client area less the bars;
    // false without a session.
    bool LayOutDrawingArea();
    void Unload();
    void Show();
    void SetPointer(MousePointer pointer);

    platform::WindowHandle handle_;
    WindowHost host_;
    int16_t ScrollResetting = 0;
    double clientWidth_ = 0, clientHeight_ = 0;
    bool firstViewRecorded_ = false;
    bool unloaded_ = false;
    bool bandOnScreen_ = false;         // a band is drawn and not yet wiped
    std::optional<PixelPoint> panFrom_; // the middle button is dragging the view
    int wheelAngle_ = 0;                // eighths of a degree not yet zoomed
    DrawingOpener opener_;
    std::string drawingFile_;
    std::string stoppedAt_;
    std::optional<FileStamp> drawingStamp_; // of the file as it was read
    std::vector<std::string> unseenBoxes_;  // the texts a reload by itself did not show
};

} // namespace view
