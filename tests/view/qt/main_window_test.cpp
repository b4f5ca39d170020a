// The screen view's window driven as a user drives it, offscreen: its menu,
// its scroll bars, a zoom window dragged with the mouse, printing and Exit.
#include "view/qt/page_fixture.h"

#include "builder/session.h"
#include "cadlib/kq_display.h"
#include "cadlib/testing.h"
#include "driver/batch_run.h"
#include "platform/message_box.h"
#include "view/qt/main_window.h"

#include <QAbstractButton>
#include <QApplication>
#include <QFile>
#include <QMenuBar>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPrinterInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QStatusBar>
#include <QStyle>
#include <QStyleOptionSlider>
#include <QTimer>

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <iterator>
#include <optional>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

class MainWindowTest : public testsupport::PageTest {
  protected:
    void SetUp() override {
        PageTest::SetUp();
        // A black inch square with its lower left corner at (1, 1).
        folder.Write("tempdxf.txt", "S\t600\t600\t\r\nRFC\t600\t600\t0 0 0\t\r\n");
        window.emplace([this] { ++ends; });
        window->resize(700, 900);
        driver::PrepareDrawing();
        window->show();
        QApplication::processEvents();
    }

    void TearDown() override {
        window.reset();
        PageTest::TearDown();
    }

    // Message boxes answered at once, and kept.
    void AnswerBoxes(platform::MessageAnswer answer) {
        platform::SetMessageSink([this, answer](const platform::MessageRequest& request) {
            boxes.push_back(request);
            return answer;
        });
    }

    // Runs a menu command with the test's folder as the temp folder (TMPDIR).
    void CommandWithTempFolder(const QString& caption) {
        qputenv("TMPDIR", folder.Path().string().c_str());
        Command(caption).trigger();
        qunsetenv("TMPDIR");
    }

    QAction& Command(const QString& caption) {
        for (QAction* menu : window->menuBar()->actions()) {
            for (QAction* item : menu->menu()->actions()) {
                if (item->text() == caption) return *item;
            }
        }
        throw std::runtime_error("no menu item " + caption.toStdString());
    }

    static void Mouse(QWidget& widget, QEvent::Type type, QPoint at, Qt::MouseButtons held) {
        const Qt::MouseButton button = type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton;
        QMouseEvent event(type, at, widget.mapToGlobal(at), button, held, Qt::NoModifier);
        QApplication::sendEvent(&widget, &event);
    }

    static void Click(QScrollBar& bar, QStyle::SubControl part) {
        QStyleOptionSlider option;
        option.initFrom(&bar);
        option.orientation = bar.orientation();
        option.minimum = bar.minimum();
        option.maximum = bar.maximum();
        option.sliderPosition = option.sliderValue = bar.value();
        option.singleStep = bar.singleStep();
        option.pageStep = bar.pageStep();
        const QPoint at =
            bar.style()->subControlRect(QStyle::CC_ScrollBar, &option, part, &bar).center();
        Mouse(bar, QEvent::MouseButtonPress, at, Qt::LeftButton);
        Mouse(bar, QEvent::MouseButtonRelease, at, Qt::NoButton);
    }

    static KqRect2 View() {
        KqRect2 world;
        kq_get_vport_world(builder::Session().ScreenHandle, builder::Session().ScreenViewport,
                           world);
        return world;
    }

    std::optional<view::qt::MainWindow> window;
    std::vector<platform::MessageRequest> boxes;
    int ends = 0;
};

TEST_F(MainWindowTest, TheMenusHaveTheirCaptionsInOrderWithTheirShortcuts) {
    EXPECT_EQ(window->windowTitle(), "Screen View");
    QStringList seen;
    for (QAction* menu : window->menuBar()->actions()) {
        seen << menu->text();
        for (QAction* item : menu->menu()->actions())
            seen << (item->isSeparator() ? "-" : item->text()) + item->shortcut().toString();
    }
    EXPECT_EQ(seen.join("|").toStdString(),
              "&File|&Open...Ctrl+O|&ReloadF5|-|Export to &DXF|Export &As...|-|Print &Setup|"
              "&Print|Print &to PDF...|-|"
              "&Exit Screen View|"
              "&Zoom|Zoom &WindowCtrl+W|Zoom &LastCtrl+L|Zoom &PageCtrl+P|-|"
              "Zoom &In|Zoom &Out|Zoom Li&mits");
}

