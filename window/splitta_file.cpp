#include "splitta_file.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QCursor>
#include <QDesktopServices>
#include <QDialog>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFile>
#include <QLabel>
#include <QMimeData>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QScrollBar>
#include <QShortcut>
#include <QTimer>

#include "assemble_file.h"
#include "dialogs.h"
#include "drop_request.h"
#include "enter_clicks.h"
#include "help_bas.h"
#include "link_label.h"
#include "page_shadow.h"
#include "piece_probe.h"
#include "piece_set.h"
#include "program_identity.h"
#include "progress_bar.h"
#include "remembered_choices.h"
#include "screen_change.h"
#include "size_label.h"
#include "split_bas.h"
#include "split_file.h"
#include "svg_pixmap.h"
#include "whole_pixels.h"

namespace zirared {

namespace {

constexpr int kSplitPage = 0;
constexpr int kAssemblePage = 1;

// The hand grows with the screen's pixel ratio, rounded to whole pixels so that its drawing
// stays sharp. The finger tip is the hot spot, given in the pixmap's own pixels: X11 takes it
// unscaled.
QCursor HandPointer(qreal devicePixelRatio) {
    EnsureResourcesLoaded();
    QPixmap hand(QStringLiteral(":/zirared/hand.png"));
    const int scale = WholePixelScale(devicePixelRatio);
    if (scale > 1) {
        hand = hand.scaled(hand.size() * scale, Qt::IgnoreAspectRatio, Qt::FastTransformation);
        hand.setDevicePixelRatio(scale);
    }
    return QCursor(hand, 5 * scale, 0);
}

RememberedChoices::Chooser ChooserOf(int index) {
    return index == kSplitPage ? RememberedChoices::Chooser::Split
                               : RememberedChoices::Chooser::Assemble;
}

// Gives the focus back, once an operation is over, to the control that had it when the
// operation began (the one that started it): hiding or disabling that control meanwhile sent
// the focus on to the next one, and in the end to the tab strip.
class FocusReturn {
public:
    explicit FocusReturn(const QWidget& window) : m_control(window.focusWidget()) {}
    ~FocusReturn() {
        if (m_control && m_control->isVisible() && m_control->isEnabled()) {
            m_control->setFocus(Qt::OtherFocusReason);
        }
    }
    FocusReturn(const FocusReturn&) = delete;
    FocusReturn& operator=(const FocusReturn&) = delete;

private:
    QPointer<QWidget> m_control;
};

}  // namespace

// Marks the window active for the length of one open sequence, whatever way it ends.
class SplittaFile::ActivityScope {
public:
    explicit ActivityScope(OperationFlags& flags) : m_flags(flags) {
        m_flags.SetActivity(OperationFlags::Activity::Choosing);
    }
    ~ActivityScope() { m_flags.SetActivity(OperationFlags::Activity::Idle); }
    ActivityScope(const ActivityScope&) = delete;
    ActivityScope& operator=(const ActivityScope&) = delete;

private:
    OperationFlags& m_flags;
};

SplittaFile::SplittaFile(Dialogs& dialogs, QWidget* parent)
    : QWidget(parent),
      m_dialogs(dialogs),
      m_design(BuildSplittaFileDesign(*this)),
      m_progBar(*this, *m_design.picTabContainer) {
    ConnectHandlers();
    m_host = std::make_unique<WindowHost>(m_dialogs, m_flags, ControlsForHost());
    Form_Load();
}

SplittaFile::~SplittaFile() = default;

HostControls SplittaFile::ControlsForHost() {
    return {.window = this,
            .splitStatus = m_design.lblWorkProgress,
            .assembleStatus = m_design.lblWorkProgress1,
            .assembleOpen = m_design.cmdOpen[1],
            .deletePieces = m_design.chkKillFile,
            .splitOpen = m_design.cmdOpen[0],
            .sizeSlider = m_design.HScroll1,
            .stop = m_design.cmdStop,
            .escape = m_escape,
            .bar = &m_progBar};
}

void SplittaFile::ConnectHandlers() {
    const SplittaFileDesign& d = m_design;
    connect(d.cmdOpen[0], &QPushButton::clicked, this, [this] { cmdOpen_Click(kSplitPage); });
    connect(d.cmdOpen[1], &QPushButton::clicked, this, [this] { cmdOpen_Click(kAssemblePage); });
    connect(d.cmdStop, &QPushButton::clicked, this, &SplittaFile::cmdStop_Click);
    connect(d.HScroll1, &QScrollBar::valueChanged, this, &SplittaFile::HScroll1_Change);
    connect(d.HScroll1, &QScrollBar::sliderMoved, this, &SplittaFile::HScroll1_Scroll);
    // What the user sets is kept for the next run; what the program sets is not.
    connect(d.HScroll1, &QScrollBar::actionTriggered, this,
            [this] { m_remembered.RememberSizeSetting(m_design.HScroll1->sliderPosition()); });
    connect(d.Check1, &QCheckBox::clicked, this, &SplittaFile::Check1_Click);
    connect(d.lblemail, &LinkLabel::activated, this, &SplittaFile::lblemail_Click);
    // On a screen of another pixel ratio the hand takes that screen's size.
    OnScreenChange(*this, [this] { SetHandPointers(); });
    // Escape acts as the Stop button while it is shown.
    m_escape = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    m_escape->setEnabled(false);
    connect(m_escape, &QShortcut::activated, d.cmdStop, &QPushButton::click);
    for (QPushButton* button : findChildren<QPushButton*>()) {
        LetEnterClick(*button);
    }
    for (const int page : {kSplitPage, kAssemblePage}) {
        d.pictab[page]->setAcceptDrops(true);
        d.pictab[page]->installEventFilter(this);
    }
}

void SplittaFile::Form_Load() {
    const SplittaFileDesign& d = m_design;
    SetHandPointers();
    auto* cursorTab = d.picTabContainer->findChild<QLabel*>(QStringLiteral("lblCursorTab"));
    if (cursorTab != nullptr) {
        cursorTab->setFrameShape(QFrame::NoFrame);
    }
    d.lblWorkProgress->clear();
    d.lblWorkProgress1->clear();
    d.lblInfo->setText(VersionLabelText());
    d.txtHelp->setPlainText(
        HelpBas::GetHelpText().replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
    d.picTabContainer->SetupTabStrip();
    d.HScroll1->setValue(m_remembered.SizeSetting());
    UpdateSizeLabel();
}

void SplittaFile::SetHandPointers() {
    const SplittaFileDesign& d = m_design;
    const QCursor hand = HandPointer(devicePixelRatioF());
    for (QWidget* control : std::initializer_list<QWidget*>{
             d.cmdOpen[0], d.cmdOpen[1], d.chkKillFile, d.HScroll1,
             d.picTabContainer->findChild<QLabel*>(QStringLiteral("lblCursorTab")), d.lblemail,
             d.Check1}) {
        if (control != nullptr) {
            control->setCursor(hand);
        }
    }
}

void SplittaFile::Form_Unload() {
    m_progBar.Release();
}

void SplittaFile::cmdOpen_Click(int index) {
    if (RefuseWhileActive()) {
        return;
    }
    {
        const FocusReturn focus(*this);
        const ActivityScope activity(m_flags);
        ClearStatusLabels();
        const QString path = ChooseFile(index);
        // A close that arrived while the dialog was open wins over the chosen file.
        if (!path.isEmpty() && !m_flags.CloseRequested()) {
            RunOperation(index, QFile::encodeName(path));
        }
    }
    CloseIfRequested();
}

void SplittaFile::cmdStop_Click() {
    m_flags.RequestStop();
}

void SplittaFile::HScroll1_Change() {
    UpdateSizeLabel();
}

void SplittaFile::HScroll1_Scroll() {
    UpdateSizeLabel();
}

void SplittaFile::Check1_Click() {
    QPlainTextEdit* help = m_design.txtHelp;
    const bool show = help->isHidden();
    help->setVisible(show);
    // What the box covers can be neither seen nor clicked: hidden, it is out of the tab order
    // and out of screen readers' way as well.
    for (QWidget* control :
         help->parentWidget()->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly)) {
        if (control != help && control->geometry().intersects(help->geometry())) {
            control->setVisible(!show);
        }
    }
}

void SplittaFile::lblemail_Click() {
    // Without a mail handler nothing happens, and that is fine.
    QDesktopServices::openUrl(QUrl(ContactMailLink(), QUrl::TolerantMode));
}

void SplittaFile::UpdateSizeLabel() {
    m_design.lblDimFile->setText(SizeLabelText(m_design.HScroll1->value()));
}

std::int32_t SplittaFile::GetPieceSizeKB() const {
    return m_design.HScroll1->value() * kSizeUnitKB;
}

void SplittaFile::EnableControls(bool enabled) {
    zirared::EnableControls(ControlsForHost(), enabled);
}

void SplittaFile::CreateProgressBar() {
    m_progBar.Create();
}

void SplittaFile::paintEvent(QPaintEvent* /*event*/) {
    // The shadow lies on the window's own background, so it is drawn on every repaint.
    QPainter painter(this);
    DrawPageShadow(painter, m_design.picTabContainer->geometry(),
                   palette().color(QPalette::Window));
}

void SplittaFile::closeEvent(QCloseEvent* event) {
    if (OperationActive()) {
        // The operation is on the stack under this event: the window must outlive it.
        m_flags.RequestClose();
        event->ignore();
        return;
    }
    m_flags.ForgetClose();
    Form_Unload();
    event->accept();
}

bool SplittaFile::eventFilter(QObject* watched, QEvent* event) {
    for (const int page : {kSplitPage, kAssemblePage}) {
        if (watched == m_design.pictab[page]) {
            return HandlePageDrag(page, event);
        }
    }
    return QWidget::eventFilter(watched, event);
}

bool SplittaFile::HandlePageDrag(int page, QEvent* event) {
    switch (event->type()) {
        case QEvent::DragEnter:
        case QEvent::DragMove: {
            // Anything with URLs is welcome: what cannot be used is refused with a reason.
            auto* drag = static_cast<QDropEvent*>(event);
            if (!drag->mimeData()->hasUrls()) {
                return false;
            }
            drag->acceptProposedAction();
            return true;
        }
        case QEvent::Drop: {
            auto* drop = static_cast<QDropEvent*>(event);
            const QList<QUrl> urls = drop->mimeData()->urls();
            drop->acceptProposedAction();
            // The operation runs from the event loop, not inside the drag-and-drop
            // machinery, which waits for the drop to finish.
            QTimer::singleShot(0, this, [this, page, urls] { OpenDroppedFiles(page, urls); });
            return true;
        }
        default:
            return false;
    }
}

bool SplittaFile::RefuseWhileActive() {
    if (!OperationActive()) {
        return false;
    }
    m_dialogs.ShowMessage(this, BusyRefusal(), MessageKind::Information);
    return true;
}

void SplittaFile::ClearStatusLabels() {
    SetStatusText(*m_design.lblWorkProgress, QString());
    SetStatusText(*m_design.lblWorkProgress1, QString());
}

QString SplittaFile::ChooseFile(int index) {
    const bool split = index == kSplitPage;
    const QString title = split ? QStringLiteral("Seleziona il file da dividere")
                                : QStringLiteral("Seleziona il file da assemblare");
    const QChar nul(u'\0');
    const QString filter =
        split ? QStringLiteral("Tutti i file(*.*)") + nul + QStringLiteral("*.*") + nul
              // Every first piece: "*.000" would hide foto.j000 (of foto.jpeg) and LEGG000
              // (of LEGGIMI), whose names lost a dot or had none.
              : QStringLiteral("000(*.*)") + nul + QStringLiteral("*000") + nul;
    const QString path = SplitBas::ShowOpenFileDialog(m_dialogs, this, title, QString(), filter,
                                                      m_remembered.LastFolder(ChooserOf(index)),
                                                      QStringLiteral("c"));
    if (!path.isEmpty()) {
        m_remembered.RememberChosenFile(ChooserOf(index), path);
    }
    return path;
}

void SplittaFile::RunOperation(int index, const QByteArray& path) {
    const std::string fileName = path.toStdString();
    if (index == kSplitPage) {
        m_flags.SetActivity(OperationFlags::Activity::Splitting);
        // Taken now: the slider may have moved while the dialog was open.
        SplitFile(*m_host, fileName, GetPieceSizeKB());
    } else {
        m_flags.SetActivity(OperationFlags::Activity::Assembling);
        AssembleFile(*m_host, fileName, m_pieceFiles);
    }
}

void SplittaFile::OpenDroppedFiles(int index, const QList<QUrl>& urls) {
    if (RefuseWhileActive()) {
        return;
    }
    OpenDropVerdict(index, ClassifyDrop(urls));
}

void SplittaFile::OpenDropVerdict(int index, const DropVerdict& verdict) {
    if (!verdict.refusal.isEmpty()) {
        m_dialogs.ShowMessage(this, verdict.refusal, MessageKind::Warning);
        return;
    }
    {
        const FocusReturn focus(*this);
        const ActivityScope activity(m_flags);
        ClearStatusLabels();
        RunOperation(index, verdict.path);
    }
    CloseIfRequested();
}

void SplittaFile::OpenAsDropped(const QByteArray& path) {
    if (RefuseWhileActive()) {
        return;
    }
    const int page = StartsLikeAPiece(path) ? kAssemblePage : kSplitPage;
    ShowPage(*m_design.picTabContainer, page);
    OpenDropVerdict(page, ClassifyDroppedFile(path));
}

void SplittaFile::EndNow() {
    m_flags.RequestEnd();
    // A question or a file chooser still open would hold the process until someone answers:
    // each is cancelled, the innermost first, as No or no file.
    while (auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget())) {
        dialog->reject();
        if (QApplication::activeModalWidget() == dialog) {
            break;  // it would not close; the close below still waits for it
        }
    }
    close();
}

void SplittaFile::CloseIfRequested() {
    if (m_flags.CloseRequested()) {
        close();
    }
    emit operationEnded();
}

}  // namespace zirared
