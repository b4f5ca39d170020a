// The Qt tests run with the offscreen platform: no display needed. The
// application is a widget one, for the tests that drive the screen view. Qt's
// runtime folder is one in the build folder, also when the tests are only
// listed at build time: without one Qt makes /tmp/runtime-USER.
#include <QApplication>

#include <gtest/gtest.h>

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    if (qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR")) {
        qputenv("XDG_RUNTIME_DIR", PLOTDXF_QT_RUNTIME_DIR);
    }
    const QApplication application(argc, argv);
    return RUN_ALL_TESTS();
}