TEST_F(MainWindowTest, ClickingTheScrollBarsPans) {
    const KqRect2 start = View();
    QScrollBar& across = window->ClientArea().HScroll1();
    const int acrossAtStart = across.value();
    Click(across, QStyle::SC_ScrollBarAddLine);
    EXPECT_NEAR(View().x1 - start.x1, (start.x2 - start.x1) / 20, 1e-9);
    EXPECT_GT(across.value(), acrossAtStart); // the thumb follows the view
    EXPECT_EQ(across.value(), window->Area().HScroll1.Value());
    QScrollBar& down = window->ClientArea().VScroll1();
    const int downAtStart = down.value();
    Click(down, QStyle::SC_ScrollBarAddPage);
    EXPECT_NEAR(View().y1 - start.y1, -(start.y2 - start.y1) / 2, 1e-9);
    EXPECT_GT(down.value(), downAtStart);
    EXPECT_EQ(down.pageStep(), window->Area().VScroll1.Span()); // the thumb is the view
}

TEST_F(MainWindowTest, ZoomWindowByDraggingTheMouse) {
    view::qt::Canvas& canvas = window->ClientArea();
    const QPoint from(100, 150), to(300, 400);
    const std::optional<KqPoint2> corner = window->Area().WorldAt(from.x(), from.y());
    const std::optional<KqPoint2> opposite = window->Area().WorldAt(to.x(), to.y());
    ASSERT_TRUE(corner && opposite);

    Command("Zoom &Window").trigger();
    EXPECT_EQ(canvas.cursor().shape(), Qt::SizeAllCursor);
    Mouse(canvas, QEvent::MouseButtonPress, from, Qt::LeftButton);
    Mouse(canvas, QEvent::MouseMove, to, Qt::LeftButton);
    EXPECT_LT(qGray(canvas.Picture()->pixel(200, 150)), 128); // the band's top edge, inverted
    EXPECT_EQ(window->PointerPlace().text().toStdString(), QString("X %1 in   Y %2 in")
                                                               .arg(opposite->x, 0, 'f', 3)
                                                               .arg(opposite->y, 0, 'f', 3)
                                                               .toStdString());
    Mouse(canvas, QEvent::MouseButtonRelease, to, Qt::NoButton);

    const KqRect2 view = View(); // the band fills the view's height or width, centred
    EXPECT_NEAR((view.x1 + view.x2) / 2, (corner->x + opposite->x) / 2, 1e-6);
    EXPECT_NEAR((view.y1 + view.y2) / 2, (corner->y + opposite->y) / 2, 1e-6);
    EXPECT_TRUE(std::abs(view.y2 - view.y1 - (corner->y - opposite->y)) < 1e-6 ||
                std::abs(view.x2 - view.x1 - (opposite->x - corner->x)) < 1e-6);
    EXPECT_EQ(canvas.cursor().shape(), Qt::ArrowCursor);
    EXPECT_EQ(qGray(canvas.Picture()->pixel(200, 150)), 255); // the band is gone
}

TEST_F(MainWindowTest, PrintAsksInARealBoxAndCancelPrintsNothing) {
    QString asked;
    QTimer::singleShot(0, [&asked] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);
        asked = box->windowTitle() + "|" + box->text();
        EXPECT_EQ(box->standardButtons(), QMessageBox::Ok | QMessageBox::Cancel);
        box->button(QMessageBox::Cancel)->click();
    });
    CommandWithTempFolder("&Print");
    EXPECT_EQ(asked.toStdString(), "|Printing, Click OK to Continue...");
    EXPECT_FALSE(
        QFile::exists(QString::fromStdString((folder.Path() / "DO-DEZ Print.pdf").string())));
}

