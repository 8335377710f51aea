#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QRandomGenerator>
#include <QScrollBar>
#include <QStringList>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <functional>
#include <ostream>
#include <string>

#include "drop_event.h"
#include "piece_bytes.h"
#include "print_row.h"
#include "scripted_dialogs.h"
#include "splitta_file.h"
#include "tab_container.h"

namespace zirared {
namespace {

using test::PrintTo;

constexpr qint64 kPieceData = 1400 * 1024;  // slider at 1
const QString kBusyRefusal = QStringLiteral("Attendere la fine dell'operazione in corso.");
const QString kStopped = QStringLiteral("Operazione terminata volontariamente");

QByteArray RandomBytes(qsizetype size) {
    QByteArray bytes(size, Qt::Uninitialized);
    QRandomGenerator generator(size);
    for (char& byte : bytes) {
        byte = static_cast<char>(generator.bounded(256));
    }
    return bytes;
}

void WriteFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly)) << path.toStdString();
    ASSERT_EQ(file.write(bytes), bytes.size());
}

QByteArray ReadFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QString PiecePath(const QString& source, int index) {
    return source.left(source.size() - 3) + QStringLiteral("%1").arg(index, 3, 10, QChar(u'0'));
}

// Runs `action` at the operation's first pass over pending events.
void DuringOperation(std::function<void()> action) {
    QTimer::singleShot(0, std::move(action));
}

class WindowOperations : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_dir.isValid());
        m_source = m_dir.filePath(QStringLiteral("dati.bin"));
        m_data = RandomBytes(2 * kPieceData + 12345);  // three pieces at 1400 KB
        WriteFile(m_source, m_data);
        m_window.show();
    }

    void ExpectIdle() {
        const SplittaFileDesign& d = m_window.design();
        EXPECT_FALSE(d.cmdOpen[0]->isHidden());
        EXPECT_TRUE(d.HScroll1->isEnabled());
        EXPECT_TRUE(d.cmdStop->isHidden());
        EXPECT_TRUE(d.cmdOpen[1]->isEnabled());
        EXPECT_TRUE(d.chkKillFile->isEnabled());
        EXPECT_EQ(m_window.findChild<QProgressBar*>(QStringLiteral("ProgBar")), nullptr);
        EXPECT_FALSE(m_window.OperationActive());
    }

    void SplitThroughWindow() {
        m_dialogs.QueueFile(m_source);
        m_window.design().cmdOpen[0]->click();
    }

    QTemporaryDir m_dir;
    QString m_source;
    QByteArray m_data;
    ScriptedDialogs m_dialogs;
    SplittaFile m_window{m_dialogs};
};

TEST_F(WindowOperations, SplitThenAssemblyGiveBackTheFileByteForByte) {
    const SplittaFileDesign& d = m_window.design();
    QRect barGeometry;
    int barValue = -1;
    m_dialogs.OnMessage([&](const ScriptedDialogs::Message& message) {
        if (message.kind != MessageKind::Question) {  // the completion message is open
            if (auto* bar = m_window.findChild<QProgressBar*>(QStringLiteral("ProgBar"))) {
                barGeometry = bar->geometry();
                barValue = bar->value();
            }
        }
    });

    SplitThroughWindow();

    EXPECT_TRUE(m_dialogs.Shown(
        QStringLiteral("Il file: ") + m_source + QStringLiteral("\né stato diviso in 3 files."),
        MessageKind::Information));
    EXPECT_EQ(d.lblWorkProgress->text(), QStringLiteral("Terminato: sono stati creati n° 3 files"));
    EXPECT_EQ(barGeometry, QRect(14, 192, 320, 15)) << "under the tab container, as wide";
    EXPECT_EQ(barValue, 100);
    EXPECT_EQ(QFileInfo(PiecePath(m_source, 0)).size(), 16 + kPieceData) << "slider 1: 1400 KB";
    EXPECT_TRUE(QFileInfo::exists(PiecePath(m_source, 2)));
    ExpectIdle();

    ASSERT_TRUE(QFile::rename(m_source, m_source + QStringLiteral(".orig")));
    d.chkKillFile->setChecked(true);
    m_dialogs.QueueFile(PiecePath(m_source, 0));
    d.cmdOpen[1]->click();  // the delete question takes its default, Yes

    EXPECT_EQ(ReadFile(m_source), m_data);
    EXPECT_TRUE(d.lblWorkProgress1->text().isEmpty());
    for (int i = 0; i < 3; ++i) {
        EXPECT_FALSE(QFileInfo::exists(PiecePath(m_source, i))) << i;
    }
    ExpectIdle();
}

