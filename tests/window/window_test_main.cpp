#include <gtest/gtest.h>

#include <QApplication>
#include <QTemporaryDir>

#include "remembered_choices.h"

namespace {

// Every test starts as a first run: nothing remembered from the one before.
class ForgetChoices final : public ::testing::EmptyTestEventListener {
    void OnTestStart(const ::testing::TestInfo& /*test*/) override {
        zirared::RememberedChoices().ForgetAll();
    }
};

}  // namespace

// Widgets need one QApplication for the whole run. Without a display (test discovery
// runs the binary bare) the offscreen platform stands in.
int main(int argc, char* argv[]) {
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    // Never the user's configuration; the windows started as child processes inherit this one.
    const QTemporaryDir configHome;
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(configHome.path()));
    QApplication application(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    ::testing::UnitTest::GetInstance()->listeners().Append(new ForgetChoices);
    return RUN_ALL_TESTS();
}
