#include "view/qt/main_window.h"

#include "platform/printable_text.h"
#include "platform/printer.h"
#include "platform/process.h"
#include "platform/replacing_file.h"
#include "platform/runtime_error.h"
#include "view/event_guard.h"
#include "view/qt/paged_surface.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QMenuBar>
#include <QMessageBox>
#include <QPageLayout>
#include <QPageSize>
#include <QPrintDialog>
#include <QPrinterInfo>
#include <QScreen>
#include <QStatusBar>
#include <QTime>

#include <algorithm>
#include <string>
#include <utility>

namespace view::qt {

namespace {

constexpr int kLandscape = 2;
constexpr double kHundredthsPerInch = 100;
// How long the command file must stay quiet before it is read again, and how
// long the note that it was stays in the status bar.
constexpr int kReloadDelayMs = 300;
constexpr int kReloadNoteMs = 15000;
constexpr const char* kCaption = "Screen View";

// What the status bar and the title show of a text that may quote a command
// or a file name: printable (platform/printable_text.h).
QString Printable(const std::string& text) {
    return QString::fromStdString(platform::PrintableText(text));
}

QString Printable(const QString& text) {
    return Printable(text.toStdString());
}

// Why a page could not be written as `path`.
std::string PdfFailure(const QString& path) {
    const QFileInfo folder(QFileInfo(path).absolutePath());
    const std::string name = QFile::encodeName(folder.filePath()).toStdString();
    if (!folder.exists()) return "the folder " + name + " does not exist";
    if (!folder.isDir()) return name + " is not a folder";
    if (!folder.isWritable()) return "the folder " + name + " may not be written";
    return "the file could not be written";
}

QString FromFileName(const std::string& name) {
    return QFile::decodeName(name.c_str());
}

// One print on a printer, or on a PDF file in the shared temp folder. The
// PDF is written as a temporary file of its owner's alone, renamed to its
// name when complete (the replacing file every output is written through):
// no half-written page is left, and no link or other user's file under that
// name is written through.
class PrinterJob : public PrintJob {
  public:
    explicit PrinterJob(QPrinter& printer)
        : PrinterJob(printer, std::unique_ptr<platform::ReplacingFile>()) {}
    PrinterJob(QPrinter& printer, std::string pdfFile, platform::OutputSharing sharing)
        : PrinterJob(printer, std::make_unique<platform::ReplacingFile>(
                                  pdfFile, platform::FileKind::Pdf, sharing)) {
        pdfFile_ = std::move(pdfFile);
    }
    // The printer names the file the page went to, not the temporary one.
    ~PrinterJob() override {
        platform::DeleteDC(dc_);
        if (pdf_) printer_.setOutputFileName(FromFileName(pdfFile_));
    }
    PrinterJob(const PrinterJob&) = delete;
    PrinterJob& operator=(const PrinterJob&) = delete;

    platform::DeviceContextHandle DeviceContext() const override { return dc_; }
    std::string PdfFile() const override { return pdfFile_; }
    bool Finish() override {
        const bool printed = surface_.Finish() && pdfOpened_;
        return printed && (!pdf_ || pdf_->Commit(0));
    }
    std::string Failure() const override {
        if (!pdf_) {
            return "the printer " + printer_.printerName().toStdString() +
                   " did not accept the job";
        }
        // The output file's error names the file, which the message names already.
        const std::string& error = pdf_->Error();
        return error.empty() ? PdfFailure(FromFileName(pdfFile_))
                             : platform::WithoutName(error, pdfFile_);
    }

  private:
    PrinterJob(QPrinter& printer, std::unique_ptr<platform::ReplacingFile> pdf)
        : printer_(printer), pdf_(std::move(pdf)), pdfOpened_(!pdf_ || pdf_->Open()),
          surface_(PointAt(printer, pdf_.get(), pdfOpened_)),
          dc_(platform::CreateDeviceContext(surface_)) {}

    // The printer, told where its PDF goes: nowhere when the file could not be made.
    static QPrinter& PointAt(QPrinter& printer, const platform::ReplacingFile* pdf, bool opened) {
        if (pdf)
            printer.setOutputFileName(opened ? QString::fromStdString(pdf->TemporaryName())
                                             : QString());
        return printer;
    }

    QPrinter& printer_;
    std::unique_ptr<platform::ReplacingFile> pdf_; // none when printing on a printer
    bool pdfOpened_;
    PrinterSurface surface_;
    platform::DeviceContextHandle dc_;
    std::string pdfFile_;
};

// A print onto a PDF file the user chose, on a printer of its own: the
// window's printer keeps what Print Setup chose.
struct OwnPrinter {
    QPrinter printer;
};
class PdfFileJob : private OwnPrinter, public PrinterJob {
  public:
    explicit PdfFileJob(std::string pdfFile)
        : PrinterJob(PdfOutput(printer), std::move(pdfFile), platform::OutputSharing::Ordinary) {}

