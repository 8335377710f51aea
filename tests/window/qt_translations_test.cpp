#include "qt_translations.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QLabel>
#include <QLocale>
#include <QMessageBox>
#include <QPushButton>
#include <QTranslator>
#include <memory>

namespace zirared {
namespace {

QString Visible(QString text) {
    return text.remove(u'&');
}

// Takes the translator out again, so that the other tests see Qt's texts as they were.
class ItalianQtTexts : public ::testing::Test {
protected:
    void SetUp() override {
        // Whatever the desktop's language: here an English one.
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
        m_translator = InstallItalianQtTranslations(*QCoreApplication::instance());
        ASSERT_NE(m_translator, nullptr) << "Qt's Italian translations are not installed";
    }
    void TearDown() override {
        if (m_translator != nullptr) {
            QCoreApplication::removeTranslator(m_translator);
            delete m_translator;
        }
        QLocale::setDefault(QLocale::system());
    }

    QTranslator* m_translator = nullptr;
};

TEST_F(ItalianQtTexts, MessageBoxButtonsReadSiNoAndOk) {
    QMessageBox question(QMessageBox::Question, QStringLiteral("t"), QStringLiteral("?"),
                         QMessageBox::Yes | QMessageBox::No);
    EXPECT_EQ(Visible(question.button(QMessageBox::Yes)->text()), QStringLiteral("Sì"));
    EXPECT_EQ(Visible(question.button(QMessageBox::No)->text()), QStringLiteral("No"));
    QMessageBox notice(QMessageBox::Information, QStringLiteral("t"), QStringLiteral("!"),
                       QMessageBox::Ok);
    EXPECT_EQ(Visible(notice.button(QMessageBox::Ok)->text()), QStringLiteral("OK"));
}

TEST_F(ItalianQtTexts, QtsOwnFileDialogIsItalian) {
    QFileDialog dialog;
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    auto* cancel = dialog.findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Cancel);
    ASSERT_NE(cancel, nullptr);
    EXPECT_EQ(Visible(cancel->text()), QStringLiteral("Annulla"));
    auto* lookIn = dialog.findChild<QLabel*>(QStringLiteral("lookInLabel"));
    ASSERT_NE(lookIn, nullptr);
    EXPECT_NE(Visible(lookIn->text()), QStringLiteral("Look in:"));
}

}  // namespace
}  // namespace zirared