// Pieces of 41 units, past the slider, as zirared-cli --size writes them; mostly a hole.
TEST_F(WindowOperations, AssemblyTakesPiecesLargerThanTheSliderGives) {
    const QString source = m_dir.filePath(QStringLiteral("grande.img"));
    WriteFile(PiecePath(source, 0), QByteArray::fromStdString(test::PieceHeader(0, 2, "img")));
    ASSERT_TRUE(QFile::resize(PiecePath(source, 0), 16 + 41 * kPieceData));
    WriteFile(PiecePath(source, 1),
              QByteArray::fromStdString(test::PieceHeader(1, 2, "img")) + m_data);
    m_dialogs.QueueFile(PiecePath(source, 0));
    m_window.design().cmdOpen[1]->click();
    EXPECT_TRUE(ReadFile(source) == QByteArray(41 * kPieceData, '\0') + m_data);
    ExpectIdle();
}

// The list a split --hash would write, made here with Qt's own SHA-256.
QByteArray ListFor(const QStringList& paths) {
    QByteArray list;
    for (const QString& path : paths) {
        list += QCryptographicHash::hash(ReadFile(path), QCryptographicHash::Sha256).toHex() +
                "  " + QFileInfo(path).fileName().toUtf8() + "\n";
    }
    return list;
}

TEST_F(WindowOperations, AssemblyVerifiesAgainstAListOrAsksToGoOnWithoutAnUnusableOne) {
    SplitThroughWindow();
    const QString list = m_source + QStringLiteral(".sha256");
    const QStringList pieces = {PiecePath(m_source, 0), PiecePath(m_source, 1),
                                PiecePath(m_source, 2)};
    WriteFile(list, ListFor(pieces + QStringList{m_source}));
    ASSERT_TRUE(QFile::remove(m_source));

    m_dialogs.QueueFile(pieces[0]);
    m_window.design().cmdOpen[1]->click();
    EXPECT_EQ(ReadFile(m_source), m_data);
    EXPECT_TRUE(m_dialogs.Shown(QStringLiteral("Il file ") + m_source +
                                    QStringLiteral("\nè stato riassemblato correttamente.\n"
                                                   "Il contenuto è stato verificato con il file ") +
                                    list + u'.',
                                MessageKind::Information));
    ASSERT_TRUE(QFile::remove(m_source));

    WriteFile(list, ListFor(pieces));  // no line for the rebuilt file
    m_dialogs.QueueFile(pieces[0]);
    m_dialogs.QueueAnswer(Answer::No);
    m_window.design().cmdOpen[1]->click();
    ASSERT_FALSE(m_dialogs.messages().empty());
    EXPECT_EQ(m_dialogs.messages().back().kind, MessageKind::Question);
    EXPECT_TRUE(m_dialogs.messages().back().text.contains(list));
    EXPECT_TRUE(m_dialogs.messages().back().text.endsWith(
        QStringLiteral("Riassemblare il file senza verifica?")));
    EXPECT_FALSE(QFileInfo::exists(m_source)) << "declined: nothing written";
    ExpectIdle();
}

TEST_F(WindowOperations, PathLongerThan249CharactersIsUsedWhole) {
    const QString directory = m_dir.filePath(QString(120, u'a') + u'/' + QString(120, u'b'));
    ASSERT_TRUE(QDir().mkpath(directory));
    const QString source = directory + QStringLiteral("/lungo.bin");
    ASSERT_GT(source.size(), 249);
    WriteFile(source, RandomBytes(kPieceData + 1));
    m_dialogs.QueueFile(source);

    m_window.design().cmdOpen[0]->click();

    EXPECT_EQ(QFileInfo(PiecePath(source, 1)).size(), 16 + 1);
}

