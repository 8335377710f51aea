#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QEvent>
#include <QLabel>
#include <QProgressBar>
#include <memory>

#include "scripted_dialogs.h"
#include "splitta_file.h"
#include "window_host.h"

namespace zirared {
namespace {

// Counts the paints a widget receives.
class PaintCounter : public QObject {
public:
    explicit PaintCounter(QWidget* widget) { widget->installEventFilter(this); }
    int paints = 0;

protected:
    bool eventFilter(QObject* /*watched*/, QEvent* event) override {
        paints += event->type() == QEvent::Paint ? 1 : 0;
        return false;
    }
};

TEST(HostRepaints, OnlyWhenTheShownValueOrTextChanges) {
    ScriptedDialogs dialogs;
    SplittaFile window(dialogs);
    window.show();
    WindowHost host(window);
    host.CreateProgressBar();
    ASSERT_TRUE(host.ProgressBarCreated());
    QCoreApplication::processEvents();

    host.SetSplitStatus("File n° 1  di  3  in scrittura");
    host.SetProgress(7);
    QCoreApplication::processEvents();

    PaintCounter barPaints(window.findChild<QProgressBar*>(QStringLiteral("ProgBar")));
    PaintCounter labelPaints(window.design().lblWorkProgress);
    for (int block = 0; block < 10; ++block) {
        host.SetSplitStatus(block < 8 ? "File n° 1  di  3  in scrittura"
                                      : "File n° 2  di  3  in scrittura");
        host.SetProgress(static_cast<std::int16_t>(block < 5 ? 7 : 8));
    }
    EXPECT_EQ(barPaints.paints, 1) << "painted once, at once, when 7 became 8";
    EXPECT_EQ(labelPaints.paints, 1) << "painted once, at once, when the piece changed";
    host.RemoveProgressBar();
}

TEST(HostProgressBar, LiesUnderTheTabStripAndGoesWithTheWindow) {
    ScriptedDialogs dialogs;
    auto window = std::make_unique<SplittaFile>(dialogs);
    window->CreateProgressBar();
    ASSERT_TRUE(window->ProgBarCreated());
    auto* bar = window->findChild<QProgressBar*>(QStringLiteral("ProgBar"));
    ASSERT_NE(bar, nullptr);
    EXPECT_EQ(bar->geometry(), QRect(14, 192, 320, 15));
    window->Form_Unload();
    EXPECT_EQ(window->findChild<QProgressBar*>(QStringLiteral("ProgBar")), nullptr);
}

}  // namespace
}  // namespace zirared
