#include <gtest/gtest.h>

#include <QApplication>

// Widgets need one QApplication for the whole run. Without a display (test discovery
// runs the binary bare) the offscreen platform stands in.
int main(int argc, char* argv[]) {
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication application(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
