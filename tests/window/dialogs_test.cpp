#include "dialogs.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QListView>
#include <QMessageBox>
#include <QPushButton>
#include <QStringList>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <functional>
#include <ostream>

#include "open_file_chooser.h"
#include "print_row.h"
#include "qt_dialogs.h"
#include "scripted_dialogs.h"
#include "splitta_file.h"

namespace zirared {
namespace {

using test::PrintTo;

// Acts on the modal dialog as soon as it is up, then lets the caller's exec() return.
void WhenModalShows(std::function<void(QWidget*)> act) {
    auto* poll = new QTimer;
    QObject::connect(poll, &QTimer::timeout, [poll, act = std::move(act)] {
        if (QWidget* modal = QApplication::activeModalWidget()) {
            poll->stop();
            poll->deleteLater();
            act(modal);
        }
    });
    poll->start(10);
}

struct MessageCase {
    const char* why;
    MessageKind kind;
    QMessageBox::Icon icon;
    QMessageBox::StandardButtons buttons;
    QMessageBox::StandardButton pressed;
    Answer expected;
};

class RealMessageBox : public ::testing::TestWithParam<MessageCase> {};

TEST_P(RealMessageBox, HasTheKindsIconButtonsAndTitle) {
    const MessageCase& c = GetParam();
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QMessageBox::StandardButtons buttons;
    QMessageBox::StandardButton defaultButton = QMessageBox::NoButton;
    QString title;
    QString text;
    WhenModalShows([&](QWidget* modal) {
        auto* box = qobject_cast<QMessageBox*>(modal);
        ASSERT_NE(box, nullptr);
        icon = box->icon();
        buttons = box->standardButtons();
        defaultButton = box->standardButton(box->defaultButton());
        title = box->windowTitle();
        text = box->text();
        box->button(c.pressed)->click();
    });

    QtDialogs dialogs;
    const Answer answer =
        dialogs.ShowMessage(nullptr, QStringLiteral("Il file <a&b>\nseconda riga"), c.kind);

    EXPECT_EQ(icon, c.icon);
    EXPECT_EQ(buttons, c.buttons);
    EXPECT_EQ(title, QStringLiteral("Zirared"));
    EXPECT_EQ(text, QStringLiteral("Il file <a&b>\nseconda riga")) << "shown as plain text";
    if (c.kind == MessageKind::Question) {
        EXPECT_EQ(defaultButton, QMessageBox::Yes);
        EXPECT_EQ(answer, c.expected);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, RealMessageBox,
    ::testing::Values(MessageCase{"Warning", MessageKind::Warning, QMessageBox::Warning,
                                  QMessageBox::Ok, QMessageBox::Ok, Answer::No},
                      MessageCase{"Information", MessageKind::Information, QMessageBox::Information,
                                  QMessageBox::Ok, QMessageBox::Ok, Answer::No},
                      MessageCase{"Error", MessageKind::Error, QMessageBox::Critical,
                                  QMessageBox::Ok, QMessageBox::Ok, Answer::No},
                      MessageCase{"QuestionAnsweredNo", MessageKind::Question,
                                  QMessageBox::Question, QMessageBox::Yes | QMessageBox::No,
                                  QMessageBox::No, Answer::No},
                      MessageCase{"QuestionAnsweredYes", MessageKind::Question,
                                  QMessageBox::Question, QMessageBox::Yes | QMessageBox::No,
                                  QMessageBox::Yes, Answer::Yes}),
    [](const auto& info) { return info.param.why; });

struct ChooserCase {
    const char* why;
    const char* typed;  // relative to the folder; nullptr: cancel
    const char* expected;
};

class RealFileChooser : public ::testing::TestWithParam<ChooserCase> {};

TEST_P(RealFileChooser, ReturnsTheExistingFileTheUserTyped) {
    const ChooserCase& c = GetParam();
    QTemporaryDir dir;
    for (const char* name : {"LEGGIMI", "prova.c"}) {
        QFile file(dir.filePath(QString::fromLatin1(name)));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    }
    QString title;
    QString shownCaption;
    WhenModalShows([&](QWidget* modal) {
        auto* chooser = qobject_cast<QFileDialog*>(modal);
        ASSERT_NE(chooser, nullptr);
        title = chooser->windowTitle();
        if (auto* filters = chooser->findChild<QComboBox*>(QStringLiteral("fileTypeCombo"))) {
            shownCaption = filters->itemText(0);
        }
        if (c.typed == nullptr) {
            chooser->reject();
            return;
        }
        // Typed as a user does; selectFile() leaves the field alone once it has the focus.
        auto* name = chooser->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
        ASSERT_NE(name, nullptr);
        name->setFocus();
        name->setText(QString::fromLatin1(c.typed));
        QMetaObject::invokeMethod(chooser, "accept");
    });

    QtDialogs dialogs;
    OpenFileRequest request{QStringLiteral("Seleziona il file da dividere"),
                            {},
                            dir.path(),
                            QStringLiteral("Tutti i file(*.*)"),
                            QStringLiteral("*"),
                            QStringLiteral("c")};
    const QString chosen = dialogs.ChooseFileToOpen(nullptr, request);

    EXPECT_EQ(title, request.title);
    EXPECT_EQ(shownCaption, QStringLiteral("Tutti i file(*.*)"));
    const QString expected =
        c.expected == nullptr ? QString() : dir.filePath(QString::fromLatin1(c.expected));
    EXPECT_EQ(chosen, expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, RealFileChooser,
    ::testing::Values(
        // The default extension must not turn LEGGIMI into the missing LEGGIMI.c.
        ChooserCase{"ExistingFileWithoutExtension", "LEGGIMI", "LEGGIMI"},
        ChooserCase{"DefaultExtensionCompletesAMissingName", "prova", "prova.c"},
        ChooserCase{"CancelGivesNothing", nullptr, nullptr}),
    [](const auto& info) { return info.param.why; });

// The assemble page's request as Qt's own dialog shows it: every first piece, whatever became of
// the source's extension, and nothing else.
TEST(RealFileChooser, AssembleChooserListsEveryFirstPiece) {
    QTemporaryDir dir;
    for (const char* name : {"a.000", "foto.j000", "LEGG000", "a.001", "a.doc", "plain.txt"}) {
        QFile file(dir.filePath(QString::fromLatin1(name)));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    }
    ScriptedDialogs scripted;
    SplittaFile window(scripted);
    window.design().cmdOpen[1]->click();
    ASSERT_EQ(scripted.fileRequests().size(), 1U);
    OpenFileRequest request = scripted.fileRequests()[0];
    request.initialDirectory = dir.path();
    OpenFileChooser chooser(nullptr, request);
    chooser.setOption(QFileDialog::DontUseNativeDialog);
    chooser.show();
    auto* view = chooser.findChild<QListView*>(QStringLiteral("listView"));
    ASSERT_NE(view, nullptr);
    const auto shown = [view] {
        QStringList names;
        for (int row = 0; row < view->model()->rowCount(view->rootIndex()); ++row) {
            names << view->model()->index(row, 0, view->rootIndex()).data().toString();
        }
        names.sort();
        return names;
    };
    const QStringList firstPieces{"LEGG000", "a.000", "foto.j000"};
    // The folder is read in the background; what the dialog shows then is checked below.
    static_cast<void>(QTest::qWaitFor([&] { return shown() == firstPieces; }, 10000));
    EXPECT_EQ(shown(), firstPieces);
}

enum class Waiting { SplitConfirmation, FileChooser };

struct EndCase {
    const char* why;
    Waiting waiting;
};

class EndingWhileADialogWaits : public ::testing::TestWithParam<EndCase> {};

// A logout or a kill must not wait for somebody to answer: the open dialog is cancelled, nothing
// is written and the window closes.
TEST_P(EndingWhileADialogWaits, CancelsTheDialogAndClosesTheWindow) {
    QTemporaryDir dir;
    const QString source = dir.filePath(QStringLiteral("dati.bin"));
    {
        QFile file(source);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        ASSERT_EQ(file.write(QByteArray(3000, 'x')), 3000);
    }
    QtDialogs dialogs;
    SplittaFile window(dialogs);
    window.show();
    bool stillOpen = false;
    WhenModalShows([&](QWidget* /*modal*/) {
        window.EndNow();
        // Never leave the test hanging on a dialog the window failed to cancel.
        if (QWidget* left = QApplication::activeModalWidget()) {
            stillOpen = true;
            left->close();
        }
    });

    if (GetParam().waiting == Waiting::SplitConfirmation) {
        window.OpenAsDropped(QFile::encodeName(source));
    } else {
        window.design().cmdOpen[0]->click();
    }

    EXPECT_FALSE(stillOpen);
    EXPECT_FALSE(window.isVisible());
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden),
              QStringList{QStringLiteral("dati.bin")});
}

INSTANTIATE_TEST_SUITE_P(Cases, EndingWhileADialogWaits,
                         ::testing::Values(EndCase{"SplitConfirmation", Waiting::SplitConfirmation},
                                           EndCase{"FileChooser", Waiting::FileChooser}),
                         [](const auto& info) { return info.param.why; });

// The installed window's questions reach the user whatever the environment says: no test
// switch answers for them.
class InstalledDialogs : public ::testing::TestWithParam<const char*> {};

TEST_P(InstalledDialogs, AskTheUserWhateverTheEnvironment) {
    const char* const kSwitch = "ZIRARED_DIALOGS_AUTO_ANSWER";
    if (GetParam() != nullptr) {
        qputenv(kSwitch, GetParam());
    }
    bool asked = false;
    QTimer poll;  // ends with the test, whether or not a box came
    QObject::connect(&poll, &QTimer::timeout, [&] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            poll.stop();
            asked = true;
            box->button(QMessageBox::No)->click();
        }
    });
    poll.start(10);

