// A fresh drawing session for builder tests: the library and every module's
// state back at program start, message boxes captured, the session opened and
// the start state of a command file set.
#pragma once

#include "cadlib/database.h"
#include "platform/message_box.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace testsupport {

// Puts every module's state back to its program-start values and purges the library.
void ResetAllModules();

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

    std::vector<platform::MessageRequest> messages;

private:
    platform::MessageSink previousSink_;
};

} // namespace testsupport
