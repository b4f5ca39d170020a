// The screen view as an engineer checks a log in it, offscreen: a command
// file opened and read again when it changes, its error named, the wheel,
// the middle button, the keys, the status bar, a print that fails.
#include "view/qt/page_fixture.h"

#include "builder/session.h"
#include "cadlib/kq_display.h"
#include "driver/batch_run.h"
#include "hatch/patterns.h"
#include "platform/message_box.h"
#include "view/qt/main_window.h"

#include <QAbstractButton>
#include <QApplication>
#include <QFileDialog>
#include <QFileInfo>
#include <QMenuBar>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPrinterInfo>
#include <QStatusBar>
#include <QTest>
#include <QTimer>
#include <QWheelEvent>

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <optional>

namespace {

namespace fs = std::filesystem;

constexpr double kNear = 1e-9;
using testsupport::kOneSquare;
using testsupport::kTwoSquares;

class ScreenViewTest : public testsupport::PageTest {
  protected:
    void SetUp() override {
        PageTest::SetUp();
        window.emplace([] {});
        window->resize(700, 900);
        window->Area().SetDrawingOpener(
            [](const std::string& file) { return driver::PrepareDrawing(file); });
    }

    void TearDown() override {
        window.reset();
        PageTest::TearDown();
    }

    std::string Write(const std::string& name, std::string_view bytes) {
        return folder.WriteChanged(name, bytes);
    }

    void OpenAndShow(const std::string& file) {
        window->Area().OpenDrawing(file);
        window->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&*window));
    }

    void AnswerBoxes() {
        platform::SetMessageSink([this](const platform::MessageRequest& request) {
            boxes.push_back(request);
            return platform::MessageAnswer::Ok;
        });
    }

    QAction& Command(const QString& caption) {
        for (QAction* menu : window->menuBar()->actions()) {
            for (QAction* item : menu->menu()->actions()) {
                if (item->text() == caption) return *item;
            }
        }
        throw std::runtime_error("no menu item " + caption.toStdString());
    }

    view::qt::Canvas& Canvas() { return window->ClientArea(); }

    void Mouse(QEvent::Type type, QPoint at, Qt::MouseButton button, Qt::MouseButtons held) {
        QMouseEvent event(type, at, Canvas().mapToGlobal(at), button, held, Qt::NoModifier);
        QApplication::sendEvent(&Canvas(), &event);
    }

    void Wheel(QPoint at, int angle) {
        QWheelEvent event(at, Canvas().mapToGlobal(at), QPoint(), QPoint(0, angle), Qt::NoButton,
                          Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(&Canvas(), &event);
    }

    static KqRect2 View() {
        KqRect2 world;
        kq_get_vport_world(builder::Session().ScreenHandle, builder::Session().ScreenViewport,
                           world);
        return world;
    }

    // Whether the window shows ink at the drawing point (x, y) inches.
    bool InkAt(double x, double y) {
        KqPoint2 from;
        double wx = 0, wy = 0;
        kq_get_world_pnt(builder::Session().ScreenHandle, 0, 0, from.x, from.y);
        kq_get_world_pnt(builder::Session().ScreenHandle, 100, 100, wx, wy);
        const double perInchX = 100 / (wx - from.x), perInchY = 100 / (wy - from.y);
        const QPoint pixel(static_cast<int>((x - from.x) * perInchX),
                           static_cast<int>((y - from.y) * perInchY));
        return qGray(Canvas().Picture()->pixel(pixel)) < 128;
    }

    std::string PointerText() { return window->PointerPlace().text().toStdString(); }

    static std::string PlaceText(const KqPoint2& world) {
        return QString("X %1 in   Y %2 in")
            .arg(world.x, 0, 'f', 3)
            .arg(world.y, 0, 'f', 3)
            .toStdString();
    }

    std::optional<view::qt::MainWindow> window;
    std::vector<platform::MessageRequest> boxes;
};

TEST_F(ScreenViewTest, OpenChoosesACommandFileAndTheTitleNamesIt) {
    OpenAndShow(Write("first.txt", kOneSquare));
    EXPECT_EQ(window->windowTitle(), "first.txt - Screen View");
    const std::string other = Write("B-3 log.txt", kTwoSquares);
    QTimer::singleShot(0, [&other] {
        auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        dialog->selectFile(QString::fromStdString(other));
        static_cast<QDialog*>(dialog)->accept();
    });
    Command("&Open...").trigger();
    EXPECT_EQ(window->windowTitle(), "B-3 log.txt - Screen View");
    EXPECT_EQ(window->Area().DrawingFile(), other);
    QApplication::processEvents();
    EXPECT_TRUE(InkAt(4.5, 1.5));
    EXPECT_TRUE(InkAt(1.5, 1.5));
}