// Escape is the keyboard's way to the Stop button ("Annulla"); Enter clicks it when it has the
// focus, which it takes from the open button it replaces.
enum class StopWay { StopButton, EscapeKey, EnterOnStop };

struct StopCase {
    const char* why;
    bool join;
    StopWay way;
    Qt::Key start;  // on the focused open button: Enter, keypad Enter and Space all click it
    Qt::KeyboardModifiers startModifiers = {};
};

class StopDuringAnOperation : public WindowOperations,
                              public ::testing::WithParamInterface<StopCase> {};

// Started from the keyboard: a split stopped deletes its pieces; a join stopped leaves
// the old file and the pieces as they were, and no temporary file. The focus is then back on the
// open button.
TEST_P(StopDuringAnOperation, LeavesTheFolderAsItWasAndTheFocusWhereItWas) {
    const StopCase& c = GetParam();
    const SplittaFileDesign& d = m_window.design();
    if (c.join) {
        SplitThroughWindow();
        WriteFile(m_source, "the old file");
        m_dialogs.QueueAnswer(Answer::Yes);  // "esiste già! Sovrascrivere il file?"
    }
    const QStringList namesBefore = QDir(m_dir.path()).entryList(QDir::Files | QDir::Hidden);
    QApplication::setActiveWindow(&m_window);
    const int page = c.join ? 1 : 0;
    ShowPage(*d.picTabContainer, page);
    d.cmdOpen[page]->setFocus(Qt::TabFocusReason);
    bool busyWhileRunning = false;
    DuringOperation([&] {
        busyWhileRunning =
            !d.cmdStop->isHidden() && d.cmdOpen[0]->isHidden() && !d.HScroll1->isEnabled();
        switch (c.way) {
            case StopWay::StopButton:  // on the split page, whichever page is shown
                QTest::mouseClick(d.cmdStop, Qt::LeftButton);
                break;
            case StopWay::EscapeKey:
                QTest::keyClick(&m_window, Qt::Key_Escape);
                break;
            case StopWay::EnterOnStop:
                QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
                break;
        }
    });

    m_dialogs.QueueFile(c.join ? PiecePath(m_source, 0) : m_source);
    QTest::keyClick(d.cmdOpen[page], c.start, c.startModifiers);

    EXPECT_TRUE(busyWhileRunning);
    EXPECT_TRUE(m_dialogs.Shown(kStopped, MessageKind::Information));
    EXPECT_EQ(QDir(m_dir.path()).entryList(QDir::Files | QDir::Hidden), namesBefore);
    if (c.join) {
        EXPECT_EQ(ReadFile(m_source), QByteArray("the old file"));
    }
    EXPECT_TRUE(d.lblWorkProgress->text().isEmpty());
    ExpectIdle();
    EXPECT_TRUE(d.cmdOpen[page]->hasFocus());
}

INSTANTIATE_TEST_SUITE_P(
    Ways, StopDuringAnOperation,
    ::testing::Values(
        StopCase{"SplitByStopButton", false, StopWay::StopButton, Qt::Key_Return},
        StopCase{"SplitByEscape", false, StopWay::EscapeKey, Qt::Key_Enter, Qt::KeypadModifier},
        StopCase{"SplitByEnterOnStop", false, StopWay::EnterOnStop, Qt::Key_Space},
        StopCase{"JoinByStopButton", true, StopWay::StopButton, Qt::Key_Return},
        StopCase{"JoinByEscape", true, StopWay::EscapeKey, Qt::Key_Enter, Qt::KeypadModifier}),
    [](const auto& info) { return info.param.why; });

