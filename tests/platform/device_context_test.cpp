// Device contexts: handles, state, mapping modes and the classic calls.
#include "platform/device_context.h"
#include "support/recording_surface.h"

#include <gtest/gtest.h>

namespace {

using namespace platform;
using testsupport::RecordedPrimitive;
using testsupport::RecordingSurface;
using Kind = RecordedPrimitive::Kind;

class DeviceContextTest : public ::testing::Test {
  protected:
    void SetUp() override { RegisterWindowSurface(window, &surface); }
    void TearDown() override { RegisterWindowSurface(window, nullptr); }

    WindowHandle window = CreateWindowHandle();
    RecordingSurface surface{400, 300};
};

TEST_F(DeviceContextTest, AWindowHandsOutContextsOntoItsSurfaceOnly) {
    const DeviceContextHandle dc = GetDC(window);
    ASSERT_NE(dc, 0);
    ASSERT_NE(FindDeviceContext(dc), nullptr);
    EXPECT_EQ(GetDC(CreateWindowHandle()), 0);
    EXPECT_EQ(GetDC(0), 0);
    EXPECT_EQ(ReleaseDC(CreateWindowHandle(), dc), 0); // not that window's
    EXPECT_EQ(ReleaseDC(window, dc), 1);
    EXPECT_EQ(FindDeviceContext(dc), nullptr);
    EXPECT_EQ(ReleaseDC(window, dc), 0);
}

TEST_F(DeviceContextTest, RemovingTheSurfaceEndsItsContexts) {
    const DeviceContextHandle dc = GetDC(window);
    RegisterWindowSurface(window, nullptr);
    EXPECT_EQ(FindDeviceContext(dc), nullptr);
    EXPECT_EQ(Rectangle(dc, 0, 0, 10, 10), 0);
    EXPECT_EQ(GetDC(window), 0);
}

TEST_F(DeviceContextTest, AnInvertingRectangleWithTheNullBrushOutlinesOnly) {
    const DeviceContextHandle dc = GetDC(window);
    const int32_t oldOp = SetROP2(dc, R2_NOT);
    EXPECT_EQ(oldOp, R2_COPYPEN);
    const ObjectHandle oldBrush = SelectObject(dc, GetStockObject(NULL_BRUSH));
    EXPECT_EQ(oldBrush, GetStockObject(WHITE_BRUSH)); // a fresh context's brush
    EXPECT_EQ(Rectangle(dc, 300, 200, 10, 20), 1);
    SelectObject(dc, oldBrush);
    SetROP2(dc, oldOp);
    Rectangle(dc, 0, 0, 5, 5);
    ReleaseDC(window, dc);

    ASSERT_EQ(surface.primitives.size(), 2u);
    const RecordedPrimitive& band = surface.primitives[0];
    EXPECT_EQ(band.kind, Kind::Polygon);
    EXPECT_EQ(band.state.rasterOp, R2_NOT);
    EXPECT_TRUE(band.state.brush.null);
    EXPECT_EQ(band.state.pen.width, 1);
    EXPECT_EQ(band.state.pen.colour, (Rgb{0, 0, 0}));
    ASSERT_EQ(band.points.size(), 4u);
    EXPECT_EQ(band.points[0].x, 300);
    EXPECT_EQ(band.points[2].y, 20);
    EXPECT_EQ(surface.primitives[1].state.rasterOp, R2_COPYPEN);
    EXPECT_FALSE(surface.primitives[1].state.brush.null);
}

TEST_F(DeviceContextTest, UnknownObjectsAndModesChangeNothing) {
    const DeviceContextHandle dc = GetDC(window);
    EXPECT_EQ(GetStockObject(3), 0);
    EXPECT_EQ(SelectObject(dc, 12345), 0);
    EXPECT_EQ(SetROP2(dc, 99), 0);
    EXPECT_EQ(SetMapMode(dc, 2), 0);
    EXPECT_EQ(SetMapMode(dc, MM_TEXT), MM_TEXT);
    EXPECT_EQ(SetROP2(0, R2_NOT), 0);
    ReleaseDC(window, dc);
}

TEST_F(DeviceContextTest, SavedStatesComeBackInOrder) {
    const DeviceContextHandle dc = GetDC(window);
    const int32_t first = SaveDC(dc);
    EXPECT_EQ(first, 1);
    SetROP2(dc, R2_NOT);
    SetMapMode(dc, MM_LOENGLISH);
    EXPECT_EQ(SaveDC(dc), 2);
    SetROP2(dc, R2_COPYPEN);
    EXPECT_EQ(RestoreDC(dc, -1), 1);
    EXPECT_EQ(SetROP2(dc, R2_NOT), R2_NOT);
    EXPECT_EQ(RestoreDC(dc, first), 1);
    EXPECT_EQ(SetMapMode(dc, MM_TEXT), MM_TEXT);
    EXPECT_EQ(SetROP2(dc, R2_COPYPEN), R2_COPYPEN);
    EXPECT_EQ(RestoreDC(dc, 1), 0); // nothing saved any more
    ReleaseDC(window, dc);
}

TEST_F(DeviceContextTest, LowEnglishUnitsAreHundredthsOfAnInchWithYUp) {
    RecordingSurface paper(5100, 6600, 600);
    const DeviceContextHandle dc = CreateDeviceContext(paper);
    DeviceContext& context = *FindDeviceContext(dc);
    EXPECT_EQ(GetDeviceCaps(dc, LOGPIXELSX), 600);
    EXPECT_EQ(GetDeviceCaps(dc, HORZRES), 5100);
    SetMapMode(dc, MM_LOENGLISH);
    Pen pen;
    pen.width = 2;
    pen.dashes = {10, 5};
    context.SetPen(pen);
    const LogicalPoint line[] = {{100, -100}, {200, -150}};
    context.Polyline(line);
    TextFont font;
    font.height = 20;
    context.Text({100, -100}, "x", font);
    context.SetClip(LogicalRect{0, 0, 850, -1100});
    context.Polyline(line);

    ASSERT_EQ(paper.primitives.size(), 3u);
    const RecordedPrimitive& drawn = paper.primitives[0];
    EXPECT_EQ(drawn.points[0].x, 600);
    EXPECT_EQ(drawn.points[0].y, 600);
    EXPECT_EQ(drawn.points[1].y, 900);
    EXPECT_EQ(drawn.state.pen.width, 12);
    EXPECT_EQ(drawn.state.pen.dashes, (std::vector<double>{60, 30}));
    EXPECT_EQ(paper.primitives[1].font.height, 120);
    ASSERT_TRUE(paper.primitives[2].state.clip.has_value());
    EXPECT_EQ(*paper.primitives[2].state.clip, (DeviceRect{0, 0, 5100, 6600}));
    EXPECT_EQ(DeleteDC(dc), 1);
    EXPECT_EQ(DeleteDC(dc), 0);
}

TEST_F(DeviceContextTest, PrintJobCallsReachTheSurface) {
    const DeviceContextHandle dc = CreateDeviceContext(surface);
    DOCINFOA info;
    info.cbSize = 10;
    info.lpszDocName = "DO-DEZ Print";
    EXPECT_GT(StartDocA(dc, info), 0);
    EXPECT_GT(StartPage(dc), 0);
    EXPECT_GT(EndPage(dc), 0);
    EXPECT_GT(EndDoc(dc), 0);
    EXPECT_EQ(surface.documentCalls,
              (std::vector<std::string>{"StartDocument DO-DEZ Print", "StartPage", "EndPage",
                                        "EndDocument"}));
    EXPECT_EQ(StartPage(0), 0);
    DeleteDC(dc);
}

TEST(TextLineTest, TextIsDecodedToUnicodeOnOneLine) {
    EXPECT_EQ(DecodeTextLine("A\u20AC\u00B0\u201Cz\u00E9\U0001F600"),
              u"A\u20AC\u00B0\u201Cz\u00E9\U0001F600");
    EXPECT_EQ(DecodeTextLine("a\tb\r\nc\x7F\u0081"), u"a b  c  ");
    EXPECT_EQ(DecodeTextLine("broken \xE9 byte"), u"broken \uFFFD byte");
}

} // namespace

namespace {

// A dot of a wide pen is painted a pen width long: a line cut anywhere must
// go on in the period the painter draws, or its dots slide.
TEST(DashPeriodTest, AWidePensDotsCountAPenWidthAThinPensNothing) {
    platform::Pen pen;
    pen.dashes = {6, 3, 0, 3};
    pen.width = 1;
    EXPECT_EQ(platform::DashPeriod(pen), 12);
    pen.width = 4;
    EXPECT_EQ(platform::DashPeriod(pen), 16);
    pen.dashes.clear();
    EXPECT_EQ(platform::DashPeriod(pen), 0);
}

} // namespace