// A file that the window opens or reloads and that is plainly no command
// file (here a DXF drawing saved over the log) is refused as the command
// line refuses it, in the window's box.
TEST_F(ScreenViewTest, AReloadRefusesAFileThatIsPlainlyNoCommandFile) {
    const std::string file = Write("log.txt", kOneSquare);
    OpenAndShow(file);
    Write("log.txt", "  0\r\nSECTION\r\n  0\r\nEOF\r\n");
    AnswerBoxes();
    window->Area().mnuReloadClick();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, "Run-time error '75': Path/File access error (" + file +
                                 ": is a DXF drawing, not a command file)");
}

TEST_F(ScreenViewTest, AFileWrittenAgainIsReloadedWithTheViewKept) {
    const std::string file = Write("log.txt", kOneSquare);
    OpenAndShow(file);
    Wheel(QPoint(300, 800), 2 * view::kWheelNotch);
    const KqRect2 zoomed = View();
    EXPECT_FALSE(InkAt(4.5, 1.5));

    Write("log.txt", kTwoSquares); // written in place
    ASSERT_TRUE(QTest::qWaitFor(
        [this] { return window->statusBar()->currentMessage().startsWith("Reloaded log.txt"); },
        5000));
    EXPECT_NEAR(View().x1, zoomed.x1, kNear);
    EXPECT_NEAR(View().y2, zoomed.y2, kNear);
    EXPECT_NEAR(View().x2 - View().x1, zoomed.x2 - zoomed.x1, kNear);
    QApplication::processEvents();
    ASSERT_GT(zoomed.x2, 4.6); // the second square is in view
    EXPECT_TRUE(InkAt(4.5, 1.5));

    // As editors save: a new file renamed over the old one.
    window->statusBar()->clearMessage();
    Write("log.new", kOneSquare);
    fs::rename(folder.Path() / "log.new", file);
    ASSERT_TRUE(QTest::qWaitFor(
        [this] { return window->statusBar()->currentMessage().startsWith("Reloaded log.txt"); },
        5000));
    EXPECT_NEAR(View().x1, zoomed.x1, kNear);
    EXPECT_EQ(window->Area().DrawingFile(), file);

    // And the watch goes on after the rename.
    window->statusBar()->clearMessage();
    Write("log.txt", kTwoSquares);
    EXPECT_TRUE(QTest::qWaitFor(
        [this] { return window->statusBar()->currentMessage().startsWith("Reloaded log.txt"); },
        5000));
}

// The pattern file is read again for every drawing: one that has become
// faulty leaves the patterns read before in use, a box says so, and the
// drawing is read all the same.
TEST_F(ScreenViewTest, AFaultyPatternFileOnReloadKeepsThePatternsReadBefore) {
    folder.Write("kqhatch.pat", "*FIRST\r\n1\r\n45,0,0,0,.1,0,0\r\n");
    const std::string file = Write("log.txt", kOneSquare);
    OpenAndShow(file);
    EXPECT_EQ(hatch::Patterns().PatternNames[1], "KQ_FIRST");

    folder.Write("kqhatch.pat", "*SECOND\r\n2\r\n45,0,0,0,.1,0,0\r\n");
    AnswerBoxes();
    window->Area().mnuReloadClick();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, "Run-time error '62': Input past end of file (kqhatch.pat line 4: "
                             "the file ends before the pattern's last line); the patterns read "
                             "before stay in use");
    EXPECT_EQ(hatch::Patterns().PatternNames[1], "KQ_FIRST");
    EXPECT_EQ(hatch::Patterns().PatternNames[2], "KQ_WELL_GROUT");
    QApplication::processEvents();
    EXPECT_TRUE(InkAt(1.5, 1.5));
    EXPECT_FALSE(window->IncompleteMark().isVisible());
}