  private:
    static QPrinter& PdfOutput(QPrinter& printer);
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

QPrinter& PdfFileJob::PdfOutput(QPrinter& printer) {
    printer.setOutputFormat(QPrinter::PdfFormat);
    UseSessionPaper(printer);
    return printer;
}

// Where Print puts the page when there is no printer.
std::string DefaultPdfFile() {
    return platform::TemporaryFile(std::string(kPrintJobName) + ".pdf");
}

} // namespace

StatusMark::StatusMark() {
    hide();
    setWordWrap(true);
    setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
}

void StatusMark::resizeEvent(QResizeEvent* event) {
    QLabel::resizeEvent(event);
    setFixedHeight(heightForWidth(width()));
}

MainWindow::MainWindow(std::function<void()> endProgram)
    : canvas_(area_, [this](std::optional<QPoint> pixel) { ShowPointerPosition(pixel); }) {
    setWindowTitle(kCaption);
    setCentralWidget(&canvas_);
    // The marks take the room the pointer's place leaves, on as many lines
    // as they need; a prompt or note covers them while it is shown.
    incomplete_.setStyleSheet("color: #b00000");
    for (QLabel* mark : {&incomplete_, &notice_}) {
        statusBar()->addWidget(mark, 1);
    }
    connect(statusBar(), &QStatusBar::messageChanged, this, [this] { ShowMarks(); });
    statusBar()->addPermanentWidget(&position_);
    BuildMenus();
    canvas_.setFocus();

    reloadTimer_.setSingleShot(true);
    reloadTimer_.setInterval(kReloadDelayMs);
    connect(&reloadTimer_, &QTimer::timeout, this, [this] { ReloadChangedDrawing(); });
    const auto changedOnDisk = [this] { reloadTimer_.start(); };
    connect(&watcher_, &QFileSystemWatcher::fileChanged, this, changedOnDisk);
    connect(&watcher_, &QFileSystemWatcher::directoryChanged, this, changedOnDisk);

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
    host.changed = [this] { ShowState(); };
    host.chooseCommandFile = [this] { return ChooseCommandFile(); };
    host.chooseSaveFile = [this](SavedForm form) { return ChooseSaveFile(form); };
    host.openPdfFile = [](const std::string& pdfFile) -> std::unique_ptr<PrintJob> {
        return std::make_unique<PdfFileJob>(pdfFile);
    };
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
    AddCommand(file, "&Open...", &DrawArea::mnuOpenClick)->setShortcut(QKeySequence::Open);
    AddCommand(file, "&Reload", &DrawArea::mnuReloadClick)->setShortcut(QKeySequence(Qt::Key_F5));
    file.addSeparator();
    AddCommand(file, "Export to &DXF", &DrawArea::mnuDXF12Click);
    AddCommand(file, "Export &As...", &DrawArea::mnuExportAsClick);
    file.addSeparator();
    AddCommand(file, "Print &Setup", &DrawArea::mnuPrintSetupClick);
    AddCommand(file, "&Print", &DrawArea::mnuPrintClick);
    AddCommand(file, "Print &to PDF...", &DrawArea::mnuPrintToPdfClick);
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
    AddCommand(zoom, "Zoom &In", &DrawArea::mnuZoomInClick);
    AddCommand(zoom, "Zoom &Out", &DrawArea::mnuZoomOutClick);
    AddCommand(zoom, "Zoom Li&mits", &DrawArea::mnuZoomLimitsClick);
}

QAction* MainWindow::AddCommand(QMenu& menu, const QString& caption, void (DrawArea::*handler)()) {
    QAction* action = menu.addAction(caption);
    connect(action, &QAction::triggered, this, [this, handler] {
        statusBar()->clearMessage();
        Guarded([this, handler] { (area_.*handler)(); });
    });
    return action;
}

void MainWindow::ShowPointerPosition(std::optional<QPoint> pixel) {
    // Only the drawing area shows the drawing: not the bars, not their corner.
    const bool onDrawing = pixel && pixel->x() >= 0 && pixel->y() >= 0 &&
                           pixel->x() < area_.VScroll1.Left() && pixel->y() < area_.HScroll1.Top();
    const std::optional<KqPoint2> world =
        onDrawing ? area_.WorldAt(pixel->x(), pixel->y()) : std::nullopt;
    position_.setText(
        world ? QString("X %1 in   Y %2 in").arg(world->x, 0, 'f', 3).arg(world->y, 0, 'f', 3)
              : QString());
}

void MainWindow::ShowState() {
    const QString file = FromFileName(area_.DrawingFile());
    setWindowTitle(file.isEmpty() ? QString(kCaption)
                                  : Printable(QFileInfo(file).fileName()) + " - " + kCaption);
    const bool prompting = area_.ArmedZoom() != ZoomMode::None;
    if (prompting) {
        statusBar()->showMessage(Printable(area_.Prompt()));
    } else if (promptShown_) {
        statusBar()->clearMessage(); // acted on, or cancelled
    }
    promptShown_ = prompting;
    // Said in full on the bar, wrapped to its width; the tip says what it means.
    const QString incomplete = Printable(area_.IncompleteMark());
    incomplete_.setToolTip(incomplete + ". The drawing shows what the lines before it built.");
    incomplete_.setText(incomplete);
    const QString notice = Printable(area_.DrawingNotice());
    notice_.setToolTip(notice);
    notice_.setText(notice);
    ShowMarks();
    ShowPointerPosition(canvas_.Pointer()); // the view may have moved under the pointer
    canvas_.ShowBars();
    WatchDrawing();
}

void MainWindow::ShowMarks() {
    const bool covered = !statusBar()->currentMessage().isEmpty();
    for (QLabel* mark : {&incomplete_, &notice_}) {
        mark->setVisible(!covered && !mark->text().isEmpty());
    }
}

std::optional<std::string> MainWindow::ChooseCommandFile() {
    const QString shown = FromFileName(area_.DrawingFile());
    QFileDialog dialog(this, "Open Command File",
                       shown.isEmpty() ? QDir::currentPath() : QFileInfo(shown).absolutePath(),
                       "Plot command files (*.txt);;All files (*)");
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
    return QFile::encodeName(dialog.selectedFiles().first()).toStdString();
}

std::optional<std::string> MainWindow::ChooseSaveFile(SavedForm form) {
    const bool dxf = form == SavedForm::Dxf;
    const QFileInfo shown(FromFileName(area_.DrawingFile()));
    const QString folder = shown.fileName().isEmpty() ? QDir::currentPath() : shown.absolutePath();
    const QString suffix = dxf ? "dxf" : "pdf";
    const QString name =
        (shown.completeBaseName().isEmpty() ? QString("drawing") : shown.completeBaseName()) + "." +
        suffix;
    QFileDialog dialog(this, dxf ? "Export As" : "Print to PDF", QDir(folder).filePath(name),
                       dxf ? "DXF drawings (*.dxf);;All files (*)"
                           : "PDF documents (*.pdf);;All files (*)");
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix(suffix);
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
    return QFile::encodeName(dialog.selectedFiles().first()).toStdString();
}

void MainWindow::WatchDrawing() {
    const QString file = FromFileName(area_.DrawingFile());
    if (file.isEmpty()) return;
    const QFileInfo info(file);
    const QString path = info.absoluteFilePath(), folder = info.absolutePath();
    if (!watcher_.directories().contains(folder)) {
        // Another file: the old one is no longer of interest.
        if (!watcher_.files().isEmpty()) watcher_.removePaths(watcher_.files());
        if (!watcher_.directories().isEmpty()) watcher_.removePaths(watcher_.directories());
        watcher_.addPath(folder);
    }
    // A file replaced by a rename drops out of the watch: it is watched anew.
    if (!watcher_.files().contains(path) && info.exists()) {
        if (!watcher_.files().isEmpty()) watcher_.removePaths(watcher_.files());
        watcher_.addPath(path);
    }
}

void MainWindow::ReloadChangedDrawing() {
    // Not under a box or dialog (the reload's own error box among them): later.
    if (QApplication::activeModalWidget()) {
        reloadTimer_.start();
        return;
    }
    bool reloaded = false;
    Guarded([this, &reloaded] { reloaded = area_.ReloadIfChanged(); });
    if (reloaded) {
        const QString name = QFileInfo(FromFileName(area_.DrawingFile())).fileName();
        statusBar()->showMessage(
            Printable(area_.ReloadNote(QFile::encodeName(name).toStdString(),
                                       QTime::currentTime().toString("HH:mm:ss").toStdString())),
            kReloadNoteMs);
    }
    WatchDrawing();
}

platform::MessageAnswer MainWindow::Ask(const platform::MessageRequest& request) {
    QMessageBox box(this);
    box.setWindowTitle(QString::fromStdString(request.title));
    box.setText(QString::fromStdString(request.text));
    box.setInformativeText(QString::fromStdString(request.detail));
    box.setStandardButtons(request.buttons == platform::MessageButtons::OkCancel
                               ? QMessageBox::Ok | QMessageBox::Cancel
                               : QMessageBox::Ok);
    box.setDefaultButton(QMessageBox::Ok);
    return box.exec() == QMessageBox::Ok ? platform::MessageAnswer::Ok
                                         : platform::MessageAnswer::Cancel;
}

void MainWindow::ShowPrinterDialog() {
    if (!printerChosen_) {
        UseSessionPaper(printer_);
        // The dialog shows where the page will go: with no printer, the PDF Print writes.
        if (QPrinterInfo::availablePrinters().isEmpty()) {
            printer_.setOutputFormat(QPrinter::PdfFormat);
            printer_.setOutputFileName(FromFileName(DefaultPdfFile()));
        }
    }
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
    return std::make_unique<PrinterJob>(printer_, DefaultPdfFile(),
                                        platform::OutputSharing::OwnerOnly);
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
