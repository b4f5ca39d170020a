#include "builder/session.h"

#include "builder/text.h"
#include "cadlib/kq.h"
#include "cadlib/testing.h"
#include "platform/printer.h"
#include "platform/window_handles.h"
#include "support/drawing_fixture.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using builder::Session;

namespace {

class SessionTest : public testsupport::DrawingTest {
  protected:
    std::vector<std::string> LayerNames() {
        std::vector<std::string> names;
        for (const auto& layer : Area().layers)
            names.push_back(layer.name);
        return names;
    }
    std::vector<std::string> ViewportNames() {
        std::vector<std::string> names;
        for (const auto& viewport : Area().viewports)
            names.push_back(viewport.name);
        return names;
    }
    std::vector<std::string> MessageTexts() {
        std::vector<std::string> texts;
        for (const auto& message : messages) {
            EXPECT_EQ(message.title, "DO-DEZ Message");
            texts.push_back(message.text);
        }
        return texts;
    }
};

using Names = std::vector<std::string>;

} // namespace

TEST_F(SessionTest, PortraitSessionBuildsEveryTable) {
    platform::RegisterMainWindow(0x4242);
    builder::OpenDrawingSession("P");
    EXPECT_TRUE(messages.empty());
    EXPECT_EQ(ScreenGlobals().window, 0x4242);
    EXPECT_EQ(ScreenGlobals().dataArea, Session().DataAreaHandle);
    EXPECT_EQ(Session().PageRect.x2, 8.5);
    EXPECT_EQ(Session().PageRect.y2, 11.0);
    EXPECT_EQ(ScreenGlobals().paper.x2, 8.5);

    EXPECT_EQ(LayerNames(), (Names{"0", "MAIN", "QFENCE", "BORDER"}));
    EXPECT_EQ(Area().layers[1].status, 128);
    EXPECT_EQ(Area().layers[1].colour, 0);
    EXPECT_EQ(ViewportNames(), (Names{"TOPVIEW", "3D270", "3D0", "3D90", "3D180"}));
    EXPECT_EQ(Area().viewports[1].boundary[0], 0.25);
    EXPECT_EQ(Area().viewports[1].view[1], -1.0);
    EXPECT_EQ(Area().viewports[4].view[6], 1000000.0);
    EXPECT_GE(Area().FindLineType("DASHDOT"), 0);
    EXPECT_GE(Area().FindLineType("DOT"), 0);
    const int style = Area().FindStyle("MYTEXT");
    ASSERT_GE(style, 0);
    EXPECT_EQ(Area().styles[style].trueTypeFont, "Comic Sans MS");
    EXPECT_EQ(Area().styles[style].primaryFont, "ROMAND");

    // TOPVIEW is current, active alone, and shows the page.
    EXPECT_EQ(Session().CurrentViewport, 1);
    EXPECT_EQ(Session().ScreenViewport, 1);
    ASSERT_EQ(ScreenGlobals().viewports.size(), 5u);
    EXPECT_TRUE(ScreenGlobals().viewports[0].active);
    EXPECT_FALSE(ScreenGlobals().viewports[1].active);
    EXPECT_EQ(ScreenGlobals().viewports[0].world.y2, 11.0);

    // White and black are fixed whatever the default palette holds.
    EXPECT_EQ(ScreenGlobals().palette[21].green, 1.0f);
    EXPECT_EQ(ScreenGlobals().palette[22].red, 0.0f);
    EXPECT_EQ(ScreenGlobals().palette[1].red, 1.0f); // others keep the defaults
    EXPECT_EQ(ScreenGlobals().fontPath, "c:\\zavaz60\\kqfont\\kqcad.ini");
    EXPECT_EQ(ScreenGlobals().layersVisibleByDefault, false);
    EXPECT_EQ(builder::Text().TextHeight, 0.15);

    const platform::PrinterSettings& printer = platform::DefaultPrinter();
    EXPECT_EQ(printer.orientation, 1);
    EXPECT_EQ(printer.pageHeight, 1100.0f);
    EXPECT_EQ(printer.pageWidth, 850.0f);
    EXPECT_EQ(printer.paperSetting, 5);
}

TEST_F(SessionTest, PaperCodesChooseThePage) {
    builder::OpenDrawingSession("L");
    EXPECT_EQ(Session().PageRect.x2, 11.0);
    EXPECT_EQ(Session().PageRect.y2, 8.5);
    EXPECT_EQ(platform::DefaultPrinter().orientation, 2);
    EXPECT_EQ(platform::DefaultPrinter().pageHeight, 850.0f);
    builder::OpenDrawingSession("T");
    EXPECT_EQ(Session().PageRect.x2, 17.0);
    EXPECT_EQ(platform::DefaultPrinter().pageWidth, 1700.0f);
    builder::OpenDrawingSession("l"); // not "L"
    EXPECT_EQ(Session().PageRect.x2, 8.5);
    EXPECT_EQ(platform::DefaultPrinter().orientation, 1);
}

