#include "tab_strip_widget.h"

#include <QAccessible>
#include <QEvent>
#include <QFile>
#include <QFocusEvent>
#include <QFrame>
#include <QImage>
#include <QKeyEvent>
#include <QKeySequence>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPixmap>
#include <QShortcut>
#include <QString>
#include <QSvgRenderer>
#include <QTransform>

#include "colour_value.h"
#include "device_grid.h"
#include "focus_mark.h"
#include "screen_change.h"
#include "svg_rendering.h"
#include "tab_strip_accessible.h"
#include "whole_pixels.h"

namespace zirared {
namespace {

// The icons come from the window's compiled resources; without them the strip still works.
QPixmap RenderIcon(const char* resourcePath, qreal devicePixelRatio) {
    const QString path = QString::fromLatin1(resourcePath);
    if (!QFile::exists(path)) {
        return {};
    }
    QSvgRenderer renderer(path);
    if (!renderer.isValid()) {
        return {};
    }
    return RenderSvgAt(renderer, QSize(kTabIconSize, kTabIconSize), devicePixelRatio);
}

}  // namespace

TabStripWidget::TabStripWidget(QWidget* parent) : QWidget(parent) {
    InstallTabStripAccessibility();
    setObjectName(QStringLiteral("picTabContainer"));
    setAccessibleName(QStringLiteral("Schede"));
    setAttribute(Qt::WA_OpaquePaintEvent);
    // By Tab only: a press selects a tab without leaving a focus mark behind.
    setFocusPolicy(Qt::TabFocus);
    resize(kStripSize);
    // Stacking from bottom to top: the painted picture, icons, highlight bars, click area, pages.
    createIcons();
    createHighlightBars();
    m_cursorTab = new QLabel(this);
    m_cursorTab->setObjectName(QStringLiteral("lblCursorTab"));
    m_cursorTab->setGeometry(kClickAreaLeft, 0, kClickAreaWidth, kTabHeight);
    m_cursorTab->installEventFilter(this);
    createShortcuts();
}

TabStripWidget::~TabStripWidget() = default;

void TabStripWidget::SetPages(const Pages& pages) {
    m_pages = pages;
    for (std::size_t i = 0; i < m_pages.size(); ++i) {
        QWidget* page = m_pages[i];
        if (page == nullptr) {
            continue;
        }
        if (page->accessibleName().isEmpty()) {
            page->setAccessibleName(TabTitle(static_cast<int>(i) + 1));
        }
        if (page->parentWidget() != this) {
            page->setParent(this);
        }
        // A page is a picture box: it paints its own background over the strip's picture.
        page->setAutoFillBackground(true);
        page->raise();
    }
}

void TabStripWidget::SetupTabStrip() {
    setFixedSize(kStripSize);
    const int windowWidth = parentWidget() != nullptr ? parentWidget()->width() : width();
    move(RoundHalfToEven((windowWidth - width()) / 2.0), kStripTop);
    const QRect pageRect(kPageLeft, kPageTop, width() - 2, height() - kPageTop - 1);
    for (QWidget* page : m_pages) {
        if (page == nullptr) {
            continue;
        }
        if (auto* frame = qobject_cast<QFrame*>(page)) {
            frame->setFrameShape(QFrame::NoFrame);
        }
        page->setGeometry(pageRect);
    }
    SelectTab(1, 0.0F, 0.0F);
}

void TabStripWidget::SelectTab(int tabNumber, float x, float y) {
    // Also when the press is then ignored.
    m_cursorTab->setGeometry(kClickAreaLeft, 0, kClickAreaWidth, kTabHeight);

    int selected = 0;
    if (tabNumber >= 1 && tabNumber <= kTabCount) {
        selected = tabNumber;
    } else if (tabNumber == 0) {
        selected = TabAt(m_renderer.layout(), QPointF(x, y));
    }
    if (selected == 0) {
        return;
    }

    renderStrip(selected);
    placeHighlightBars(selected);
    m_selectedTab = selected;
    showOnlyPage(selected - 1);
    update();
    notifyAccessibleSelection();
    emit tabSelected(selected);
}

void TabStripWidget::SelectNextTab() {
    SelectTab(m_selectedTab % kTabCount + 1);
}

void TabStripWidget::SelectPreviousTab() {
    SelectTab((m_selectedTab + kTabCount - 2) % kTabCount + 1);
}

void TabStripWidget::renderStrip(int selectedTab) {
    const qreal ratio = devicePixelRatioF();
    renderStripAt(selectedTab, GridAt(ratio, QPointF(mapTo(window(), QPoint(0, 0))) * ratio));
}

void TabStripWidget::renderStripAt(int selectedTab, const DeviceGrid& grid) {
    const QPalette& pagePalette = m_pages[0] != nullptr ? m_pages[0]->palette() : palette();
    m_image = m_renderer.render(selectedTab, ResolveTabStripColours(palette(), pagePalette),
                                grid.ratio, grid.phase);
    m_imagePhase = grid.phase;
}

void TabStripWidget::notifyAccessibleSelection() {
    if (!QAccessible::isActive()) {
        return;
    }
    // The page tabs are the strip's first accessible children, in tab order.
    QAccessibleEvent selection(this, QAccessible::Selection);
    selection.setChild(m_selectedTab - 1);
    QAccessible::updateAccessibility(&selection);
    if (hasFocus()) {
        QAccessibleEvent focus(this, QAccessible::Focus);
        focus.setChild(m_selectedTab - 1);
        QAccessible::updateAccessibility(&focus);
    }
}

void TabStripWidget::paintEvent(QPaintEvent* /*event*/) {
    QPainter painter(this);
    if (m_image.isNull()) {
        painter.fillRect(rect(), palette().color(QPalette::Window));
        return;
    }
    // The picture is drawn one to one on the device's pixels, at the whole pixel where Qt puts
    // the strip's corner, so that its lines meet the pages, bars and icons as rendered.
    const QTransform toDevice = painter.deviceTransform();
    const QPointF origin = toDevice.map(QPointF(0, 0));
    const DeviceGrid grid = GridAt(toDevice.m11(), origin);
    // The window may have moved to a screen of another pixel ratio, or be drawn elsewhere.
    if (!qFuzzyCompare(m_image.devicePixelRatio(), grid.ratio) || m_imagePhase != grid.phase) {
        renderStripAt(m_selectedTab, grid);
    }
    const QPoint corner(qRound(origin.x()), qRound(origin.y()));
    painter.setWorldTransform(QTransform::fromTranslate(corner.x(), corner.y()) *
                              toDevice.inverted());
    painter.drawImage(QRectF(QPointF(0, 0), QSizeF(m_image.size())), m_image,
                      QRectF(QPointF(0, 0), QSizeF(m_image.size())));
    painter.resetTransform();
    if (showsFocusMark()) {
        DrawFocusMark(
            painter,
            FocusMarkRect(m_renderer.layout()[static_cast<std::size_t>(m_selectedTab - 1)]),
            ToQColor(ResolveColour(kCaptionColour, palette())));
    }
}

void TabStripWidget::mousePressEvent(QMouseEvent* event) {
    picTabContainer_MouseDown(event->position());
    event->accept();
}

bool TabStripWidget::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_cursorTab && event->type() == QEvent::MouseButtonPress) {
        lblCursorTab_MouseDown(static_cast<QMouseEvent*>(event)->position());
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

void TabStripWidget::keyPressEvent(QKeyEvent* event) {
    const bool plain = (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier;
    if (plain && event->key() == Qt::Key_Left) {
        if (m_selectedTab > 1) {
            SelectTab(m_selectedTab - 1);
        }
    } else if (plain && event->key() == Qt::Key_Right) {
        if (m_selectedTab >= 1 && m_selectedTab < kTabCount) {
            SelectTab(m_selectedTab + 1);
        }
    } else {
        QWidget::keyPressEvent(event);
        return;
    }
    // Whoever uses the strip's keys needs to see where the focus is.
    m_keyUsed = true;
    update();
    event->accept();
}

void TabStripWidget::focusInEvent(QFocusEvent* event) {
    QWidget::focusInEvent(event);
    update();
    notifyAccessibleSelection();
}

void TabStripWidget::focusOutEvent(QFocusEvent* event) {
    QWidget::focusOutEvent(event);
    m_keyUsed = false;
    update();
}

// As the desktop does: the mark shows once the keyboard is in use, not after the focus came by
// the mouse or with the window (Qt keeps that state on the window).
bool TabStripWidget::showsFocusMark() const {
    return hasFocus() && (m_keyUsed || window()->testAttribute(Qt::WA_KeyboardFocusChange));
}

// Any button and any modifier keys; the selection happens on the press.
void TabStripWidget::picTabContainer_MouseDown(QPointF position) {
    SelectTab(0, static_cast<float>(position.x()), static_cast<float>(position.y()));
}

// The click area reports pixels, so its points need no twips conversion; its origin is the
// strip's, mapped anyway in case it is ever moved.
void TabStripWidget::lblCursorTab_MouseDown(QPointF position) {
    picTabContainer_MouseDown(position + QPointF(m_cursorTab->pos()));
}

void TabStripWidget::createIcons() {
    for (std::size_t i = 0; i < kTabIcons.size(); ++i) {
        const TabIcon& icon = kTabIcons[i];
        auto* label = new QLabel(this);
        label->setObjectName(QString::fromLatin1(icon.objectName));
        label->setGeometry(icon.left, icon.top, kTabIconSize, kTabIconSize);
        label->setAttribute(Qt::WA_TransparentForMouseEvents);
        label->setAccessibleName(QString::fromUtf8(icon.description));
        m_icons[i] = label;
    }
    drawIcons();
    // On a screen of another pixel ratio: the picture is drawn again by the next paint.
    OnScreenChange(*this, [this] { drawIcons(); });
}

void TabStripWidget::drawIcons() {
    for (std::size_t i = 0; i < kTabIcons.size(); ++i) {
        m_icons[i]->setPixmap(RenderIcon(kTabIcons[i].resourcePath, devicePixelRatioF()));
    }
}

void TabStripWidget::createShortcuts() {
    const auto add = [this](const QKeySequence& keys, void (TabStripWidget::*step)()) {
        auto* shortcut = new QShortcut(keys, this);
        shortcut->setContext(Qt::WindowShortcut);
        connect(shortcut, &QShortcut::activated, this, [this, step] {
            (this->*step)();
            // The page left may have held the focus, which then came here: by the keyboard.
            if (hasFocus()) {
                m_keyUsed = true;
                update();
            }
        });
    };
    add(QKeySequence(Qt::CTRL | Qt::Key_Tab), &TabStripWidget::SelectNextTab);
    add(QKeySequence(Qt::CTRL | Qt::Key_PageDown), &TabStripWidget::SelectNextTab);
    // X11 sends Ctrl+Shift+Tab as Backtab; Qt's shortcut map matches it to this sequence.
    add(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Tab), &TabStripWidget::SelectPreviousTab);
    add(QKeySequence(Qt::CTRL | Qt::Key_PageUp), &TabStripWidget::SelectPreviousTab);
}

void TabStripWidget::createHighlightBars() {
    for (std::size_t i = 0; i < m_highlightBars.size(); ++i) {
        auto* bar = new QFrame(this);
        bar->setObjectName(QStringLiteral("shpSelezione_%1").arg(i));
        bar->setFrameShape(QFrame::NoFrame);
        bar->setAttribute(Qt::WA_TransparentForMouseEvents);
        bar->setAutoFillBackground(true);
        QPalette barPalette = bar->palette();
        barPalette.setColor(QPalette::Window, ToQColor(kHighlightColours[i]));
        bar->setPalette(barPalette);
        bar->hide();
        m_highlightBars[i] = bar;
    }
}

void TabStripWidget::placeHighlightBars(int selectedTab) {
    const auto rects =
        HighlightBarRects(m_renderer.layout()[static_cast<std::size_t>(selectedTab - 1)]);
    for (std::size_t i = 0; i < m_highlightBars.size(); ++i) {
        m_highlightBars[i]->setGeometry(rects[i]);
        m_highlightBars[i]->show();
    }
}

void TabStripWidget::showOnlyPage(int index) {
    for (QWidget* page : m_pages) {
        if (page != nullptr) {
            page->hide();
        }
    }
    if (QWidget* page = m_pages[static_cast<std::size_t>(index)]) {
        page->show();
    }
}

}  // namespace zirared
