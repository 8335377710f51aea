#include <gtest/gtest.h>

#include <QAccessible>
#include <QApplication>
#include <QCheckBox>
#include <QDesktopServices>
#include <QImage>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>
#include <ostream>

#include "link_label.h"
#include "print_row.h"
#include "scripted_dialogs.h"
#include "size_label.h"
#include "splitta_file.h"
#include "tab_container.h"

namespace zirared {
namespace {

using test::PrintTo;

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
    EXPECT_FALSE(d.lblemail->isVisible()) << "covered by the box: never reached by Tab either";

    QTest::mouseClick(d.Check1, Qt::LeftButton);
    EXPECT_FALSE(d.Check1->isChecked());
    EXPECT_FALSE(d.txtHelp->isVisible());
    EXPECT_TRUE(d.lblemail->isVisible());
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

enum class LinkAction { EnterKey, SpaceKey, KeypadEnter, ScreenReaderPress };

struct LinkCase {
    const char* why;
    LinkAction action;
};

class ContactLinkWithoutMouse : public ::testing::TestWithParam<LinkCase> {};

TEST_P(ContactLinkWithoutMouse, OpensTheSameMail) {
    ScriptedDialogs dialogs;
    SplittaFile window(dialogs);
    window.show();
    window.activateWindow();
    QApplication::setActiveWindow(&window);
    ShowPage(*window.design().picTabContainer, 2);
    LinkLabel* link = window.design().lblemail;
    link->setFocus(Qt::TabFocusReason);
    QTRY_VERIFY(link->hasFocus());
    MailCatcher catcher;
    QDesktopServices::setUrlHandler(QStringLiteral("mailto"), &catcher, "open");

    switch (GetParam().action) {
        case LinkAction::EnterKey:
            QTest::keyClick(link, Qt::Key_Return);
            break;
        case LinkAction::SpaceKey:
            QTest::keyClick(link, Qt::Key_Space);
            break;
        case LinkAction::KeypadEnter:
            QTest::keyClick(link, Qt::Key_Enter, Qt::KeypadModifier);
            break;
        case LinkAction::ScreenReaderPress: {
            QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(link);
            ASSERT_EQ(accessible->role(), QAccessible::Link);
            EXPECT_EQ(accessible->text(QAccessible::Name), link->text());
            EXPECT_TRUE(accessible->state().linked);
            accessible->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
            break;
        }
    }

    QDesktopServices::unsetUrlHandler(QStringLiteral("mailto"));
    ASSERT_EQ(catcher.urls.size(), 1);
    EXPECT_EQ(catcher.urls[0].scheme(), QStringLiteral("mailto"));
}

INSTANTIATE_TEST_SUITE_P(Ways, ContactLinkWithoutMouse,
                         ::testing::Values(LinkCase{"Enter", LinkAction::EnterKey},
                                           LinkCase{"Space", LinkAction::SpaceKey},
                                           LinkCase{"KeypadEnter", LinkAction::KeypadEnter},
                                           LinkCase{"ScreenReaderPressAction",
                                                    LinkAction::ScreenReaderPress}),
                         [](const auto& info) { return info.param.why; });

TEST(ContactLink, OtherKeysAndAMissedClickOpenNothing) {
    ScriptedDialogs dialogs;
    SplittaFile window(dialogs);
    window.show();
    ShowPage(*window.design().picTabContainer, 2);
    LinkLabel* link = window.design().lblemail;
    MailCatcher catcher;
    QDesktopServices::setUrlHandler(QStringLiteral("mailto"), &catcher, "open");

    QTest::keyClick(link, Qt::Key_A);
    QTest::keyClick(link, Qt::Key_Return, Qt::ControlModifier);
    QTest::mouseClick(link, Qt::RightButton);
    // Pressed on the label, released outside it.
    QTest::mousePress(link, Qt::LeftButton);
    QTest::mouseRelease(link, Qt::LeftButton, Qt::NoModifier, QPoint(-5, -5));

    QDesktopServices::unsetUrlHandler(QStringLiteral("mailto"));
    EXPECT_TRUE(catcher.urls.empty());
}

struct ChooserCase {
    const char* why;
    int page;
    const char* title;
    const char* caption;
    const char* pattern;
};

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
        // Also foto.j000 (of foto.jpeg) and LEGG000 (of LEGGIMI).
        ChooserCase{"AssembleListsFirstPieces", 1, "Seleziona il file da assemblare", "000(*.*)",
                    "*000"}),
    [](const auto& info) { return info.param.why; });

