// The command file the window shows: opened, read again when it changes on
// disk with the view kept, and an interpretation that stopped at an error
// marked as such for as long as it is shown.
#include "view/draw_area_fixture.h"

#include "cadlib/testing.h"
#include "interpreter/command_file.h"
#include "platform/runtime_error.h"
#include "support/temp_folder.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>

namespace {

constexpr double kNear = 1e-9;
using testsupport::kOneSquare;
using testsupport::kTwoSquares;

class DrawingFileTest : public testsupport::DrawAreaTest {
  protected:
    void SetUp() override {
        DrawAreaTest::SetUp();
        area->SetDrawingOpener([this](const std::string& file) {
            ++opened;
            interpreter::StartDrawing(file);
            return interpreter::WhereInterpretationStopped();
        });
    }

    std::string Rewrite(const std::string& name, std::string_view bytes) {
        return folder.WriteChanged(name, bytes);
    }

    // Squares drawn: RFC makes two entities each (the area and its outline).
    size_t Drawn() { return Entities().size() / 2; }

    testsupport::TempFolder folder;
    int opened = 0;
};

TEST_F(DrawingFileTest, OpeningShowsTheWholePageOfTheNewFileInANewSession) {
    const std::string file = Rewrite("log.txt", kOneSquare);
    area->MouseWheel(3 * view::kWheelNotch, 100, 100);
    std::vector<std::string> purges;
    cadlib::testing::SetPurgeObserver(
        [&purges](const std::string& what, int32_t) { purges.push_back(what); });
    area->OpenDrawing(file);
    EXPECT_EQ(purges, (std::vector<std::string>{"data area", "screen"})); // the old session
    EXPECT_EQ(area->DrawingFile(), file);
    EXPECT_EQ(area->StoppedAt(), "");
    EXPECT_EQ(Drawn(), 1u);
    EXPECT_NEAR(View().y2 - View().y1, 11, kNear); // the page
    // Zoom Last has the page to go back to.
    area->MouseWheel(view::kWheelNotch, 100, 100);
    area->mnuZoomLastClick();
    EXPECT_NEAR(View().y2 - View().y1, 11, kNear);
}

TEST_F(DrawingFileTest, AChangedFileIsReadAgainOnceWithTheViewKept) {
    const std::string file = Rewrite("log.txt", kOneSquare);
    area->OpenDrawing(file);
    area->MouseWheel(2 * view::kWheelNotch, 300, 400);
    area->VScroll1.SetValue(51);
    const KqRect2 view = View();
    EXPECT_FALSE(area->ReloadIfChanged()); // nothing changed yet
    EXPECT_EQ(opened, 1);

    Rewrite("log.txt", kTwoSquares);
    surface.primitives.clear();
    EXPECT_TRUE(area->ReloadIfChanged());
    EXPECT_EQ(opened, 2);
    EXPECT_EQ(Drawn(), 2u);
    EXPECT_NEAR(View().x1, view.x1, kNear);
    EXPECT_NEAR(View().y1, view.y1, kNear);
    EXPECT_NEAR(View().x2, view.x2, kNear);
    EXPECT_NEAR(View().y2, view.y2, kNear);
    EXPECT_EQ(Refreshes(), 1);
    EXPECT_FALSE(area->ReloadIfChanged());
    EXPECT_EQ(opened, 2);
}

TEST_F(DrawingFileTest, AFileBeingReplacedIsReadWhenTheNewOneIsThere) {
    const std::string file = Rewrite("log.txt", kOneSquare);
    area->OpenDrawing(file);
    std::filesystem::remove(file); // an editor's save: the old file goes first
    EXPECT_FALSE(area->ReloadIfChanged());
    EXPECT_EQ(Drawn(), 1u);
    Rewrite("log.txt", kTwoSquares);
    EXPECT_TRUE(area->ReloadIfChanged());
    EXPECT_EQ(Drawn(), 2u);
}

TEST_F(DrawingFileTest, ReloadByCommandReadsTheSameFileAgain) {
    const std::string file = Rewrite("log.txt", kOneSquare);
    area->OpenDrawing(file);
    area->mnuReloadClick();
    EXPECT_EQ(opened, 2);
    EXPECT_EQ(Drawn(), 1u); // a fresh drawing, not the old one twice
}

TEST_F(DrawingFileTest, AnErrorNamesItsLineInTheBoxAndMarksTheDrawingUntilFixed) {
    const std::string file = Rewrite(
        "log.txt", std::string(kOneSquare) + "LR\t1\t2\t3\t4\t5\t6\t7\t8\t9\t\r\nLR\t600\t\r\n");
    area->OpenDrawing(file);
    const std::string where = "line 3 of " + file + " (Subscript out of range: a ninth field)";
    EXPECT_EQ(area->StoppedAt(), where);
    EXPECT_EQ(area->IncompleteMark(), "Incomplete drawing: stopped at " + where);
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].text, "Error 9 in DXF startdrawing.  Please contact Tarsel");
    EXPECT_EQ(messages[0].detail,
              "Stopped at " + where + ". The drawing shows what the lines before it built.");
    EXPECT_EQ(Drawn(), 1u);

    area->MouseWheel(view::kWheelNotch, 100, 100); // still marked while it is shown
    EXPECT_EQ(area->StoppedAt(), where);
    Rewrite("log.txt", kTwoSquares);
    EXPECT_TRUE(area->ReloadIfChanged());
    EXPECT_EQ(area->StoppedAt(), "");
    EXPECT_EQ(area->IncompleteMark(), "");
}

