#include "view/qt/main_window.h"

#include "cadlib/dxf/output_file.h"
#include "platform/printer.h"
#include "platform/process.h"
#include "view/qt/event_guard.h"
#include "view/qt/paged_surface.h"

#include <QCloseEvent>
#include <QMenuBar>
#include <QMessageBox>
#include <QPageLayout>
#include <QPageSize>
#include <QPrintDialog>
#include <QPrinterInfo>
#include <QScreen>
#include <QStatusBar>

#include <algorithm>
#include <string>
#include <utility>

namespace view::qt {

namespace {

constexpr int kLandscape = 2;
constexpr double kHundredthsPerInch = 100;

// One print on a printer, or on a PDF file in the shared temp folder. The
// PDF is written as a temporary file of its owner's alone, renamed to its
// name when complete (the library's output file does that for drawings too):
// no half-written page is left, and no link or other user's file under that
// name is written through.
class PrinterJob : public PrintJob {
  public:
    explicit PrinterJob(QPrinter& printer)
        : PrinterJob(printer, std::unique_ptr<cadlib::DxfOutputFile>()) {}
    PrinterJob(QPrinter& printer, std::string pdfFile)
        : PrinterJob(printer, std::make_unique<cadlib::DxfOutputFile>(
                                  pdfFile, cadlib::OutputSharing::OwnerOnly)) {
        pdfFile_ = std::move(pdfFile);
    }
    ~PrinterJob() override { platform::DeleteDC(dc_); }
    PrinterJob(const PrinterJob&) = delete;
    PrinterJob& operator=(const PrinterJob&) = delete;

    platform::DeviceContextHandle DeviceContext() const override { return dc_; }
    std::string PdfFile() const override { return pdfFile_; }
    bool Finish() override {
        const bool printed = surface_.Finish() && pdfOpened_;
        return printed && (!pdf_ || pdf_->Commit(0));
    }
    std::string FailureReason() const override { return pdf_ ? pdf_->Error() : std::string(); }

  private:
    PrinterJob(QPrinter& printer, std::unique_ptr<cadlib::DxfOutputFile> pdf)
        : pdf_(std::move(pdf)), pdfOpened_(!pdf_ || pdf_->Open()),
          surface_(PointAt(printer, pdf_.get(), pdfOpened_)),
          dc_(platform::CreateDeviceContext(surface_)) {}

    // The printer, told where its PDF goes: nowhere when the file could not be made.
    static QPrinter& PointAt(QPrinter& printer, const cadlib::DxfOutputFile* pdf, bool opened) {
        if (pdf)
            printer.setOutputFileName(opened ? QString::fromStdString(pdf->TemporaryName())
                                             : QString());
        return printer;
    }