TEST_F(ScreenViewTest, AnErrorNamesItsLineInTheBoxAndTheDrawingIsMarkedIncomplete) {
    const std::string file =
        Write("log.txt", std::string(kOneSquare) + "LR\t1\t2\t3\t4\t5\t6\t7\t8\t9\t\r\n");
    QString text, detail;
    QTimer::singleShot(0, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);
        text = box->text();
        detail = box->informativeText();
        box->button(QMessageBox::Ok)->click();
    });
    OpenAndShow(file);
    EXPECT_EQ(text.toStdString(), "Error 9 in DXF startdrawing.  Please contact Tarsel");
    const std::string where = "line 3 of " + file + " (Subscript out of range: a ninth field)";
    EXPECT_EQ(detail.toStdString(),
              "Stopped at " + where + ". The drawing shows what the lines before it built.");
    EXPECT_TRUE(window->IncompleteMark().isVisible());
    EXPECT_EQ(window->IncompleteMark().toolTip().toStdString(),
              "Incomplete drawing: stopped at " + where +
                  ". The drawing shows what the lines before it built.");
    EXPECT_TRUE(InkAt(1.5, 1.5)); // what the lines before it built
    // Said whole in a narrow window, on as many lines as it needs.
    window->resize(600, 700);
    QApplication::processEvents();
    const QLabel& mark = window->IncompleteMark();
    EXPECT_EQ(mark.text().toStdString(), "Incomplete drawing: stopped at " + where);
    EXPECT_LE(mark.geometry().right(), window->statusBar()->width());
    EXPECT_GT(mark.height(), mark.fontMetrics().height()); // wrapped: the path is long
    EXPECT_GE(mark.height(), mark.heightForWidth(mark.width()));

    Command("Zoom &Page").trigger(); // marked for as long as it is shown
    EXPECT_TRUE(window->IncompleteMark().isVisible());
    Write("log.txt", kOneSquare);
    ASSERT_TRUE(QTest::qWaitFor([this] { return !window->IncompleteMark().isVisible(); }, 5000));
}

TEST_F(ScreenViewTest, APointZoomsPromptGoesOnceDoneAndAnotherNoteStays) {
    OpenAndShow(Write("log.txt", kOneSquare));
    Command("Zoom &In").trigger();
    EXPECT_EQ(window->statusBar()->currentMessage().toStdString(),
              "Click the place to zoom (Esc cancels)");
    Mouse(QEvent::MouseButtonPress, QPoint(300, 400), Qt::LeftButton, Qt::LeftButton);
    Mouse(QEvent::MouseButtonRelease, QPoint(300, 400), Qt::LeftButton, Qt::NoButton);
    EXPECT_EQ(window->statusBar()->currentMessage(), "");

    window->statusBar()->showMessage("a note of the shell's");
    Wheel(QPoint(300, 400), 120); // the view changes, nothing is armed
    EXPECT_EQ(window->statusBar()->currentMessage(), "a note of the shell's");
}

TEST_F(ScreenViewTest, EscapeCancelsAnArmedZoomWindowAndItsPrompt) {
    OpenAndShow(Write("log.txt", kOneSquare));
    Command("Zoom &Window").trigger();
    EXPECT_EQ(window->statusBar()->currentMessage().toStdString(),
              "Drag a window around what to zoom into (Esc cancels)");
    EXPECT_EQ(Canvas().cursor().shape(), Qt::SizeAllCursor);
    QTest::keyClick(&Canvas(), Qt::Key_Escape);
    EXPECT_EQ(window->statusBar()->currentMessage(), "");
    EXPECT_EQ(Canvas().cursor().shape(), Qt::ArrowCursor);

    const KqRect2 before = View();
    Mouse(QEvent::MouseButtonPress, QPoint(100, 150), Qt::LeftButton, Qt::LeftButton);
    Mouse(QEvent::MouseMove, QPoint(300, 400), Qt::NoButton, Qt::LeftButton);
    Mouse(QEvent::MouseButtonRelease, QPoint(300, 400), Qt::LeftButton, Qt::NoButton);
    EXPECT_NEAR(View().x1, before.x1, kNear);
    EXPECT_NEAR(View().x2, before.x2, kNear);
}

TEST_F(ScreenViewTest, EscapeWipesABandBeingDragged) {
    OpenAndShow(Write("log.txt", kOneSquare));
    Command("Zoom &Window").trigger();
    Mouse(QEvent::MouseButtonPress, QPoint(100, 150), Qt::LeftButton, Qt::LeftButton);
    Mouse(QEvent::MouseMove, QPoint(300, 400), Qt::NoButton, Qt::LeftButton);
    EXPECT_LT(qGray(Canvas().Picture()->pixel(200, 150)), 128); // the band's top edge
    QTest::keyClick(&Canvas(), Qt::Key_Escape);
    EXPECT_EQ(qGray(Canvas().Picture()->pixel(200, 150)), 255);
    const KqRect2 before = View();
    Mouse(QEvent::MouseButtonRelease, QPoint(300, 400), Qt::LeftButton, Qt::NoButton);
    EXPECT_NEAR(View().y1, before.y1, kNear);
}