TEST_F(DrawingFileTest, AReloadByItselfOfAFaultyFileShowsNoBoxButMarksAndSaysSo) {
    const std::string stops = std::string(kOneSquare) + "LR\t1\t2\t3\t4\t5\t6\t7\t8\t9\t\r\n";
    const std::function<std::string(const std::string&)> raises = [](const std::string&) {
        platform::Raise(platform::kFileNotFound, "kqhatch.pat");
        return std::string();
    };
    for (const bool runTimeError : {false, true}) {
        const std::string file = Rewrite("log.txt", kOneSquare);
        area->OpenDrawing(file);
        if (runTimeError) area->SetDrawingOpener(raises);
        Rewrite("log.txt", stops);
        messages.clear();
        EXPECT_TRUE(area->ReloadIfChanged());
        EXPECT_TRUE(messages.empty()) << runTimeError;
        EXPECT_NE(area->IncompleteMark(), "") << runTimeError;
        EXPECT_EQ(area->ReloadNote("log.txt", "10:00:00"),
                  "Reloaded log.txt: it changed on disk (10:00:00); it stops at an error, no box "
                  "shown");
        area->mnuReloadClick(); // asked for: the box as ever
        EXPECT_EQ(messages.size(), 1u) << runTimeError;
    }
    // A box of a reading that did not stop is told in the note.
    area->SetDrawingOpener([](const std::string&) {
        platform::ShowMessage("the patterns read before stay in use", "");
        return std::string();
    });
    Rewrite("log.txt", kTwoSquares);
    messages.clear();
    EXPECT_TRUE(area->ReloadIfChanged());
    EXPECT_EQ(area->ReloadNote("log.txt", "10:00:00"),
              "Reloaded log.txt: it changed on disk (10:00:00); no box shown: the patterns read "
              "before stay in use");
    platform::ShowMessage("next", ""); // boxes are shown again after the reload
    EXPECT_EQ(messages.size(), 1u);
}

TEST_F(DrawingFileTest, OpenAsksForTheFileAndAMissingOneIsReportedNotFatal) {
    std::vector<std::string> offered = {Rewrite("other.txt", kTwoSquares),
                                        (folder.Path() / "gone.txt").string()};
    chooseCommandFile = [&offered]() -> std::optional<std::string> {
        std::string next = offered.front();
        offered.erase(offered.begin());
        return next;
    };
    area->mnuOpenClick();
    EXPECT_EQ(Drawn(), 2u);
    area->mnuOpenClick();
    const std::string gone = (folder.Path() / "gone.txt").string();
    EXPECT_EQ(area->StoppedAt().rfind(gone + " (File not found: " + gone, 0), 0u)
        << area->StoppedAt();
    EXPECT_EQ(messages.back().text, "Error 53 in DXF startdrawing.  Please contact Tarsel");
}

TEST_F(DrawingFileTest, ARunTimeErrorEndsTheStartButOnlyEmptiesTheWindowLater) {
    area->SetDrawingOpener([](const std::string&) -> std::string {
        platform::Raise(platform::kFileNotFound, "kqhatch.pat");
    });
    EXPECT_THROW(area->OpenDrawing("log.txt"), platform::RuntimeError);

    area->mnuReloadClick();
    EXPECT_EQ(builder::Session().ScreenHandle, 0);
    ASSERT_FALSE(messages.empty());
    const std::string report = "Run-time error '53': File not found (kqhatch.pat)";
    EXPECT_EQ(messages.back().text, report);
    EXPECT_EQ(area->StoppedAt(), report);
}

} // namespace
