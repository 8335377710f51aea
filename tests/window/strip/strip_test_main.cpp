#include <gtest/gtest.h>

#include <QApplication>
#include <QByteArray>

// Widgets need an application object; without a display the tests run offscreen, which also
// lets the test discovery at build time list them.
int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", QByteArrayLiteral("offscreen"));
    }
    QApplication application(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
