// Printing through the library into Qt devices, and the inverting rubber band
// on an image: the device-context calls of the viewer against real surfaces.
#include "view/qt/page_fixture.h"

#include "builder/session.h"
#include "cadlib/kq.h"
#include "cadlib/kq_display.h"
#include "platform/device_context.h"
#include "platform/window_handles.h"
#include "view/qt/image_surface.h"
#include "view/qt/paged_surface.h"

#include <QFile>
#include <QPrinter>

#include <gtest/gtest.h>

namespace {

using testsupport::PageTest;

// The print sequence of the viewer's Print command, on device context `dc`.
void PrintPage(platform::DeviceContextHandle dc) {
    const builder::SessionState& session = builder::Session();
    const int32_t saved = platform::SaveDC(dc);
    double extents[6];
    kq_compute_drawing_extents(extents, session.ScreenHandle);
    const int32_t name = kq_create_char_array(15);
    kq_strcpyvb2(name, 2, "DO-DEZ Print");
    platform::DOCINFOA info;
    info.cbSize = 10;
    info.lpszDocName = "DO-DEZ Print";
    kq_set_sys_qtextmode(session.DataAreaHandle, 0);
    kq_set_window_DC(session.ScreenHandle, dc);
    const int32_t libraryMode = kq_set_map_mode(session.ScreenHandle, platform::MM_LOENGLISH);
    platform::SetMapMode(dc, platform::MM_LOENGLISH);
    platform::StartDocA(dc, info);
    platform::StartPage(dc);
    const int32_t printerMode = platform::SetMapMode(dc, platform::MM_LOENGLISH);
    kq_print_drawing(session.ScreenHandle, 1.0, 1, 1);
    platform::EndPage(dc);
    platform::EndDoc(dc);
    kq_set_map_mode(session.ScreenHandle, libraryMode);
    platform::SetMapMode(dc, printerMode);
    kq_set_window_DC(session.ScreenHandle, 0);
    platform::RestoreDC(dc, saved);
    kq_purge_char_array(name);
}

class PrintTest : public PageTest {};

TEST_F(PrintTest, ThePrintedPageIsAtOneInchPerInchWhateverTheScreenShows) {
    Interpret({"S\t600\t600\t", "RFC\t600\t600\t0 0 0\t"});
    const builder::SessionState& session = builder::Session();
    kq_resize_vports(session.ScreenHandle, 300, 200);
    kq_zoom_point(session.ScreenHandle, session.ScreenViewport, {6, 8}, 5.0);

    view::qt::ImageSurface paper(850, 1100, 100); // a letter page at 100 dots per inch
    const platform::DeviceContextHandle dc = platform::CreateDeviceContext(paper);
    PrintPage(dc);
    platform::DeleteDC(dc);
    const QImage page = paper.Image();
    const QRect inside(Pixel(1.05, 1.95), Pixel(1.95, 1.05));
    EXPECT_EQ(InkIn(page, inside), inside.width() * inside.height());
    EXPECT_EQ(InkIn(page, QRect(Pixel(2.1, 3), Pixel(4, 0.5))), 0);
}

TEST_F(PrintTest, APrintJobIsOneNamedPage) {
    Interpret({"S\t600\t600\t", "RFC\t600\t600\t0 0 0\t", "A\tPrinted\t"});
    const QString output = QString::fromStdString((folder.Path() / "job.pdf").string());
    QPrinter printer;
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(output);
    {
        view::qt::PrinterSurface surface(printer);
        const platform::DeviceContextHandle dc = platform::CreateDeviceContext(surface);
        PrintPage(dc);
        platform::DeleteDC(dc);
    }
    EXPECT_EQ(printer.docName(), "DO-DEZ Print");
    QFile file(output);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray pdf = file.readAll();
    EXPECT_TRUE(pdf.startsWith("%PDF"));
    EXPECT_EQ(pdf.count("/Type /Page\n") + pdf.count("/Type /Page "), 1);
}

TEST(RubberBandTest, AnInvertedOutlineUndoesItself) {
    view::qt::ImageSurface image(200, 120);
    const platform::WindowHandle window = platform::CreateWindowHandle();
    const platform::ScopedWindowSurface shown(window, image);
    const auto band = [window] {
        const platform::DeviceContextHandle dc = platform::GetDC(window);
        const int32_t oldOp = platform::SetROP2(dc, platform::R2_NOT);
        const platform::ObjectHandle oldBrush =
            platform::SelectObject(dc, platform::GetStockObject(platform::NULL_BRUSH));
        platform::Rectangle(dc, 150, 100, 20, 10); // dragged up and to the left
        platform::SelectObject(dc, oldBrush);
        platform::SetROP2(dc, oldOp);
        platform::ReleaseDC(window, dc);
    };
    band();
    const QImage drawn = image.Image().copy();
    EXPECT_EQ(qGray(drawn.pixel(20, 50)), 0);   // the left side, inverted from white
    EXPECT_EQ(qGray(drawn.pixel(85, 10)), 0);   // the top
    EXPECT_EQ(qGray(drawn.pixel(85, 50)), 255); // the inside is left alone
    band();
    const QImage undone = image.Image();
    for (int y = 0; y < undone.height(); ++y) {
        for (int x = 0; x < undone.width(); ++x)
            ASSERT_EQ(qGray(undone.pixel(x, y)), 255) << x << ", " << y;
    }
}

} // namespace