TEST_F(SessionTest, SecondSessionPurgesTheFirstScreenFirst) {
    builder::OpenDrawingSession("P");
    const int32_t firstScreen = Session().ScreenHandle;
    const int32_t firstArea = Session().DataAreaHandle;
    std::vector<std::pair<std::string, int32_t>> purges;
    cadlib::testing::SetPurgeObserver(
        [&](const std::string& what, int32_t handle) { purges.emplace_back(what, handle); });
    builder::OpenDrawingSession("P");
    ASSERT_EQ(purges.size(), 2u);
    EXPECT_EQ(purges[0], std::make_pair(std::string("screen"), firstScreen));
    EXPECT_EQ(purges[1], std::make_pair(std::string("data area"), firstArea));
    EXPECT_EQ(cadlib::FindDataArea(firstArea), nullptr);
    EXPECT_NE(Session().ScreenHandle, 0);
    EXPECT_EQ(Area().layers.size(), 4u); // nothing of the old drawing survives
}

class ClosingTest : public SessionTest {
  protected:
    void SetUp() override {
        SessionTest::SetUp();
        cadlib::testing::SetPurgeObserver(
            [this](const std::string& what, int32_t handle) { purges.emplace_back(what, handle); });
    }
    std::vector<std::pair<std::string, int32_t>> purges;
};

TEST_F(ClosingTest, FreesTheDataAreaThenTheScreenOnceAndForgetsThem) {
    builder::OpenDrawingSession("P");
    const int32_t area = Session().DataAreaHandle, screen = Session().ScreenHandle;
    builder::CloseDrawingSession();
    EXPECT_EQ(purges, (std::vector<std::pair<std::string, int32_t>>{{"data area", area},
                                                                    {"screen", screen}}));
    EXPECT_EQ(Session().DataAreaHandle, 0);
    EXPECT_EQ(Session().ScreenHandle, 0);
    builder::CloseDrawingSession(); // nothing is freed twice
    EXPECT_EQ(purges.size(), 2u);
}

TEST_F(ClosingTest, ASessionWithoutDisplayFreesItsDataArea) {
    cadlib::testing::RefuseNextScreen();
    builder::OpenDrawingSession("P");
    builder::CloseDrawingSession();
    ASSERT_EQ(purges.size(), 1u);
    EXPECT_EQ(purges[0].first, "data area");
    EXPECT_EQ(Session().DataAreaHandle, 0);
}

TEST_F(SessionTest, RefusedDataAreaGivesOneMessageAndZeroHandles) {
    cadlib::testing::RefuseNextDataArea();
    builder::OpenDrawingSession("P");
    EXPECT_EQ(MessageTexts(), (Names{"Could Not Create DO-DEZ Data Area"}));
    EXPECT_EQ(Session().DataAreaHandle, 0);
    EXPECT_EQ(Session().ScreenHandle, 0);
    EXPECT_EQ(Session().CurrentViewport, 0); // SelectViewport ran with handle 0
    EXPECT_EQ(builder::Text().TextHeight, 0.15);
}

TEST_F(SessionTest, RefusedDisplayKeepsTheDataArea) {
    cadlib::testing::RefuseNextScreen();
    builder::OpenDrawingSession("P");
    EXPECT_EQ(MessageTexts(), (Names{"Could Not Create DO-DEZ View"}));
    EXPECT_NE(Session().DataAreaHandle, 0);
    EXPECT_EQ(Session().ScreenHandle, 0);
    EXPECT_EQ(LayerNames(), (Names{"0"})); // no tables were made
    EXPECT_EQ(builder::Text().TextHeight, 0.15);
}

TEST_F(SessionTest, RefusedMainLayerNamesTheFontTableAndTheRestIsMade) {
    cadlib::testing::RefuseTableEntry("MAIN");
    builder::OpenDrawingSession("P");
    EXPECT_EQ(MessageTexts(), (Names{"Could Not Create FONT Layer Table"}));
    EXPECT_EQ(LayerNames(), (Names{"0", "QFENCE", "BORDER"}));
}

TEST_F(SessionTest, RefusedViewportsReportTheirTables) {
    cadlib::testing::RefuseTableEntry("3D90");
    cadlib::testing::RefuseTableEntry("TOPVIEW");
    builder::OpenDrawingSession("P");
    EXPECT_EQ(MessageTexts(), (Names{"Could Not Create TOPVIEW VPORT Table",
                                     "Could Not Create 3DVIEW VPORT Table"}));
    EXPECT_EQ(ViewportNames(), (Names{"3D270", "3D0", "3D180"}));
    EXPECT_EQ(Session().CurrentViewport, 0);
}

TEST_F(SessionTest, RefusedStyleIsSilent) {
    cadlib::testing::RefuseTableEntry("MYTEXT");
    builder::OpenDrawingSession("P");
    EXPECT_TRUE(messages.empty());
    EXPECT_LT(Area().FindStyle("MYTEXT"), 0);
}

TEST_F(SessionTest, FontCommandKeepsOneUserStyle) {
    StartSession();
    std::string font = "Courier New";
    builder::SetTextFont(font);
    std::string none;
    builder::SetTextFont(none);
    int userStyles = 0;
    for (const auto& style : Area().styles)
        userStyles += style.name == "USERFONT";
    EXPECT_EQ(userStyles, 1);
    EXPECT_EQ(Area().styles[Area().FindStyle("USERFONT")].trueTypeFont, "");
    EXPECT_EQ(builder::Text().TextStyleName, "USERFONT");
}
