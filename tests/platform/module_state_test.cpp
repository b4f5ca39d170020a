#include "platform/module_state.h"

#include "builder/lines.h"
#include "builder/path.h"
#include "builder/session.h"
#include "builder/text.h"
#include "cadlib/database.h"
#include "cadlib/kq.h"
#include "hatch/patterns.h"
#include "interpreter/command_file.h"
#include "interpreter/placement.h"
#include "platform/printer.h"
#include "support/module_reset.h"
#include "view/zoom_state.h"

#include <gtest/gtest.h>

using platform::StateScope;

namespace {

struct Marked {
    int mark = 0;
};
template <StateScope kScope>
int& MarkOf() {
    return platform::ModuleState<Marked, kScope>().mark;
}

TEST(ModuleStateTest, AResetPutsBackItsScopeAndTheNarrowerOnes) {
    const auto markAll = [] {
        MarkOf<StateScope::CommandFile>() = MarkOf<StateScope::Drawing>() =
            MarkOf<StateScope::Process>() = 1;
    };
    markAll();
    platform::ResetModuleStates(StateScope::CommandFile);
    EXPECT_EQ(MarkOf<StateScope::CommandFile>(), 0);
    EXPECT_EQ(MarkOf<StateScope::Drawing>(), 1);
    EXPECT_EQ(MarkOf<StateScope::Process>(), 1);

    markAll();
    platform::ResetModuleStates(StateScope::Drawing);
    EXPECT_EQ(MarkOf<StateScope::CommandFile>(), 0);
    EXPECT_EQ(MarkOf<StateScope::Drawing>(), 0);
    EXPECT_EQ(MarkOf<StateScope::Process>(), 1);

    markAll();
    platform::ResetModuleStates(StateScope::Process);
    EXPECT_EQ(MarkOf<StateScope::CommandFile>(), 0);
    EXPECT_EQ(MarkOf<StateScope::Drawing>(), 0);
    EXPECT_EQ(MarkOf<StateScope::Process>(), 0);
}

// Every module of the programs, moved off its start: a reset puts back those
// of its scope, and the next drawing or command file starts from them.
class ProgramModulesTest : public ::testing::Test {
  protected:
    void SetUp() override {
        testsupport::ResetAllModules();
        interpreter::Placement().ScaleX = 7;
        builder::Pen().PenWidth = 7;
        builder::Text().TextHeight = 7;
        builder::Path().PathCount = 7;
        hatch::Current().FillPatternName = "SAND";
        interpreter::Interpreter().ReportedError = 7;
        builder::Session().ScreenHandle = 7;
        view::Zoom().ZoomWindowMode = 1;
        hatch::Patterns().PatternFile = "kqhatch.pat";
        platform::DefaultPrinter().orientation = 2;
        libraryDataArea = kq_create_data_area();
    }
    void TearDown() override { testsupport::ResetAllModules(); }

    bool CommandFileStateAtStart() {
        return interpreter::Placement().ScaleX == 0 && builder::Pen().PenWidth == 0 &&
               builder::Text().TextHeight == 0 && builder::Path().PathCount == 0 &&
               hatch::Current().FillPatternName.empty();
    }
    bool DrawingStateAtStart() {
        return interpreter::Interpreter().ReportedError == 0 &&
               builder::Session().ScreenHandle == 0 && view::Zoom().ZoomWindowMode == 0;
    }
    bool ProcessStateAtStart() {
        return hatch::Patterns().PatternFile.empty() &&
               platform::DefaultPrinter().orientation == 1 &&
               cadlib::FindDataArea(libraryDataArea) == nullptr;
    }

    int32_t libraryDataArea = 0;
};

TEST_F(ProgramModulesTest, ACommandFileStartsFromThePlacementPenTextPathAndPattern) {
    platform::ResetModuleStates(StateScope::CommandFile);
    EXPECT_TRUE(CommandFileStateAtStart());
    EXPECT_EQ(interpreter::Interpreter().ReportedError, 7);
    EXPECT_EQ(builder::Session().ScreenHandle, 7); // the set-up frees it
    EXPECT_EQ(view::Zoom().ZoomWindowMode, 1);
}

TEST_F(ProgramModulesTest, ADrawingAlsoLeavesItsReportSessionAndZoom) {
    platform::ResetModuleStates(StateScope::Drawing);
    EXPECT_TRUE(CommandFileStateAtStart());
    EXPECT_TRUE(DrawingStateAtStart());
    // Read once for every drawing of a run.
    EXPECT_EQ(hatch::Patterns().PatternFile, "kqhatch.pat");
    EXPECT_EQ(platform::DefaultPrinter().orientation, 2);
    EXPECT_NE(cadlib::FindDataArea(libraryDataArea), nullptr);
}

TEST_F(ProgramModulesTest, AProcessResetPutsBackEveryModule) {
    platform::ResetModuleStates(StateScope::Process);
    EXPECT_TRUE(CommandFileStateAtStart());
    EXPECT_TRUE(DrawingStateAtStart());
    EXPECT_TRUE(ProcessStateAtStart());
}

} // namespace
