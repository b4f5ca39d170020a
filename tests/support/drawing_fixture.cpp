#include "support/drawing_fixture.h"
#include "support/module_reset.h"

#include "builder/lines.h"
#include "builder/session.h"
#include "builder/text.h"
#include "interpreter/command_file.h"
#include "interpreter/placement.h"
#include "platform/runtime_error.h"

namespace testsupport {

void DrawingTest::SetUp() {
    ResetAllModules();
    previousSink_ = platform::SetMessageSink([this](const platform::MessageRequest& request) {
        messages.push_back(request);
        return platform::MessageAnswer::Ok;
    });
}

void DrawingTest::TearDown() {
    platform::SetMessageSink(previousSink_);
    ResetAllModules();
}

void DrawingTest::StartSession() {
    builder::OpenDrawingSession("P");
    interpreter::Z(0, 0);
    interpreter::SV(600);
    interpreter::SH(600);
    std::string font = "Arial";
    builder::SetTextFont(font);
    builder::SetTextSize(8);
    builder::AlignTextCentre();
}

cadlib::DataArea& DrawingTest::Area() {
    cadlib::DataArea* area = cadlib::FindDataArea(builder::Session().DataAreaHandle);
    if (!area) throw std::runtime_error("no data area");
    return *area;
}

cadlib::Screen& DrawingTest::ScreenGlobals() {
    cadlib::Screen* screen = cadlib::FindScreen(builder::Session().ScreenHandle);
    if (!screen) throw std::runtime_error("no screen globals");
    return *screen;
}

std::vector<const cadlib::Entity*> DrawingTest::Entities() {
    std::vector<const cadlib::Entity*> result;
    for (uint32_t index : Area().order)
        result.push_back(&Area().entities[index]);
    return result;
}

const cadlib::LineGeometry& DrawingTest::LineOf(const cadlib::Entity& entity) {
    EXPECT_EQ(entity.kind, cadlib::EntityKind::Line);
    return Area().lines.at(entity.geometry);
}

const cadlib::TextGeometry& DrawingTest::TextOf(const cadlib::Entity& entity) {
    EXPECT_EQ(entity.kind, cadlib::EntityKind::Text);
    return Area().texts.at(entity.geometry);
}

std::string DrawingTest::TextContent(const cadlib::Entity& entity) {
    return std::string(Area().Text(TextOf(entity)));
}

std::array<double, 4> DrawingTest::LineEnds(const cadlib::Entity& entity) {
    const cadlib::LineGeometry& line = LineOf(entity);
    EXPECT_EQ(line.start.z, 0.0);
    EXPECT_EQ(line.end.z, 0.0);
    return {line.start.x, line.start.y, line.end.x, line.end.y};
}

void DrawingTest::Command(std::string_view line) {
    interpreter::SplitFields(line);
    interpreter::DispatchCommand();
}

int DrawingTest::CommandError(std::string_view line) {
    try {
        Command(line);
    } catch (const platform::RuntimeError& error) {
        return error.Number();
    }
    return 0;
}

} // namespace testsupport