// What the user chose comes back at the next start: each chooser's folder, and the size.
TEST_F(WindowOperations, TheNextRunStartsFromTheLastChoices) {
    QTemporaryDir elsewhere;  // the assemble chooser's folder
    const QString notAPiece = elsewhere.filePath(QStringLiteral("nota.000"));
    WriteFile(notAPiece, "not a piece");
    {
        ScriptedDialogs dialogs;
        SplittaFile first(dialogs);
        QTest::keyClick(first.design().HScroll1, Qt::Key_End);
        dialogs.QueueFile(m_source);  // too small for 40 units: refused
        first.design().cmdOpen[0]->click();
        dialogs.QueueFile(notAPiece);  // refused too
        first.design().cmdOpen[1]->click();
    }
    ScriptedDialogs dialogs;
    SplittaFile next(dialogs);
    next.design().cmdOpen[0]->click();
    next.design().cmdOpen[1]->click();
    ASSERT_TRUE(elsewhere.remove());
    next.design().cmdOpen[1]->click();

    EXPECT_EQ(next.design().HScroll1->value(), 40);
    ASSERT_EQ(dialogs.fileRequests().size(), 3U);
    EXPECT_EQ(dialogs.fileRequests()[0].initialDirectory, m_dir.path());
    EXPECT_EQ(dialogs.fileRequests()[1].initialDirectory, elsewhere.path());
    EXPECT_TRUE(dialogs.fileRequests()[2].initialDirectory.isEmpty()) << "a folder that is gone";
    EXPECT_TRUE(QFileInfo::exists(qEnvironmentVariable("XDG_CONFIG_HOME") +
                                  QStringLiteral("/zirared/zirared.conf")));
}

TEST_F(WindowOperations, EscapeWhileIdleStartsAndStopsNothing) {
    QApplication::setActiveWindow(&m_window);
    QTest::keyClick(&m_window, Qt::Key_Escape);
    EXPECT_TRUE(m_dialogs.messages().empty());
    EXPECT_TRUE(m_window.isVisible());
    ExpectIdle();
    SplitThroughWindow();
    EXPECT_TRUE(QFileInfo::exists(PiecePath(m_source, 2))) << "an earlier Escape stopped a split";
}

enum class SecondAction {
    SplitButton,
    AssembleButton,
    DropOnSplitPage,
    DropOnAssemblePage,
    HandedOver  // a file from the command line of a second start
};

struct GuardCase {
    const char* why;
    int firstPage;
    SecondAction second;
};

class SecondOperationGuard : public WindowOperations,
                             public ::testing::WithParamInterface<GuardCase> {};

TEST_P(SecondOperationGuard, IsRefusedAndTheRunningOneCompletes) {
    const GuardCase& c = GetParam();
    const SplittaFileDesign& d = m_window.design();
    if (c.firstPage == 1) {
        SplitThroughWindow();
        ASSERT_TRUE(QFile::rename(m_source, m_source + QStringLiteral(".orig")));
    }
    const auto requestsBefore = m_dialogs.fileRequests().size();
    const QList<QUrl> other{QUrl::fromLocalFile(m_dir.filePath(QStringLiteral("altro.bin")))};
    WriteFile(other[0].toLocalFile(), RandomBytes(2 * kPieceData));
    DuringOperation([&] {
        switch (c.second) {
            case SecondAction::SplitButton:
                d.cmdOpen[0]->click();
                break;
            case SecondAction::AssembleButton:
                d.cmdOpen[1]->click();
                break;
            // A drop is handled from the event loop: delivered here, while the first
            // operation is surely still running, however few event passes it has left.
            case SecondAction::DropOnSplitPage:
                Drop(d.pictab[0], other);
                QCoreApplication::processEvents();
                break;
            case SecondAction::DropOnAssemblePage:
                Drop(d.pictab[1], other);
                QCoreApplication::processEvents();
                break;
            case SecondAction::HandedOver:
                m_window.OpenAsDropped(QFile::encodeName(other[0].toLocalFile()));
                break;
        }
    });

    m_dialogs.QueueFile(c.firstPage == 0 ? m_source : PiecePath(m_source, 0));
    d.cmdOpen[c.firstPage]->click();

    EXPECT_TRUE(m_dialogs.Shown(kBusyRefusal, MessageKind::Information));
    EXPECT_EQ(m_dialogs.fileRequests().size(), requestsBefore + 1) << "no second dialog";
    EXPECT_FALSE(QFileInfo::exists(m_dir.filePath(QStringLiteral("altro.000"))));
    if (c.firstPage == 0) {
        EXPECT_TRUE(QFileInfo::exists(PiecePath(m_source, 2)));
    } else {
        EXPECT_EQ(ReadFile(m_source), m_data);
    }
    ExpectIdle();
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SecondOperationGuard,
    ::testing::Values(
        // The assemble chooser stays clickable while a split lets events through.
        GuardCase{"AssembleChooserDuringSplit", 0, SecondAction::AssembleButton},
        // The split chooser stays visible while an assembly lets events through.
        GuardCase{"SplitChooserDuringAssembly", 1, SecondAction::SplitButton},
        GuardCase{"DropDuringSplit", 0, SecondAction::DropOnAssemblePage},
        GuardCase{"DropDuringAssembly", 1, SecondAction::DropOnSplitPage},
        GuardCase{"HandedOverDuringSplit", 0, SecondAction::HandedOver},
        GuardCase{"HandedOverDuringAssembly", 1, SecondAction::HandedOver}),
    [](const auto& info) { return info.param.why; });

