#include "splitta_file_design.h"

#include <QCheckBox>
#include <QFrame>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QWidget>

#include "design_fonts.h"
#include "link_label.h"
#include "piece_set.h"
#include "size_slider.h"
#include "svg_picture.h"
#include "svg_pixmap.h"
#include "tab_container.h"
#include "version.h"
#include "wrapping_check_box.h"

namespace zirared {

namespace {

constexpr double kDesignPointSize = 8.25;
constexpr QColor kNavy{0, 0, 128};
constexpr QColor kLinkBlue{0, 0, 255};

const QRect kPageRect{1, 27, 318, 152};

template <typename Widget>
Widget* Place(Widget* widget, const char* name, const QRect& geometry) {
    widget->setObjectName(QString::fromLatin1(name));
    widget->setGeometry(geometry);
    return widget;
}

void SetTextColour(QWidget* widget, const QColor& colour) {
    QPalette palette = widget->palette();
    palette.setColor(QPalette::WindowText, colour);
    palette.setColor(QPalette::ButtonText, colour);
    widget->setPalette(palette);
}

// A design label: plain text (paths must never turn into markup), centred, top-aligned,
// wrapping inside its width; transparent unless given a background.
void MakeDesignLabel(QLabel* label) {
    label->setTextFormat(Qt::PlainText);
    label->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    label->setWordWrap(true);
}

QLabel* CentredLabel(QWidget* page, const char* name, const QRect& geometry,
                     const QString& text = {}) {
    auto* label = Place(new QLabel(text, page), name, geometry);
    MakeDesignLabel(label);
    return label;
}

// `description` is what screen readers say for the picture.
QLabel* Picture(QWidget* page, const char* name, const QRect& geometry, const QString& resourcePath,
                const QString& description) {
    auto* image = Place(new SvgPicture(resourcePath, page), name, geometry);
    image->Redraw();
    image->setAccessibleName(description);
    return image;
}

QPushButton* Button(QWidget* page, const char* name, const QRect& geometry, const QString& text,
                    const QString& toolTip) {
    auto* button = Place(new QPushButton(text, page), name, geometry);
    button->setToolTip(toolTip);
    return button;
}

// An etched rule is drawn as two one-pixel lines; a line ends before its end point.
QFrame* Line(QWidget* page, const char* name, int left, int right, int y,
             QPalette::ColorRole colour) {
    auto* line = Place(new QFrame(page), name, QRect(left, y, right - left, 1));
    line->setFrameShape(QFrame::NoFrame);
    line->setBackgroundRole(colour);
    line->setAutoFillBackground(true);
    return line;
}

QWidget* Page(QWidget* container, int index) {
    auto* page = new QWidget(container);
    page->setObjectName(QStringLiteral("pictab_%1").arg(index));
    page->setGeometry(kPageRect);
    page->setAutoFillBackground(true);
    return page;
}

void BuildSplitPage(SplittaFileDesign& d, QWidget* page) {
    d.Label1 = CentredLabel(page, "Label1", {8, 16, 289, 17},
                            QStringLiteral("Imposta le dimensioni dei file da creare"));
    d.Label1->setFont(ArialFont(9));

    d.HScroll1 = Place(new SizeSlider(page), "HScroll1", {16, 40, 172, 18});
    d.HScroll1->setRange(kMinSizeSetting, kMaxSizeSetting);
    d.HScroll1->setSingleStep(1);
    d.HScroll1->setPageStep(5);
    d.HScroll1->setValue(1);
    d.HScroll1->setAccessibleName(QStringLiteral("Dimensione dei file da creare"));

    d.lblDimFile = CentredLabel(page, "lblDimFile", {192, 40, 113, 17});
    d.Image3 = Picture(page, "Image3", {16, 64, 70, 70}, QStringLiteral(":/zirared/image3.svg"),
                       QStringLiteral("Un dischetto diviso in dischetti più piccoli"));

    const QString splitCaption = QStringLiteral("Seleziona il file da dividere");
    d.cmdOpen[0] = Button(page, "cmdOpen_0", {128, 88, 173, 28}, splitCaption, splitCaption);
    d.cmdStop = Button(page, "cmdStop", {128, 88, 173, 28}, QStringLiteral("Annulla"),
                       QStringLiteral("Annulla l'operazione in corso"));
    d.cmdStop->hide();

    d.lblWorkProgress = CentredLabel(page, "lblWorkProgress", {10, 120, 297, 17});
    d.lblWorkProgress->setFont(ArialFont(9));
    // The status line shares its rows with the picture's lowest ones: its text keeps two pixels
    // right of the picture, centred under the button, so a long status never runs over it.
    d.lblWorkProgress->setContentsMargins(
        d.Image3->geometry().right() + 1 + 2 - d.lblWorkProgress->x(), 0, 0, 0);
}

void BuildAssemblePage(SplittaFileDesign& d, QWidget* page) {
    d.Image2 = Picture(page, "Image2", {16, 12, 70, 70}, QStringLiteral(":/zirared/image2.svg"),
                       QStringLiteral("Dischetti piccoli riuniti in uno solo"));
    d.cmdOpen[1] = Button(page, "cmdOpen_1", {120, 32, 173, 28},
                          QStringLiteral("Seleziona file da assemblare"),
                          QStringLiteral("Seleziona i files da assemblare"));
    d.chkKillFile = Place(
        new WrappingCheckBox(QStringLiteral(" Elimina files sorgenti dopo l'assemblaggio"), page),
        "chkKillFile", {56, 88, 224, 29});
    d.lblWorkProgress1 = CentredLabel(page, "lblWorkProgress1", {2, 122, 305, 25});
    d.lblWorkProgress1->setFont(ArialFont(9));
}

void BuildInformationPage(SplittaFileDesign& d, QWidget* page) {
    d.Image1 = Picture(page, "Image1", {36, 10, 32, 32}, QStringLiteral(":/zirared/icon.svg"),
                       QStringLiteral("Icona di %1: un dischetto spezzato in due")
                           .arg(QString::fromUtf8(kProgramName)));

    d.Label3 = CentredLabel(page, "Label3", {120, 5, 113, 22}, QString::fromUtf8(kProgramName));
    d.Label3->setFont(ArialFont(14.25, true));

    d.lblInfo = CentredLabel(page, "lblInfo", {120, 30, 113, 15});
    d.lblInfo->setFont(ArialFont(kDesignPointSize, true));
    QPalette infoPalette = d.lblInfo->palette();
    infoPalette.setColor(QPalette::Window, kNavy);
    infoPalette.setColor(QPalette::WindowText, Qt::white);
    d.lblInfo->setPalette(infoPalette);
    d.lblInfo->setAutoFillBackground(true);

    d.Label4 = CentredLabel(page, "Label4", {106, 46, 137, 18},
                            QStringLiteral("Divide e riassembla files"));
    d.Line1[0] = Line(page, "Line1_0", 22, 280, 64, QPalette::Dark);
    d.Line1[1] = Line(page, "Line1_1", 22, 280, 65, QPalette::Light);

    d.Image4 = Picture(page, "Image4", {32, 72, 32, 32}, QStringLiteral(":/zirared/image4.svg"),
                       QStringLiteral("Logo di %1").arg(QString::fromUtf8(kProgramName)));
    d.Label5 =
        CentredLabel(page, "Label5", {88, 72, 185, 15}, QStringLiteral("Realizzato con Qt 6"));

    d.lblemail = Place(new LinkLabel(QStringLiteral("Scrivi agli sviluppatori"), page), "lblemail",
                       {96, 88, 169, 16});
    MakeDesignLabel(d.lblemail);
    d.lblemail->setToolTip(QStringLiteral("e-mail"));
    QFont mailFont = ArialFont(9, true);
    mailFont.setUnderline(true);
    d.lblemail->setFont(mailFont);
    SetTextColour(d.lblemail, kLinkBlue);

    d.Label6 = CentredLabel(page, "Label6", {16, 106, 289, 15},
                            QStringLiteral("Distribuito come software libero"));

    d.Check1 = Place(new WrappingCheckBox(QStringLiteral("visualizza/nascondi istruzioni"), page),
                     "Check1", {88, 126, 177, 17});
    d.Check1->setToolTip(QStringLiteral("Mostra o nasconde le istruzioni sull'uso del programma"));
    SetTextColour(d.Check1, kLinkBlue);

    // Made last so that, when shown, it lies over the labels, lines and icons of the page.
    d.txtHelp = Place(new QPlainTextEdit(page), "txtHelp", {8, 8, 300, 116});
    d.txtHelp->setReadOnly(true);
    d.txtHelp->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    d.txtHelp->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    d.txtHelp->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    d.txtHelp->setFont(VerdanaFont(kDesignPointSize, true));
    QPalette helpPalette = d.txtHelp->palette();
    helpPalette.setColor(QPalette::Base, helpPalette.color(QPalette::ToolTipBase));
    helpPalette.setColor(QPalette::Text, helpPalette.color(QPalette::ToolTipText));
    d.txtHelp->setPalette(helpPalette);
    d.txtHelp->hide();
}

void SetDesignTabOrder(const SplittaFileDesign& d) {
    // The tab strip brings its own click area; it takes its place in the order when present.
    auto* cursorTab = d.picTabContainer->findChild<QWidget*>(QStringLiteral("lblCursorTab"));
    // The design's order, but for the slider: it sits above the button it sets the size for, so
    // it comes before it, and each page is walked from top to bottom.
    const std::initializer_list<QWidget*> order{
        d.picTabContainer,  d.pictab[2], d.pictab[1], d.pictab[0],       d.HScroll1,   d.cmdOpen[0],
        d.cmdOpen[1],       d.lblInfo,   d.Label3,    d.Label4,          d.Label5,     d.Label6,
        d.chkKillFile,      d.lblemail,  cursorTab,   d.lblWorkProgress, d.lblDimFile, d.Label1,
        d.lblWorkProgress1, d.cmdStop,   d.txtHelp,   d.Check1};
    // Qt skips any link to a control that cannot take the focus, so chain only the others.
    QWidget* previous = nullptr;
    for (QWidget* widget : order) {
        if (widget == nullptr || widget->focusPolicy() == Qt::NoFocus) {
            continue;
        }
        if (previous != nullptr) {
            QWidget::setTabOrder(previous, widget);
        }
        previous = widget;
    }
}

}  // namespace

SplittaFileDesign BuildSplittaFileDesign(QWidget& form) {
    form.setObjectName(QStringLiteral("SplittaFile"));
    form.setWindowTitle(QString::fromUtf8(kProgramName));
    form.setWindowIcon(ProgramIcon());
    form.setFont(ArialFont(kDesignPointSize));
    form.setFixedSize(kClientWidth, kClientHeight);

    SplittaFileDesign d;
    d.picTabContainer = CreateTabContainer(form);
    d.picTabContainer->setFont(ArialFont(kDesignPointSize, true));
    for (int i = 0; i < 3; ++i) {
        d.pictab[i] = Page(d.picTabContainer, i);
    }
    BuildSplitPage(d, d.pictab[0]);
    BuildAssemblePage(d, d.pictab[1]);
    BuildInformationPage(d, d.pictab[2]);
    d.picTabContainer->SetPages(d.pictab);
    SetDesignTabOrder(d);
    return d;
}

}  // namespace zirared
