#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEvent>
#include <QLabel>
#include <QProgressBar>
#include <QTest>
#include <memory>
#include <string>

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

std::string StatusOfBlock(int block) {
    return "File n° " + std::to_string(block) + "  di  5000  in scrittura";
}

class HostRepaints : public ::testing::Test {
protected:
    void SetUp() override {
        m_window.show();
        m_host.CreateProgressBar();
        ASSERT_TRUE(m_host.ProgressBarCreated());
        QCoreApplication::processEvents();
        m_bar = m_window.findChild<QProgressBar*>(QStringLiteral("ProgBar"));
        ASSERT_NE(m_bar, nullptr);
    }
    void TearDown() override { m_host.RemoveProgressBar(); }

    QString Shown() const { return m_window.design().lblWorkProgress->text(); }

    ScriptedDialogs m_dialogs;
    SplittaFile m_window{m_dialogs};
    WindowHost& m_host = m_window.Host();
    QProgressBar* m_bar = nullptr;
};

TEST_F(HostRepaints, AtMostOncePerFrameWhateverTheBlocksReport) {
    PaintCounter barPaints(m_bar);
    PaintCounter labelPaints(m_window.design().lblWorkProgress);
    // Every block brings a new text and a new value: the worst case for the screen.
    QElapsedTimer elapsed;
    elapsed.start();
    constexpr int kBlocks = 5000;
    for (int block = 1; block <= kBlocks; ++block) {
        m_host.SetSplitStatus(StatusOfBlock(block));
        m_host.SetProgress(static_cast<std::int16_t>(block % 100));
        m_host.ProcessPendingEvents();
    }
    // No display refreshes faster than every 4 ms; the first block shows at once.
    const qint64 frames = elapsed.elapsed() / 4 + 2;
    EXPECT_LE(barPaints.paints, frames) << "in " << elapsed.elapsed() << " ms";
    EXPECT_LE(labelPaints.paints, frames) << "in " << elapsed.elapsed() << " ms";
    EXPECT_LT(labelPaints.paints, kBlocks / 10);

    // Within a frame the screen catches up with the last block, with no block to come.
    const QString last = QString::fromStdString(StatusOfBlock(kBlocks));
    EXPECT_TRUE(QTest::qWaitFor([&] { return Shown() == last; }, 1000));
    EXPECT_EQ(m_bar->value(), kBlocks % 100);
}

TEST_F(HostRepaints, NeverWhenNothingShownChanges) {
    m_host.SetSplitStatus(StatusOfBlock(1));
    m_host.SetProgress(7);
    ASSERT_TRUE(QTest::qWaitFor([&] { return m_bar->value() == 7 && !Shown().isEmpty(); }, 1000));
    PaintCounter barPaints(m_bar);
    PaintCounter labelPaints(m_window.design().lblWorkProgress);
    for (int block = 0; block < 100; ++block) {
        m_host.SetSplitStatus(StatusOfBlock(1));
        m_host.SetProgress(7);
    }
    QCoreApplication::processEvents();  // any paint that was only scheduled
    EXPECT_EQ(barPaints.paints, 0);
    EXPECT_EQ(labelPaints.paints, 0);
}

TEST_F(HostRepaints, AMessageFindsTheLastBlockOnScreen) {
    QString shownAtMessage;
    int valueAtMessage = -1;
    m_dialogs.OnMessage([&](const ScriptedDialogs::Message&) {
        shownAtMessage = Shown();
        valueAtMessage = m_bar->value();
    });
    for (int block = 1; block <= 50; ++block) {
        m_host.SetSplitStatus(StatusOfBlock(block));
        m_host.SetProgress(static_cast<std::int16_t>(block));
    }
    m_host.ShowMessage("fatto", MessageKind::Information);
    EXPECT_EQ(shownAtMessage.toStdString(), StatusOfBlock(50));
    EXPECT_EQ(valueAtMessage, 50);
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
