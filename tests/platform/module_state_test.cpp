#include "platform/module_state.h"

#include "builder/lines.h"
#include "builder/path.h"
#include "builder/session.h"
#include "builder/text.h"
#include "cadlib/database.h"
#include "cadlib/geometry/hatch.h"
#include "cadlib/kq.h"
#include "cadlib/testing.h"
#include "hatch/patterns.h"
#include "interpreter/command_file.h"
#include "interpreter/placement.h"
#include "platform/printer.h"
#include "support/module_reset.h"
#include "view/zoom_state.h"

#include <gtest/gtest.h>

using platform::StateScope;

namespace {

// Every module of the programs moved off its start, and whether each scope's
// modules are back at it.
class ModuleStateTest : public ::testing::Test {
  protected:
    void SetUp() override { testsupport::ResetAllModules(); }
    void TearDown() override { testsupport::ResetAllModules(); }

    void MoveEveryModule() {
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
        dataArea = kq_create_data_area();
        cadlib::testing::SetMaxHatchWork(7);
    }
    bool AtStart(StateScope scope) {
        switch (scope) {
        case StateScope::CommandFile:
            return interpreter::Placement().ScaleX == 0 && builder::Pen().PenWidth == 0 &&
                   builder::Text().TextHeight == 0 && builder::Path().PathCount == 0 &&
                   hatch::Current().FillPatternName.empty();
        case StateScope::Drawing:
            return interpreter::Interpreter().ReportedError == 0 &&
                   builder::Session().ScreenHandle == 0 && view::Zoom().ZoomWindowMode == 0;
        case StateScope::Process:
            return hatch::Patterns().PatternFile.empty() &&
                   platform::DefaultPrinter().orientation == 1 &&
                   cadlib::FindDataArea(dataArea) == nullptr && cadlib::MaxHatchWork() == 1'000'000;
        }
        return false;
    }

    int32_t dataArea = 0;
};

TEST_F(ModuleStateTest, AResetPutsBackTheModulesOfItsScopeAndTheNarrowerOnes) {
    MoveEveryModule();
    platform::ResetModuleStates(StateScope::CommandFile);
    EXPECT_TRUE(AtStart(StateScope::CommandFile));
    EXPECT_EQ(interpreter::Interpreter().ReportedError, 7);
    EXPECT_EQ(builder::Session().ScreenHandle, 7); // the session set-up frees it
    EXPECT_EQ(view::Zoom().ZoomWindowMode, 1);

    MoveEveryModule();
    platform::ResetModuleStates(StateScope::Drawing);
    EXPECT_TRUE(AtStart(StateScope::CommandFile));
    EXPECT_TRUE(AtStart(StateScope::Drawing));
    EXPECT_EQ(hatch::Patterns().PatternFile, "kqhatch.pat"); // read once for every drawing
    EXPECT_EQ(platform::DefaultPrinter().orientation, 2);
    EXPECT_NE(cadlib::FindDataArea(dataArea), nullptr);
    EXPECT_EQ(cadlib::MaxHatchWork(), 7u);

    MoveEveryModule();
    platform::ResetModuleStates(StateScope::Process);
    EXPECT_TRUE(AtStart(StateScope::CommandFile));
    EXPECT_TRUE(AtStart(StateScope::Drawing));
    EXPECT_TRUE(AtStart(StateScope::Process));
}

} // namespace
