// Surfaces that print: pages of a PDF file or of a printer. The page's top
// left corner is the device origin. Drawing without a document (a screen view
// written as PDF) paints the first page.
#pragma once

#include "view/qt/painter_surface.h"

#include <QPagedPaintDevice>
#include <QPainter>
#include <QPdfWriter>
#include <QPrinter>

namespace view::qt {

class PagedSurface : public PainterSurface {
  public:
    int Width() const override { return device_.width(); }
    int Height() const override { return device_.height(); }
    double DotsPerInch() const override { return device_.logicalDpiX(); }

    bool StartDocument(std::string_view name) override;
    bool StartPage() override;
    bool EndPage() override;
    bool EndDocument() override;

    // Ends the document; false when the device could not be written.
    bool Finish();

  protected:
    explicit PagedSurface(QPagedPaintDevice& device) : device_(device) {}
    virtual void NameDocument(const QString& name) = 0;
    QPainter* ActivePainter() override;

  private:
    QPagedPaintDevice& device_;
    QPainter painter_;
    bool pageEnded_ = false;
    bool ended_ = false;  // the document is complete: nothing more is painted
    bool failed_ = false; // the device refused to start
};

// Holds the writer so that it exists before the surface that paints on it.
struct PdfWriterHolder {
    explicit PdfWriterHolder(QIODevice& device) : writer(&device) {}
    QPdfWriter writer;
};

// A PDF whose pages are width x height pixels at 100 pixels per inch, written
// to `device`, open for writing, which outlives the surface.
class PdfSurface : private PdfWriterHolder, public PagedSurface {
  public:
    PdfSurface(QIODevice& device, int width, int height);

  protected:
    void NameDocument(const QString& name) override { writer.setTitle(name); }
};

// The pages of a printer (or of its PDF output), full page: the paper's
// corner is the origin.
class PrinterSurface : public PagedSurface {
  public:
    explicit PrinterSurface(QPrinter& printer);

  protected:
    void NameDocument(const QString& name) override { printer_.setDocName(name); }

  private:
    QPrinter& printer_;
};

} // namespace view::qt