TEST_F(MainWindowTest, WithoutAPrinterPrintWritesOnePdfPageAtTrueScale) {
    if (!QPrinterInfo::availablePrinters().isEmpty()) GTEST_SKIP() << "a printer is installed";
    AnswerBoxes(platform::MessageAnswer::Ok);
    CommandWithTempFolder("&Print");
    const std::string pdf = (folder.Path() / "DO-DEZ Print.pdf").string();
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_EQ(boxes[1].text, "No printer is available: the page was saved as " + pdf);

    // Readable by its owner alone, and no temporary file left beside it.
    EXPECT_EQ(std::filesystem::status(pdf).permissions(),
              std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);
    EXPECT_EQ(folder.Names(),
              (std::vector<std::string>{"DO-DEZ Print.pdf", "kqhatch.pat", "tempdxf.txt"}));

    QFile file(QString::fromStdString(pdf));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    EXPECT_EQ(bytes.count("/Type /Page\n") + bytes.count("/Type /Page "), 1);
    EXPECT_TRUE(bytes.contains("/MediaBox [0 0 612")); // letter: 8.5 by 11 inches
    EXPECT_TRUE(bytes.contains(" 792"));

    const QString pdftoppm = QStandardPaths::findExecutable("pdftoppm");
    if (pdftoppm.isEmpty()) GTEST_SKIP() << "pdftoppm is not installed";
    const std::string png = (folder.Path() / "page").string();
    ASSERT_EQ(
        QProcess::execute(pdftoppm, {"-r", "100", "-png", "-singlefile",
                                     QString::fromStdString(pdf), QString::fromStdString(png)}),
        0);
    const QImage page(QString::fromStdString(png + ".png"));
    ASSERT_EQ(page.size(), QSize(850, 1100));
    const QRect inside(Pixel(1.05, 1.95), Pixel(1.95, 1.05)); // one inch is 100 pixels
    EXPECT_EQ(InkIn(page, inside), inside.width() * inside.height());
    EXPECT_EQ(InkIn(page, QRect(Pixel(2.05, 2.5), Pixel(3, 0.5))), 0);
    EXPECT_EQ(InkIn(page, QRect(Pixel(0.5, 2.5), Pixel(0.95, 0.5))), 0);
}

TEST_F(MainWindowTest, WithoutAPrinterAnotherUsersPdfUnderTheNameIsLeftAlone) {
    if (!QPrinterInfo::availablePrinters().isEmpty()) GTEST_SKIP() << "a printer is installed";
    if (::geteuid() != 0) GTEST_SKIP() << "giving a file to another user needs root";
    const std::string pdf = (folder.Path() / "DO-DEZ Print.pdf").string();
    folder.Write("DO-DEZ Print.pdf", "another user's page");
    ASSERT_EQ(::chown(pdf.c_str(), 65534, 65534), 0);
    AnswerBoxes(platform::MessageAnswer::Ok);
    CommandWithTempFolder("&Print");
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_EQ(boxes[1].text, "No printer is available, and the page could not be saved as " + pdf +
                                 ": the name is taken by another user's file");
    QFile file(QString::fromStdString(pdf));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), QByteArray("another user's page"));
    // No temporary file left.
    EXPECT_EQ(folder.Names(),
              (std::vector<std::string>{"DO-DEZ Print.pdf", "kqhatch.pat", "tempdxf.txt"}));
}

TEST_F(MainWindowTest, ExportWritesTheClassicTempFolder) {
    AnswerBoxes(platform::MessageAnswer::Ok);
    // The tests' own folder stands in for /tmp.
    qputenv("PLOTDXF_TEST_CLASSIC_TEMP", folder.Path().string().c_str());
    Command("Export to &DXF").trigger();
    qunsetenv("PLOTDXF_TEST_CLASSIC_TEMP");
    const std::string exported = (folder.Path() / "ztest.dxf").string();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, "FILE CREATED:  " + exported);
    EXPECT_EQ(std::filesystem::status(exported).permissions(),
              std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);
}

TEST_F(MainWindowTest, ExitFreesTheSessionOnceAndEndsTheProgram) {
    std::vector<std::string> purges;
    cadlib::testing::SetPurgeObserver(
        [&purges](const std::string& what, int32_t) { purges.push_back(what); });
    Command("&Exit Screen View").trigger();
    EXPECT_EQ(ends, 1);
    EXPECT_FALSE(window->isVisible());
    window->close(); // no handler runs after Exit: nothing is freed twice
    EXPECT_EQ(purges, (std::vector<std::string>{"data area", "screen"}));
}

} // namespace
