#include "view/qt/paged_surface.h"

#include <QMarginsF>
#include <QPageLayout>
#include <QPageSize>

namespace view::qt {

namespace {
constexpr int kPixelsPerInch = 100;
}

bool PagedSurface::StartDocument(std::string_view name) {
    NameDocument(QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size())));
    return ActivePainter() != nullptr;
}

bool PagedSurface::StartPage() {
    if (!ActivePainter()) return false;
    if (!pageEnded_) return true; // the first page is there from the start
    pageEnded_ = false;
    return device_.newPage();
}

bool PagedSurface::EndPage() {
    pageEnded_ = true;
    return painter_.isActive();
}

bool PagedSurface::EndDocument() {
    if (!painter_.isActive()) return false;
    ended_ = true;
    return painter_.end();
}

bool PagedSurface::Finish() {
    if (ended_) return !failed_;
    return ActivePainter() != nullptr && EndDocument();
}

QPainter* PagedSurface::ActivePainter() {
    if (!painter_.isActive() && !ended_ && !failed_) {
        failed_ = !painter_.begin(&device_);
        ForgetAppliedState();
    }
    return painter_.isActive() ? &painter_ : nullptr;
}

PdfSurface::PdfSurface(QIODevice& device, int width, int height)
    : PdfWriterHolder(device), PagedSurface(writer) {
    writer.setResolution(kPixelsPerInch);
    writer.setPageLayout(QPageLayout(
        QPageSize(QSizeF(double(width) / kPixelsPerInch, double(height) / kPixelsPerInch),
                  QPageSize::Inch),
        QPageLayout::Portrait, QMarginsF()));
}

PrinterSurface::PrinterSurface(QPrinter& printer) : PagedSurface(printer), printer_(printer) {
    printer.setFullPage(true);
}

} // namespace view::qt
