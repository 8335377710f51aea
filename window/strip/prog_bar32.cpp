#include "prog_bar32.h"

#include <QCoreApplication>
#include <QPalette>
#include <QProgressBar>
#include <QStyle>
#include <QStyleFactory>
#include <QThread>
#include <QWidget>
#include <algorithm>

namespace zirared {
namespace {

constexpr int kMinimumPosition = 0;
constexpr int kMaximumPosition = 100;
constexpr int kDefaultHeight = 20;

void SetBarPaletteColour(QProgressBar* bar, QPalette::ColorRole role, ColourValue colour) {
    if (bar == nullptr) {
        return;
    }
    QPalette palette = bar->palette();
    palette.setColor(role, ToQColor(colour));
    bar->setPalette(palette);
}

// The bar is drawn by the plain Windows style, flat like the native bar. The application's
// style (Fusion) draws it with antialiased lines, whose many spans Qt fills on its GUI
// thread pool: every repaint during a copy would wait for those threads, and on a busy
// machine for a processor to run them. Without that style the bar keeps the application's.
void UsePlainStyle(QProgressBar& bar) {
    QStyle* style = QStyleFactory::create(QStringLiteral("Windows"));
    if (style != nullptr) {
        style->setParent(&bar);  // goes with the bar
        bar.setStyle(style);
    }
}

}  // namespace

CProgBar32::~CProgBar32() {
    Destroy();
}

CProgBar32::WindowHandle CProgBar32::hWnd() const {
    return reinterpret_cast<WindowHandle>(m_bar.data());
}

void CProgBar32::NoParentHwnd(QWidget* newParent) {
    m_parentOverride = newParent;
}

bool CProgBar32::Create(QWidget* parent, int left, int top, int width, int height, bool smooth) {
    QWidget* host = m_parentOverride;
    if (host == nullptr) {
        if (parent == nullptr) {
            return false;
        }
        host = parent;
    }
    if (width == 0) {
        width = (parent != nullptr ? parent : host)->width();
    }
    if (height == 0) {
        height = kDefaultHeight;
    }
    Destroy();

    auto* bar = new QProgressBar(host);
    bar->setObjectName(QStringLiteral("ProgBar"));
    bar->setRange(kMinimumPosition, kMaximumPosition);
    bar->setValue(kMinimumPosition);
    bar->setTextVisible(false);
    bar->setOrientation(m_orientationStyle != 0 ? Qt::Vertical : Qt::Horizontal);
    // Qt draws no segments; the choice is kept for styles that look at it.
    bar->setProperty("smooth", smooth);
    UsePlainStyle(*bar);
    bar->setGeometry(left, top, width, height);
    bar->show();
    m_bar = bar;
    return hWnd() != 0;
}

void CProgBar32::Destroy() {
    delete m_bar.data();
    m_bar.clear();
}

void CProgBar32::Clear() {
    if (m_bar != nullptr) {
        m_bar->setValue(kMinimumPosition);
    }
}

void CProgBar32::ProgVert(bool vertical) {
    m_orientationStyle = vertical ? kVerticalStyle : 0;
}

void CProgBar32::BackColor(ColourValue newBackColor) {
    SetBarPaletteColour(m_bar, QPalette::Base, newBackColor);
    SetBarPaletteColour(m_bar, QPalette::Window, newBackColor);
    m_backColour = newBackColor;
}

void CProgBar32::BarColor(ColourValue newBarColor) {
    SetBarPaletteColour(m_bar, QPalette::Highlight, newBarColor);
    m_barColour = newBarColor;
}

void CProgBar32::Value(std::int16_t progPos) {
    if (m_bar == nullptr) {
        return;
    }
    // QProgressBar ignores values outside its range, where the bar must show empty or full.
    const int shown = std::clamp<int>(progPos, kMinimumPosition, kMaximumPosition);
    if (shown == m_bar->value()) {
        return;
    }
    m_bar->setValue(shown);
    // The copy loop lets events through only once per block; show the new position now.
    // Repainting only on a change keeps the per-block cost low.
    m_bar->repaint();
}

std::int16_t CProgBar32::Value() const {
    return m_bar != nullptr ? static_cast<std::int16_t>(m_bar->value()) : std::int16_t{0};
}

void CProgBar32::Delay(std::int16_t milliseconds) {
    QCoreApplication::processEvents();
    QThread::msleep(static_cast<unsigned long>(std::max<int>(0, milliseconds)));
    QCoreApplication::processEvents();
}

}  // namespace zirared