    std::unique_ptr<cadlib::DxfOutputFile> pdf_; // none when printing on a printer
    bool pdfOpened_;
    PrinterSurface surface_;
    platform::DeviceContextHandle dc_;
    std::string pdfFile_;
};

// The paper the drawing session asked of the default printer.
void UseSessionPaper(QPrinter& printer) {
    const platform::PrinterSettings& settings = platform::DefaultPrinter();
    const double shortSide = std::min(settings.pageWidth, settings.pageHeight);
    const double longSide = std::max(settings.pageWidth, settings.pageHeight);
    if (shortSide <= 0) return; // no size asked for: the printer's own
    printer.setPageSize(QPageSize(
        QSizeF(shortSide / kHundredthsPerInch, longSide / kHundredthsPerInch), QPageSize::Inch));
    printer.setPageOrientation(settings.orientation == kLandscape ? QPageLayout::Landscape
                                                                  : QPageLayout::Portrait);
}

} // namespace

MainWindow::MainWindow(std::function<void()> endProgram)
    : canvas_(area_, [this](QPoint pixel) { ShowPointerPosition(pixel); }) {
    setWindowTitle("Screen View");
    setCentralWidget(&canvas_);
    statusBar()->addPermanentWidget(&position_);
    BuildMenus();

    const bool unattended = !qEnvironmentVariableIsEmpty(platform::kUnattendedVariable);
    previousSink_ = platform::SetMessageSink(
        unattended ? platform::MessageSink(platform::WriteMessageToStderr)
                   : [this](const platform::MessageRequest& request) { return Ask(request); });

    WindowHost host;
    host.show = [this] { canvas_.update(); };
    host.setPointer = [this](MousePointer pointer) {
        if (pointer == MousePointer::SizeAll) {
            canvas_.setCursor(Qt::SizeAllCursor);
        } else {
            canvas_.unsetCursor();
        }
    };
    host.printerDialog = [this] { ShowPrinterDialog(); };
    host.openPrinter = [this] { return OpenPrinter(); };
    host.unload = [this] { hide(); };
    host.endProgram = std::move(endProgram);
    area_.SetHost(std::move(host));
    area_.Load();

    // Most of the screen's height, for a portrait page.
    const QRect screenArea = screen()->availableGeometry();
    resize(screenArea.height() * 2 / 3, screenArea.height() * 5 / 6);
}

MainWindow::~MainWindow() {
    platform::SetMessageSink(std::move(previousSink_));
}

void MainWindow::BuildMenus() {
    QMenu& file = *menuBar()->addMenu("&File");
    AddCommand(file, "Export to &DXF", &DrawArea::mnuDXF12Click);
    file.addSeparator();
    AddCommand(file, "Print &Setup", &DrawArea::mnuPrintSetupClick);
    AddCommand(file, "&Print", &DrawArea::mnuPrintClick);
    file.addSeparator();
    AddCommand(file, "&Exit Screen View", &DrawArea::mnuExitClick);

    QMenu& zoom = *menuBar()->addMenu("&Zoom");
    AddCommand(zoom, "Zoom &Window", &DrawArea::mnuZoomWindowClick)
        ->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_W));
    AddCommand(zoom, "Zoom &Last", &DrawArea::mnuZoomLastClick)
        ->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_L));
    AddCommand(zoom, "Zoom &Page", &DrawArea::mnuZoomPageClick)
        ->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_P));
    zoom.addSeparator();
    for (QAction* pointZoom : {AddCommand(zoom, "Zoom &In", &DrawArea::mnuZoomInClick),
                               AddCommand(zoom, "Zoom &Out", &DrawArea::mnuZoomOutClick),
                               AddCommand(zoom, "Zoom Li&mits", &DrawArea::mnuZoomLimitsClick)}) {
        connect(pointZoom, &QAction::triggered, this,
                [this] { statusBar()->showMessage("Click the place to zoom"); });
    }
}

QAction* MainWindow::AddCommand(QMenu& menu, const QString& caption, void (DrawArea::*handler)()) {
    QAction* action = menu.addAction(caption);
    connect(action, &QAction::triggered, this, [this, handler] {
        statusBar()->clearMessage();
        Guarded([this, handler] { (area_.*handler)(); });
    });
    return action;
}

void MainWindow::ShowPointerPosition(QPoint pixel) {
    const std::optional<KqPoint2> world = area_.WorldAt(pixel.x(), pixel.y());
    position_.setText(
        world ? QString("X %1 in   Y %2 in").arg(world->x, 0, 'f', 3).arg(world->y, 0, 'f', 3)
              : QString());
}

platform::MessageAnswer MainWindow::Ask(const platform::MessageRequest& request) {
    QMessageBox box(this);
    box.setWindowTitle(QString::fromStdString(request.title));
    box.setText(QString::fromStdString(request.text));
    box.setStandardButtons(request.buttons == platform::MessageButtons::OkCancel
                               ? QMessageBox::Ok | QMessageBox::Cancel
                               : QMessageBox::Ok);
    box.setDefaultButton(QMessageBox::Ok);
    return box.exec() == QMessageBox::Ok ? platform::MessageAnswer::Ok
                                         : platform::MessageAnswer::Cancel;
}

void MainWindow::ShowPrinterDialog() {
    if (!printerChosen_) UseSessionPaper(printer_);
    QPrintDialog dialog(&printer_, this);
    if (dialog.exec() == QDialog::Accepted) printerChosen_ = true;
}

std::unique_ptr<PrintJob> MainWindow::OpenPrinter() {
    if (printerChosen_) return std::make_unique<PrinterJob>(printer_);
    if (!QPrinterInfo::availablePrinters().isEmpty()) {
        printer_.setOutputFormat(QPrinter::NativeFormat);
        printer_.setPrinterName(QPrinterInfo::defaultPrinterName());
        UseSessionPaper(printer_);
        return std::make_unique<PrinterJob>(printer_);
    }
    // Nowhere to print: the page goes to a PDF file named after the job.
    printer_.setOutputFormat(QPrinter::PdfFormat);
    UseSessionPaper(printer_);
    return std::make_unique<PrinterJob>(
        printer_, platform::TemporaryFile(std::string(kPrintJobName) + ".pdf"));
}

void MainWindow::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    Guarded([this] { area_.Shown(); });
}

void MainWindow::closeEvent(QCloseEvent* event) {
    Guarded([this] { area_.Terminate(); });
    event->accept();
}

} // namespace view::qt