TEST_F(WindowOperations, ClosingDuringASplitStopsItThenClosesWithoutDestroyingTheWindow) {
    bool closedAtOnce = true;
    DuringOperation([&] { closedAtOnce = m_window.close(); });

    SplitThroughWindow();

    EXPECT_FALSE(closedAtOnce) << "the window must outlive the running split";
    EXPECT_TRUE(m_dialogs.Shown(kStopped, MessageKind::Information));
    EXPECT_FALSE(QFileInfo::exists(PiecePath(m_source, 0)));
    EXPECT_FALSE(m_window.isVisible()) << "closed once the split has returned";
    EXPECT_EQ(m_window.findChild<QProgressBar*>(QStringLiteral("ProgBar")), nullptr);
}

TEST_F(WindowOperations, ClosingDuringAnAssemblyLetsItFinishThenCloses) {
    SplitThroughWindow();
    ASSERT_TRUE(QFile::rename(m_source, m_source + QStringLiteral(".orig")));
    bool closedAtOnce = true;
    DuringOperation([&] { closedAtOnce = m_window.close(); });

    m_dialogs.QueueFile(PiecePath(m_source, 0));
    m_window.design().cmdOpen[1]->click();

    EXPECT_FALSE(closedAtOnce);
    EXPECT_EQ(ReadFile(m_source), m_data);
    EXPECT_FALSE(m_window.isVisible());
}

// A logout or a kill during an assembly: the old file stays whole, nothing unfinished is
// left, nothing is asked, and the window closes.
TEST_F(WindowOperations, EndingTheProcessDuringAnAssemblyKeepsTheOldFile) {
    SplitThroughWindow();
    WriteFile(m_source, "the old file");
    const int messagesBefore = static_cast<int>(m_dialogs.messages().size());
    DuringOperation([&] { m_window.EndNow(); });

    m_dialogs.QueueAnswer(Answer::Yes);  // "esiste già! Sovrascrivere il file?"
    m_dialogs.QueueFile(PiecePath(m_source, 0));
    m_window.design().cmdOpen[1]->click();

    EXPECT_EQ(ReadFile(m_source), QByteArray("the old file"));
    EXPECT_EQ(QDir(m_dir.path()).entryList(QDir::Files | QDir::Hidden).size(), 4)
        << "the three pieces and the old file, no temporary file";
    EXPECT_EQ(static_cast<int>(m_dialogs.messages().size()), messagesBefore + 1)
        << "only the overwrite question";
    EXPECT_FALSE(m_window.isVisible());
}

