// A fresh drawing session for builder tests: the library and every module's
// state back at program start, message boxes captured, the session opened and
// the start state of a command file set.
#pragma once

#include "cadlib/database.h"
#include "platform/message_box.h"

#include <gtest/gtest.h>

#include <array>
#include <string>
#include <string_view>
#include <vector>

namespace testsupport {

class DrawingTest : public ::testing::Test {
  protected:
    void SetUp() override;
    void TearDown() override;

    // Opens the session and sets the start state a command file begins with
    // (origin and pen at 0, scales 600, Arial, 8 points, centred).
    void StartSession();

    cadlib::DataArea& Area();
    cadlib::Screen& ScreenGlobals();
    // Entities in drawing order.
    std::vector<const cadlib::Entity*> Entities();
    const cadlib::LineGeometry& LineOf(const cadlib::Entity& entity);
    const cadlib::TextGeometry& TextOf(const cadlib::Entity& entity);
    std::string TextContent(const cadlib::Entity& entity);
    // Start x, y and end x, y of a line entity.
    std::array<double, 4> LineEnds(const cadlib::Entity& entity);

    // Carries out one command file line ("LR\t600\t") as the interpreter does;
    // CommandError returns the run-time error number it raised, 0 when none.
    void Command(std::string_view line);
    int CommandError(std::string_view line);

    std::vector<platform::MessageRequest> messages;

  private:
    platform::MessageSink previousSink_;
};

} // namespace testsupport
