#include <gtest/gtest.h>

#include <QCheckBox>
#include <QDesktopServices>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>
#include <ostream>

#include "scripted_dialogs.h"
#include "splitta_file.h"
#include "tab_container.h"

namespace zirared {
namespace {

TEST(BusyState, SwapsTheSplitChooserAndStopInOnePlaceAndBack) {
    ScriptedDialogs dialogs;
    SplittaFile window(dialogs);
    const SplittaFileDesign& d = window.design();
    ASSERT_EQ(d.cmdOpen[0]->geometry(), d.cmdStop->geometry());

    window.EnableControls(false);
    EXPECT_TRUE(d.cmdOpen[0]->isHidden());
    EXPECT_FALSE(d.HScroll1->isEnabled());
    EXPECT_FALSE(d.cmdStop->isHidden());
    // The assemble page is not part of the busy state.
    EXPECT_TRUE(d.cmdOpen[1]->isEnabled());

    window.EnableControls(true);
    EXPECT_FALSE(d.cmdOpen[0]->isHidden());
    EXPECT_TRUE(d.HScroll1->isEnabled());
    EXPECT_TRUE(d.cmdStop->isHidden());
}

TEST(HelpToggle, TwoClicksGiveBackTheStartOfBothTickAndBox) {
    ScriptedDialogs dialogs;
    SplittaFile window(dialogs);
    const SplittaFileDesign& d = window.design();
    window.show();
    ShowPage(*d.picTabContainer, 2);

    QTest::mouseClick(d.Check1, Qt::LeftButton);
    EXPECT_TRUE(d.Check1->isChecked());
    EXPECT_TRUE(d.txtHelp->isVisible());

    QTest::mouseClick(d.Check1, Qt::LeftButton);
    EXPECT_FALSE(d.Check1->isChecked());
    EXPECT_FALSE(d.txtHelp->isVisible());
}

// Receives the URLs QDesktopServices would hand to the mail program.
class MailCatcher : public QObject {
    Q_OBJECT

public:
    QList<QUrl> urls;

public slots:
    void open(const QUrl& url) { urls << url; }
};

TEST(ContactLink, AClickOpensAMailWhoseSubjectCarriesNameAndVersion) {
    ScriptedDialogs dialogs;
    SplittaFile window(dialogs);
    window.show();
    ShowPage(*window.design().picTabContainer, 2);
    MailCatcher catcher;
    QDesktopServices::setUrlHandler(QStringLiteral("mailto"), &catcher, "open");

    QTest::mouseClick(window.design().lblemail, Qt::LeftButton);

    QDesktopServices::unsetUrlHandler(QStringLiteral("mailto"));
    ASSERT_EQ(catcher.urls.size(), 1);
    EXPECT_EQ(catcher.urls[0].scheme(), QStringLiteral("mailto"));
    EXPECT_EQ(catcher.urls[0].query(QUrl::FullyDecoded),
              QStringLiteral("Subject=Zirared - Versione 2.0.0"));
    EXPECT_TRUE(dialogs.messages().empty());
}

struct ChooserCase {
    const char* why;
    int page;
    const char* title;
    const char* caption;
    const char* pattern;
};

// Test output names the case by why it exists.
void PrintTo(const ChooserCase& c, std::ostream* os) {
    *os << c.why;
}

class OpenButton : public ::testing::TestWithParam<ChooserCase> {};

TEST_P(OpenButton, ClearsBothLabelsAsksForOneFileAndStartsNothingOnCancel) {
    const ChooserCase& c = GetParam();
    ScriptedDialogs dialogs;
    SplittaFile window(dialogs);
    const SplittaFileDesign& d = window.design();
    d.lblWorkProgress->setText(QStringLiteral("vecchio"));
    d.lblWorkProgress1->setText(QStringLiteral("vecchio"));

    d.cmdOpen[c.page]->click();  // no file queued: the dialog is cancelled

    EXPECT_TRUE(d.lblWorkProgress->text().isEmpty());
    EXPECT_TRUE(d.lblWorkProgress1->text().isEmpty());
    ASSERT_EQ(dialogs.fileRequests().size(), 1U);
    const OpenFileRequest& request = dialogs.fileRequests()[0];
    EXPECT_EQ(request.title.toStdString(), c.title);
    EXPECT_EQ(request.filterCaption.toStdString(), c.caption);
    EXPECT_EQ(request.filterPattern.toStdString(), c.pattern);
    EXPECT_EQ(request.defaultExtension, QStringLiteral("c"));
    EXPECT_TRUE(request.initialFileName.isEmpty());
    EXPECT_TRUE(request.initialDirectory.isEmpty());
    EXPECT_TRUE(dialogs.messages().empty());
    EXPECT_FALSE(window.ProgBarCreated());
    EXPECT_FALSE(window.OperationActive());
}

INSTANTIATE_TEST_SUITE_P(
    Pages, OpenButton,
    ::testing::Values(
        // "*.*" would hide names without a dot on this platform: the split lists all files.
        ChooserCase{"SplitListsEveryFile", 0, "Seleziona il file da dividere", "Tutti i file(*.*)",
                    "*"},
        ChooserCase{"AssembleListsFirstPieces", 1, "Seleziona il file da assemblare", "000(*.*)",
                    "*.000"}),
    [](const auto& info) { return info.param.why; });

}  // namespace
}  // namespace zirared

#include "panels_test.moc"
