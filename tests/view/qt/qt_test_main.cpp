// The Qt rendering tests run with the offscreen platform: no display needed.
#include "view/qt/headless.h"

#include <gtest/gtest.h>

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    const view::qt::HeadlessGui gui(argc, argv);
    return RUN_ALL_TESTS();
}