    const Answer answer = CreateDialogs()->ShowMessage(
        nullptr, QStringLiteral("Sovrascrivere dati.000?"), MessageKind::Question);
    qunsetenv(kSwitch);

    EXPECT_TRUE(asked);
    EXPECT_EQ(answer, Answer::No);
}

INSTANTIATE_TEST_SUITE_P(Environments, InstalledDialogs, ::testing::Values(nullptr, "1", ""));

TEST(DefaultExtension, AppliesOnlyWhenTheNameAsTypedDoesNotExist) {
    QTemporaryDir dir;
    for (const char* name : {"LEGGIMI", "LEGGIMI.c", "prova.c"}) {
        QFile file(dir.filePath(QString::fromLatin1(name)));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    }
    EXPECT_EQ(ResolveDefaultExtension(dir.filePath("LEGGIMI"), "c"), dir.filePath("LEGGIMI"));
    EXPECT_EQ(ResolveDefaultExtension(dir.filePath("prova"), "c"), dir.filePath("prova.c"));
    EXPECT_EQ(ResolveDefaultExtension(dir.filePath("manca"), "c"), dir.filePath("manca"));
    EXPECT_EQ(ResolveDefaultExtension(dir.filePath("prova.x"), "c"), dir.filePath("prova.x"));
}

}  // namespace
}  // namespace zirared