TEST_F(ScreenViewTest, TheWheelZoomsAGentleStepAboutThePointerAndAddsUpSmallTurns) {
    OpenAndShow(Write("log.txt", kOneSquare));
    const QPoint at(250, 300);
    Mouse(QEvent::MouseMove, at, Qt::NoButton, Qt::NoButton);
    const std::string placeBefore = PointerText();
    const double height = View().y2 - View().y1;
    Wheel(at, view::kWheelNotch);
    EXPECT_NEAR(View().y2 - View().y1, height / 1.2, 1e-6);
    Wheel(at, view::kWheelNotch / 12); // a touchpad's turns
    Wheel(at, view::kWheelNotch / 12);
    EXPECT_NEAR(View().y2 - View().y1, height / 1.2, 1e-6);
    Wheel(at, view::kWheelNotch / 12); // a quarter of a notch in all
    EXPECT_NEAR(View().y2 - View().y1, height / 1.2 / std::pow(1.2, 0.25), 1e-6);
    EXPECT_EQ(PointerText(), placeBefore); // the point under the pointer stays
}

TEST_F(ScreenViewTest, DraggingWithTheMiddleButtonPansAndThePointerPlaceFollows) {
    OpenAndShow(Write("log.txt", kOneSquare));
    const std::optional<KqPoint2> grabbed = window->Area().WorldAt(300, 400);
    Mouse(QEvent::MouseButtonPress, QPoint(300, 400), Qt::MiddleButton, Qt::MiddleButton);
    Mouse(QEvent::MouseMove, QPoint(200, 350), Qt::NoButton, Qt::MiddleButton);
    Mouse(QEvent::MouseButtonRelease, QPoint(200, 350), Qt::MiddleButton, Qt::NoButton);
    const std::optional<KqPoint2> under = window->Area().WorldAt(200, 350);
    ASSERT_TRUE(grabbed && under);
    EXPECT_NEAR(under->x, grabbed->x, 1e-9);
    EXPECT_NEAR(under->y, grabbed->y, 1e-9);
    EXPECT_EQ(PointerText(), PlaceText(*grabbed));
}

TEST_F(ScreenViewTest, ThePointerPlaceIsRightAfterEveryPanAndGoneWhenThePointerLeaves) {
    OpenAndShow(Write("log.txt", kOneSquare));
    const QPoint at(250, 300);
    Mouse(QEvent::MouseMove, at, Qt::NoButton, Qt::NoButton);
    const std::string before = PointerText();
    ASSERT_FALSE(before.empty());

    QTest::keyClick(&Canvas(), Qt::Key_PageDown); // half a view down, the pointer still
    const std::optional<KqPoint2> now = window->Area().WorldAt(at.x(), at.y());
    ASSERT_TRUE(now);
    EXPECT_EQ(PointerText(), PlaceText(*now));
    EXPECT_NE(PointerText(), before);

    Command("Zoom &Page").trigger();
    EXPECT_EQ(PointerText(), before);

    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(&Canvas(), &leave);
    EXPECT_EQ(PointerText(), "");
    QTest::keyClick(&Canvas(), Qt::Key_Right); // a pan with the pointer elsewhere
    EXPECT_EQ(PointerText(), "");
}

TEST_F(ScreenViewTest, APrintThatCannotBeWrittenSaysWhy) {
    if (!QPrinterInfo::availablePrinters().isEmpty()) GTEST_SKIP() << "a printer is installed";
    OpenAndShow(Write("log.txt", kOneSquare));
    AnswerBoxes();
    // The PDF's name in the temp folder is taken by a folder: the page cannot go there.
    const std::filesystem::path temp = folder.Path() / "temp";
    std::filesystem::create_directories(temp / "DO-DEZ Print.pdf");
    qputenv("TMPDIR", temp.c_str());
    Command("&Print").trigger();
    qunsetenv("TMPDIR");
    ASSERT_EQ(boxes.size(), 2u);
    const std::string saying = "No printer is available, and the page could not be saved as " +
                               (temp / "DO-DEZ Print.pdf").string() + ": ";
    EXPECT_EQ(boxes[1].text.rfind(saying, 0), 0u) << boxes[1].text;
    EXPECT_GT(boxes[1].text.size(), saying.size()) << "the reason is given";
}

} // namespace