struct SliderKey {
    const char* why;
    int start;
    Qt::Key key;
    Qt::KeyboardModifiers modifiers;
    int expected;
};

class SliderKeys : public ::testing::TestWithParam<SliderKey> {};

// As its arrows and its value run: right and up is larger, 1 to 40 size units.
TEST_P(SliderKeys, MoveTheSizeAsTheArrowsDo) {
    const SliderKey& k = GetParam();
    ScriptedDialogs dialogs;
    SplittaFile window(dialogs);
    QScrollBar* slider = window.design().HScroll1;
    slider->setValue(k.start);
    QTest::keyClick(slider, k.key, k.modifiers);
    EXPECT_EQ(slider->value(), k.expected);
    EXPECT_EQ(window.design().lblDimFile->text(), SizeLabelText(k.expected));
}

INSTANTIATE_TEST_SUITE_P(
    Keys, SliderKeys,
    ::testing::Values(SliderKey{"RightAddsOne", 5, Qt::Key_Right, {}, 6},
                      SliderKey{"UpAddsOne", 5, Qt::Key_Up, {}, 6},
                      SliderKey{"LeftTakesOne", 5, Qt::Key_Left, {}, 4},
                      SliderKey{"KeypadDownTakesOne", 5, Qt::Key_Down, Qt::KeypadModifier, 4},
                      SliderKey{"PageUpAddsFive", 5, Qt::Key_PageUp, {}, 10},
                      SliderKey{"PageDownTakesFive", 10, Qt::Key_PageDown, {}, 5},
                      SliderKey{"HomeGoesToOne", 17, Qt::Key_Home, {}, 1},
                      SliderKey{"EndGoesToForty", 17, Qt::Key_End, {}, 40},
                      SliderKey{"NeverBelowOne", 1, Qt::Key_Left, {}, 1},
                      SliderKey{"NeverAboveForty", 38, Qt::Key_PageUp, {}, 40}),
    [](const auto& info) { return info.param.why; });

// Where the keyboard puts the focus, a mark shows it: on the tab strip, which has the focus from
// the start, once Ctrl+Tab is used (three of them come back to the first tab), and on the slider
// reached by Shift+Tab from the button below it.
TEST(KeyboardFocus, IsMarkedOnTheStripAndOnTheSlider) {
    ScriptedDialogs dialogs;
    SplittaFile window(dialogs);
    window.show();
    QApplication::setActiveWindow(&window);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    const SplittaFileDesign& d = window.design();
    d.picTabContainer->setFocus(Qt::ActiveWindowFocusReason);
    const QImage unmarked = d.picTabContainer->grab().toImage();
    for (int tab = 0; tab < 3; ++tab) {
        QTest::keyClick(d.picTabContainer, Qt::Key_Tab, Qt::ControlModifier);
    }
    EXPECT_NE(d.picTabContainer->grab().toImage(), unmarked);

    d.cmdOpen[0]->setFocus(Qt::OtherFocusReason);
    const QImage unfocused = d.HScroll1->grab().toImage();
    QTest::keyClick(d.cmdOpen[0], Qt::Key_Backtab, Qt::ShiftModifier);
    ASSERT_TRUE(d.HScroll1->hasFocus());
    EXPECT_NE(d.HScroll1->grab().toImage(), unfocused);
}

TEST(SizeSlider, ScreenReadersSeeASliderThatSaysTheSize) {
    ScriptedDialogs dialogs;
    SplittaFile window(dialogs);
    QAccessibleInterface* accessible =
        QAccessible::queryAccessibleInterface(window.design().HScroll1);
    EXPECT_EQ(accessible->role(), QAccessible::Slider);
    EXPECT_FALSE(accessible->text(QAccessible::Name).isEmpty());
    accessible->valueInterface()->setCurrentValue(3);
    EXPECT_EQ(window.design().HScroll1->value(), 3);
    EXPECT_EQ(accessible->text(QAccessible::Value), SizeLabelText(3));
}

}  // namespace
}  // namespace zirared

#include "panels_test.moc"