TEST_F(WindowOperations, OneFileDroppedOnAPageStartsThatPagesOperation) {
    const SplittaFileDesign& d = m_window.design();
    d.lblWorkProgress1->setText(QStringLiteral("vecchio"));
    Drop(d.pictab[0], {QUrl::fromLocalFile(m_source)});
    EXPECT_TRUE(QTest::qWaitFor([&] { return QFileInfo::exists(PiecePath(m_source, 2)); }, 10000));
    EXPECT_TRUE(d.lblWorkProgress1->text().isEmpty()) << "labels cleared as by the chooser";

    ASSERT_TRUE(QFile::rename(m_source, m_source + QStringLiteral(".orig")));
    ShowPage(*d.picTabContainer, 1);
    Drop(d.pictab[1], {QUrl::fromLocalFile(PiecePath(m_source, 0))});
    EXPECT_TRUE(QTest::qWaitFor([&] { return ReadFile(m_source) == m_data; }, 10000));
    EXPECT_TRUE(m_dialogs.fileRequests().empty()) << "a drop needs no dialog";
}

TEST_F(WindowOperations, AFileFromOutsideGoesToThePageItsContentNeeds) {
    const SplittaFileDesign& d = m_window.design();
    ShowPage(*d.picTabContainer, 2);
    // Any file: the split page, and the split asks before it writes.
    m_dialogs.QueueAnswer(Answer::No);
    m_window.OpenAsDropped(QFile::encodeName(m_source));
    EXPECT_TRUE(d.pictab[0]->isVisible());
    ASSERT_EQ(m_dialogs.messages().size(), 1U);
    EXPECT_EQ(m_dialogs.messages()[0].kind, MessageKind::Question);
    EXPECT_FALSE(QFileInfo::exists(PiecePath(m_source, 0)));

    m_window.OpenAsDropped(QFile::encodeName(m_source));
    ASSERT_TRUE(QFileInfo::exists(PiecePath(m_source, 2)));
    ASSERT_TRUE(QFile::rename(m_source, m_source + QStringLiteral(".orig")));
    ShowPage(*d.picTabContainer, 0);
    // A piece, known by its content: the assemble page, and the assembly runs.
    m_window.OpenAsDropped(QFile::encodeName(PiecePath(m_source, 0)));
    EXPECT_TRUE(d.pictab[1]->isVisible());
    EXPECT_EQ(ReadFile(m_source), m_data);
    ExpectIdle();
}

struct RefusedDropCase {
    const char* why;
    int fileCount;        // 0: the folder itself
    const char* message;  // "{dir}" stands for the folder
};

class RefusedDrop : public WindowOperations,
                    public ::testing::WithParamInterface<RefusedDropCase> {};

TEST_P(RefusedDrop, SaysWhyAndStartsNothing) {
    const RefusedDropCase& c = GetParam();
    QList<QUrl> urls;
    if (c.fileCount == 0) {
        urls << QUrl::fromLocalFile(m_dir.path());
    }
    for (int i = 0; i < c.fileCount; ++i) {
        urls << QUrl::fromLocalFile(m_source);
    }

    Drop(m_window.design().pictab[0], urls);

    ASSERT_TRUE(QTest::qWaitFor([&] { return !m_dialogs.messages().empty(); }, 5000));
    ASSERT_EQ(m_dialogs.messages().size(), 1U);
    EXPECT_EQ(m_dialogs.messages()[0].text,
              QString::fromUtf8(c.message).replace(QStringLiteral("{dir}"), m_dir.path()));
    EXPECT_EQ(m_dialogs.messages()[0].kind, MessageKind::Warning);
    EXPECT_FALSE(QFileInfo::exists(PiecePath(m_source, 0)));
}

INSTANTIATE_TEST_SUITE_P(Cases, RefusedDrop,
                         ::testing::Values(RefusedDropCase{"SeveralFiles", 2,
                                                           "Rilasciare un solo file alla volta."},
                                           RefusedDropCase{"AFolder", 0, "{dir} è una cartella."}),
                         [](const auto& info) { return info.param.why; });

}  // namespace
}  // namespace zirared
