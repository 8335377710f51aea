#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QAccessible>
#include <QCheckBox>
#include <QFontInfo>
#include <QFontMetrics>
#include <QImage>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QStringList>
#include <algorithm>
#include <initializer_list>

#include "program_identity.h"
#include "scripted_dialogs.h"
#include "size_label.h"
#include "splitta_file.h"
#include "wrapping_check_box.h"

namespace zirared {
namespace {

class WindowDesign : public ::testing::Test {
protected:
    QWidget* Control(const char* name) {
        if (m_window.objectName() == QLatin1String(name)) {
            return &m_window;
        }
        auto* widget = m_window.findChild<QWidget*>(QString::fromLatin1(name));
        EXPECT_NE(widget, nullptr) << name;
        return widget;
    }

    ScriptedDialogs m_dialogs;
    SplittaFile m_window{m_dialogs};
};

struct Placement {
    const char* name;
    const char* container;
    QRect geometry;
};

// Every control of the design in its container, at its place and size in pixels.
const Placement kPlacements[] = {
    {"picTabContainer", "SplittaFile", {14, 6, 320, 180}},
    {"pictab_0", "picTabContainer", {1, 27, 318, 152}},
    {"pictab_1", "picTabContainer", {1, 27, 318, 152}},
    {"pictab_2", "picTabContainer", {1, 27, 318, 152}},
    {"Label1", "pictab_0", {8, 16, 289, 17}},
    {"HScroll1", "pictab_0", {16, 40, 172, 18}},
    {"lblDimFile", "pictab_0", {192, 40, 113, 17}},
    {"Image3", "pictab_0", {16, 64, 70, 70}},
    {"cmdOpen_0", "pictab_0", {128, 88, 173, 28}},
    {"cmdStop", "pictab_0", {128, 88, 173, 28}},
    {"lblWorkProgress", "pictab_0", {10, 120, 297, 17}},
    {"Image2", "pictab_1", {16, 12, 70, 70}},
    {"cmdOpen_1", "pictab_1", {120, 32, 173, 28}},
    {"chkKillFile", "pictab_1", {56, 88, 224, 29}},
    {"lblWorkProgress1", "pictab_1", {2, 122, 305, 25}},
    {"Image1", "pictab_2", {36, 10, 32, 32}},
    {"Label3", "pictab_2", {120, 5, 113, 22}},
    {"lblInfo", "pictab_2", {120, 30, 113, 15}},
    {"Label4", "pictab_2", {106, 46, 137, 18}},
    // A line stops before its end point: (22, 64) to (280, 64) covers columns 22..279.
    {"Line1_0", "pictab_2", {22, 64, 258, 1}},
    {"Line1_1", "pictab_2", {22, 65, 258, 1}},
    {"Image4", "pictab_2", {32, 72, 32, 32}},
    {"Label5", "pictab_2", {88, 72, 185, 15}},
    {"lblemail", "pictab_2", {96, 88, 169, 16}},
    {"Label6", "pictab_2", {16, 106, 289, 15}},
    {"Check1", "pictab_2", {88, 126, 177, 17}},
    {"txtHelp", "pictab_2", {8, 8, 300, 116}},
};

TEST_F(WindowDesign, EveryControlSitsInItsContainerAtItsPlace) {
    EXPECT_EQ(m_window.size(), QSize(349, 213));
    EXPECT_EQ(m_window.minimumSize(), m_window.maximumSize()) << "the window is not resizable";
    EXPECT_EQ(m_window.windowTitle(), QStringLiteral("Zirared"));
    for (const Placement& p : kPlacements) {
        QWidget* control = Control(p.name);
        ASSERT_NE(control, nullptr);
        EXPECT_EQ(control->parentWidget()->objectName().toStdString(), p.container) << p.name;
        EXPECT_EQ(control->geometry(), p.geometry) << p.name;
    }
}

struct Caption {
    const char* name;
    const char* text;
    const char* toolTip;
};

const Caption kCaptions[] = {
    {"Label1", "Imposta le dimensioni dei file da creare", ""},
    {"cmdOpen_0", "Seleziona il file da dividere", "Seleziona il file da dividere"},
    {"cmdStop", "Annulla", "Annulla l'operazione in corso"},
    {"cmdOpen_1", "Seleziona file da assemblare", "Seleziona i files da assemblare"},
    {"chkKillFile", " Elimina files sorgenti dopo l'assemblaggio", ""},
    {"Label3", "Zirared", ""},
    {"lblInfo", "Versione 2.0.0", ""},
    {"Label4", "Divide e riassembla files", ""},
    {"Check1", "visualizza/nascondi istruzioni",
     "Mostra o nasconde le istruzioni sull'uso del programma"},
    {"lblemail", nullptr, "e-mail"},
};

TEST_F(WindowDesign, TextsAndToolTipsAreTheDesignOnes) {
    for (const Caption& c : kCaptions) {
        QWidget* control = Control(c.name);
        ASSERT_NE(control, nullptr);
        if (c.text != nullptr) {
            const auto* label = qobject_cast<QLabel*>(control);
            const auto* button = qobject_cast<QAbstractButton*>(control);
            const QString text = label ? label->text() : button->text();
            EXPECT_EQ(text.toStdString(), c.text) << c.name;
        }
        EXPECT_EQ(control->toolTip().toStdString(), c.toolTip) << c.name;
    }
}

struct FontCase {
    const char* name;
    double pointSize;
    bool bold;
    bool italic;
    bool underline;
    const char* resolvedFamilies;  // installed face or its metric-compatible stand-in
};

const FontCase kFonts[] = {
    {"SplittaFile", 8.25, false, false, false, "Arial|Liberation Sans"},
    {"picTabContainer", 8.25, true, false, false, "Arial|Liberation Sans"},
    {"pictab_1", 8.25, true, false, false, "Arial|Liberation Sans"},
    {"cmdOpen_0", 8.25, true, false, false, "Arial|Liberation Sans"},
    {"chkKillFile", 8.25, true, false, false, "Arial|Liberation Sans"},
    {"Label1", 9, false, false, false, "Arial|Liberation Sans"},
    {"lblWorkProgress", 9, false, false, false, "Arial|Liberation Sans"},
    {"lblWorkProgress1", 9, false, false, false, "Arial|Liberation Sans"},
    {"Label3", 14.25, true, false, false, "Arial|Liberation Sans"},
    {"lblInfo", 8.25, true, false, false, "Arial|Liberation Sans"},
    {"lblemail", 9, true, false, true, "Arial|Liberation Sans"},
    {"txtHelp", 8.25, false, true, false, "Verdana|DejaVu Sans"},
};

TEST_F(WindowDesign, FontsAreTheDesignOnesOrTheirMetricTwins) {
    for (const FontCase& f : kFonts) {
        QWidget* control = Control(f.name);
        ASSERT_NE(control, nullptr);
        const QFont font = control->font();
        EXPECT_DOUBLE_EQ(font.pointSizeF(), f.pointSize) << f.name;
        EXPECT_EQ(font.bold(), f.bold) << f.name;
        EXPECT_EQ(font.italic(), f.italic) << f.name;
        EXPECT_EQ(font.underline(), f.underline) << f.name;
        const QStringList allowed = QString::fromLatin1(f.resolvedFamilies).split(u'|');
        EXPECT_TRUE(allowed.contains(QFontInfo(font).family()))
            << f.name << " resolved to " << QFontInfo(font).family().toStdString();
    }
}

TEST_F(WindowDesign, StartsOnTheSplitPageInItsIdleState) {
    const SplittaFileDesign& d = m_window.design();
    EXPECT_FALSE(d.pictab[0]->isHidden());
    EXPECT_TRUE(d.pictab[1]->isHidden());
    EXPECT_TRUE(d.pictab[2]->isHidden());
    EXPECT_FALSE(d.cmdOpen[0]->isHidden());
    EXPECT_TRUE(d.cmdStop->isHidden());
    EXPECT_TRUE(d.HScroll1->isEnabled());
    EXPECT_EQ(d.HScroll1->value(), 1);
    EXPECT_TRUE(d.lblWorkProgress->text().isEmpty());
    EXPECT_TRUE(d.lblWorkProgress1->text().isEmpty());
    EXPECT_TRUE(d.cmdOpen[1]->isEnabled());
    EXPECT_FALSE(d.chkKillFile->isChecked());
    EXPECT_FALSE(d.Check1->isChecked());
    EXPECT_TRUE(d.txtHelp->isHidden());
    EXPECT_FALSE(d.lblInfo->isHidden());
    EXPECT_FALSE(m_window.ProgBarCreated());
}

TEST_F(WindowDesign, HandPointerWithItsHotSpotOnTheClickableControls) {
    for (const char* name :
         {"cmdOpen_0", "cmdOpen_1", "chkKillFile", "HScroll1", "lblemail", "Check1"}) {
        QWidget* control = Control(name);
        ASSERT_NE(control, nullptr);
        EXPECT_EQ(control->cursor().shape(), Qt::BitmapCursor) << name;
        EXPECT_EQ(control->cursor().hotSpot(), QPoint(5, 0)) << name;
        EXPECT_EQ(control->cursor().pixmap().size(), QSize(32, 32)) << name;
    }
    EXPECT_NE(Control("Label1")->cursor().shape(), Qt::BitmapCursor);
}

TEST_F(WindowDesign, KeyboardFocusFollowsTheDesignTabOrderButForTheSlider) {
    // The strip and the link are reached by Tab too; the slider before the button below it.
    const QStringList designOrder{"picTabContainer", "HScroll1",    "cmdOpen_0",
                                  "cmdOpen_1",       "chkKillFile", "lblemail",
                                  "cmdStop",         "txtHelp",     "Check1"};
    QStringList visited;
    QWidget* widget = Control("picTabContainer");
    for (int steps = 0; steps < 200 && visited.size() < designOrder.size(); ++steps) {
        if (designOrder.contains(widget->objectName()) && !visited.contains(widget->objectName())) {
            visited << widget->objectName();
        }
        widget = widget->nextInFocusChain();
    }
    EXPECT_EQ(visited, designOrder);
}

// Runs at ratio 1 with the others, and again under QT_SCALE_FACTOR=2 (see CMakeLists.txt).
TEST_F(WindowDesign, PicturesAndTheHandFollowTheScreensPixelRatio) {
    const qreal ratio = m_window.devicePixelRatioF();
    for (const char* name : {"Image1", "Image2", "Image3", "Image4"}) {
        auto* picture = qobject_cast<QLabel*>(Control(name));
        ASSERT_NE(picture, nullptr) << name;
        EXPECT_FALSE(
            QAccessible::queryAccessibleInterface(picture)->text(QAccessible::Name).isEmpty())
            << name << " has no name for screen readers";
        EXPECT_EQ(picture->pixmap().devicePixelRatio(), ratio) << name;
        EXPECT_EQ(picture->pixmap().size(), picture->size() * ratio) << name;
    }
    const int scale = std::max(1, qRound(ratio));
    const QCursor hand = Control("cmdOpen_0")->cursor();
    EXPECT_EQ(hand.pixmap().size(), QSize(32, 32) * scale);
    EXPECT_EQ(hand.hotSpot(), QPoint(5 * scale, 0));
}

TEST_F(WindowDesign, EveryCaptionFitsItsControlWithoutBeingCut) {
    const SplittaFileDesign& d = m_window.design();
    const int wrap = Qt::AlignLeft | Qt::TextWordWrap;
    for (auto* box : {d.chkKillFile, d.Check1}) {
        const auto* check = qobject_cast<WrappingCheckBox*>(box);
        ASSERT_NE(check, nullptr) << box->objectName().toStdString();
        const QRect caption = check->captionRect();
        const QRect needed = QFontMetrics(check->font()).boundingRect(caption, wrap, check->text());
        EXPECT_TRUE(caption.contains(needed)) << check->objectName().toStdString();
    }
    d.lblDimFile->setText(SizeLabelText(40));  // the widest figure the label shows
    for (QLabel* label : std::initializer_list<QLabel*>{d.Label1, d.lblDimFile, d.Label3, d.lblInfo,
                                                        d.Label4, d.Label5, d.lblemail, d.Label6}) {
        const QRect needed =
            QFontMetrics(label->font()).boundingRect(label->rect(), wrap, label->text());
        EXPECT_LE(needed.width(), label->width()) << label->objectName().toStdString();
        EXPECT_LE(needed.height(), label->height()) << label->objectName().toStdString();
    }
}

// Also under QT_SCALE_FACTOR 1.25, 1.5 and 2 (see CMakeLists.txt): the text as the screen shows it.
TEST_F(WindowDesign, StatusLinesKeepClearOfThePicturesAtTheScreensPixelRatio) {
    const SplittaFileDesign& d = m_window.design();
    const QString longest = QStringLiteral("Terminato: sono stati creati n° 4000 files");
    for (QLabel* status : {d.lblWorkProgress, d.lblWorkProgress1}) {
        status->setText(longest);
        const QImage shown = status->grab().toImage();
        const qreal ratio = shown.devicePixelRatio();
        QRect ink;
        for (int y = 0; y < shown.height(); ++y) {
            for (int x = 0; x < shown.width(); ++x) {
                if (qGray(shown.pixel(x, y)) < 128) {
                    ink |= QRect(x, y, 1, 1);
                }
            }
        }
        ASSERT_FALSE(ink.isEmpty()) << status->objectName().toStdString();
        const QRectF onPage = QRectF(ink).translated(QPointF(status->pos()) * ratio);
        for (QWidget* picture : {Control("Image2"), Control("Image3")}) {
            if (picture->parentWidget() != status->parentWidget()) {
                continue;
            }
            const QRectF box(QPointF(picture->geometry().topLeft()) * ratio,
                             QSizeF(picture->size()) * ratio);
            EXPECT_FALSE(onPage.intersects(box)) << status->objectName().toStdString();
        }
    }
}

TEST(ProgramIdentity, VersionLabelPutsTheRevisionBeforeTheMinorAndTheMailDoesNot) {
    EXPECT_EQ(VersionLabelText(2, 1, 5), QStringLiteral("Versione 2.5.1"));
    const QString link = ContactMailLink(2, 1, 5);
    EXPECT_TRUE(link.startsWith(QStringLiteral("mailto:")));
    EXPECT_TRUE(link.endsWith(QStringLiteral("?Subject=Zirared - Versione 2.1.5")))
        << link.toStdString();
}

}  // namespace
}  // namespace zirared
